// The JSON text of the inspect report: sorted keys, four-space indentation, escapes, and bytes
// that are not UTF-8 replaced so that the document stays valid.

#include "rom/TJsonValue.h"

#include <gtest/gtest.h>

using Rom::TJsonValue;

TEST(JsonValue, WritesSortedIndentedAndEscaped) {
    TJsonValue root = TJsonValue::Object();
    root["name"] = "a\"b\\c\n\x01 \xE4\xB8\xAD \xFF";
    root["empty"] = TJsonValue::Array();
    TJsonValue list = TJsonValue::Array();
    list.Append(true);
    list.Append(-5);
    list.Append(TJsonValue());
    root["list"] = std::move(list);
    root["big"] = 458752LL;
    EXPECT_EQ(root.Indented(), "{\n"
                               "    \"big\": 458752,\n"
                               "    \"empty\": [\n"
                               "    ],\n"
                               "    \"list\": [\n"
                               "        true,\n"
                               "        -5,\n"
                               "        null\n"
                               "    ],\n"
                               "    \"name\": \"a\\\"b\\\\c\\n\\u0001 \xE4\xB8\xAD \xEF\xBF\xBD\"\n"
                               "}\n");
}
