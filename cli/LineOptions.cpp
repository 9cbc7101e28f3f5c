#include "LineOptions.h"

#include <CLI/CLI.hpp>

namespace Cli {

void AddLineOptions(CLI::App& parser, Cli::TUploadSessionOptions& options) {
    parser
        .add_option("--port", options.Port,
                    "device path (/dev/ttyUSB0, /dev/pts/7) or COMn (COMPORT table of "
                    "KRVZKF780AS1.INI in the current folder, else /dev/ttyS(n-1))")
        ->required()
        ->type_name("PORT");
    parser.add_option("--baud", options.Baud, "line speed (default 115200)")
        ->check(CLI::Range(1u, 100'000'000u))
        ->type_name("N");
    parser.add_flag("--msg", options.MsgOn,
                    "the \"Msg. on\" lines: every block sent and the transfer time");
    parser.add_flag("--trace", options.Trace,
                    "every byte sent and received to stderr, hexadecimal, time-stamped");
    parser
        .add_option("--timeout-ms", options.TimeoutMs,
                    "response timer interval (default 10000; ten silent intervals abort)")
        ->check(CLI::Range(1, 100'000'000))
        ->type_name("MS");
}

} // namespace Cli
