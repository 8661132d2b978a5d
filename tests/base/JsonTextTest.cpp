// SPDX-License-Identifier: GPL-3.0-or-later
// JSON strings of any bytes: escaped where JSON wants it, and always UTF-8.
#include "base/JsonText.h"

#include <gtest/gtest.h>

TEST(JsonText, EscapesWhatJsonWantsAndReadsBytesThatAreNoUtf8AsLatin1)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {std::string("\x01\n\x1f\x7f", 4), "\"\\u0001\\u000a\\u001f\\u007f\""},
        {"Tür ☃", "\"Tür ☃\""},                                // UTF-8 stays
        {"\x7e\x80\xe9\xff", "\"~\xc2\x80\xc3\xa9\xc3\xbf\""}, // no UTF-8: every byte from 0x80 on as Latin-1
    };
    for (const auto& [text, json] : cases)
        EXPECT_EQ(cp::jsonString(text), json) << text;
}
