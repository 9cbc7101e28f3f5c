// The serial line options of upload, upgrade-ap and timesync, parsed into the link's options.

#include "cli/LineOptions.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

using Cli::TUploadSessionOptions;

TEST(LineOptions, ParsesTheSharedOptions) {
    const char* argv[] = {"upload", "a.rom", "--port",  "COM2",         "--baud",
                          "38400",  "--msg", "--trace", "--timeout-ms", "50"};
    TUploadSessionOptions o;
    std::vector<std::string> files;
    CLI::App parser;
    Cli::AddLineOptions(parser, o);
    parser.add_option("ROMFILE", files);
    ASSERT_NO_THROW(parser.parse(10, argv));
    EXPECT_EQ(o.Port, "COM2");
    EXPECT_EQ(o.Baud, 38400u);
    EXPECT_TRUE(o.MsgOn);
    EXPECT_TRUE(o.Trace);
    EXPECT_EQ(o.TimeoutMs, 50);
    EXPECT_EQ(files, std::vector<std::string>{"a.rom"});

    for (std::vector<const char*> bad :
         {std::vector<const char*>{"upload", "--baud", "fast", "--port", "x"},
          {"upload", "--baud", "0", "--port", "x"},
          {"upload", "--timeout-ms", "-5", "--port", "x"},
          {"upload", "a.rom"}}) {
        TUploadSessionOptions fresh;
        CLI::App again;
        Cli::AddLineOptions(again, fresh);
        again.allow_extras();
        EXPECT_THROW(again.parse(static_cast<int>(bad.size()), bad.data()), CLI::ParseError)
            << bad[1];
    }
}
