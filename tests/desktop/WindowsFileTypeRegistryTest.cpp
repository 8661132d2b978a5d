// SPDX-License-Identifier: GPL-3.0-or-later
// The association in the registry of the Windows (or wine prefix) the test
// runs in, read back as the shell reads it.
#include "desktop/WindowsFileTypeRegistry.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

using cptest::native;

namespace {

// The default value of a key under the user's classes.
std::string Default(const std::string& key)
{
    const std::wstring path = L"Software\\Classes\\" + native(key).wstring();
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(none)";
    return cptest::toUtf8(value);
}

TEST(WindowsRegistration, AFirstStartWritesEverythingALaterOneNothingAMoveRewritesThePaths)
{
    const std::string program = cp::executablePath(), quoted = "\"" + program + "\"";
    cp::WindowsFileTypeRegistry first(program);
    EXPECT_TRUE(cp::registerFileTypes(first).empty());
    EXPECT_EQ(first.valuesWritten(), 10) << "five values a type";
    const std::pair<std::string, std::string> values[] = {
        {".FFL", "FFLFile"},
        {".UAX", "UAXFile"},
        {"FFLFile", "AvP FastFile-Liste"},
        {"UAXFile", "Unreal-Sound"},
        {"FFLFile\\Shell", "Öffnen (Chunk Picker)"},
        {"UAXFile\\Shell\\Öffnen (Chunk Picker)\\command", quoted + " \"%1\""},
        {"UAXFile\\DefaultIcon", quoted + ",-1"},
    };
    for (const auto& [key, value] : values)
        EXPECT_EQ(Default(key), value) << key;
    // The icon named is one the program carries (resource 1), found as the shell finds it.
    HICON icon = nullptr;
    EXPECT_EQ(::ExtractIconExW(native(program).c_str(), -1, &icon, nullptr, 1), 1u) << "the program's icon 1";
    if (icon)
        ::DestroyIcon(icon);

    cp::WindowsFileTypeRegistry again(program);
    EXPECT_TRUE(cp::registerFileTypes(again).empty());
    EXPECT_EQ(again.valuesWritten(), 0) << "all in place: nothing written";

    const std::string moved = "C:\\Program Files\\Meine Spiele\\chunkpicker.exe";
    cp::WindowsFileTypeRegistry elsewhere(moved);
    EXPECT_TRUE(cp::registerFileTypes(elsewhere).empty());
    EXPECT_EQ(elsewhere.valuesWritten(), 4) << "per type its icon and command";
    EXPECT_EQ(Default("FFLFile\\Shell\\Öffnen (Chunk Picker)\\command"), "\"" + moved + "\" \"%1\"");
}

TEST(WindowsRegistration, ARefusedWriteIsReportedAndEndsOnlyItsType)
{
    // No lasting key can be made under a volatile one: the system refuses, as
    // it refuses a user the machine's classes.
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\CpTestVolatile", 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    cp::WindowsFileTypeRegistry registry(cp::executablePath(), "Software\\CpTestVolatile\\Classes");
    const auto failures = cp::registerFileTypes(registry);
    ASSERT_EQ(failures.size(), 2u) << "each type reports its own";
    EXPECT_EQ(failures[1].number, 75);
    EXPECT_NE(failures[1].description.find("(HKEY_CURRENT_USER\\Software\\CpTestVolatile\\Classes\\UAXFile): "),
              std::string::npos)
        << failures[1].description;
    EXPECT_EQ(registry.valuesWritten(), 0);
}

} // namespace
