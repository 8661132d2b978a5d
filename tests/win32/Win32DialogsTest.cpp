// SPDX-License-Identifier: GPL-3.0-or-later
// What the Win32 face's dialogs decide before the system shows them, and
// that a dialog over one window stills the program's other windows.
#include "logic/MainWindowLogic.h"
#include "win32/Win32ThreadModality.h"
#include "win32/Win32UserDialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Win32UserDialogs, TheRememberedFilterIsPreselectedWhereThePairsHoldIt)
{
    const std::string open = cp::MainWindowLogic::kOpenFilter; // six pairs
    const struct {
        int remembered;
        DWORD shown;
    } cases[] = {{6, 6}, {1, 1}, {2, 2}, {0, 1}, {7, 1}, {-1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(cp::preselectedFilter(open, c.remembered), c.shown) << c.remembered;
    EXPECT_EQ(cp::preselectedFilter("Wave-Dateien (*.wav)|*.wav", 1), 1u);
    EXPECT_EQ(cp::commonDialogFilter("Wave (*.wav)|*.wav|Alle|*.*"),
              std::wstring(L"Wave (*.wav)\0*.wav\0Alle\0*.*\0\0", 29));
}

TEST(Win32ThreadModality, StillsEveryOtherWindowOfTheProgramUntilTheDialogIsOver)
{
    auto window = [](const wchar_t* title) {
        HWND made = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                    nullptr);
        ShowWindow(made, SW_SHOWNOACTIVATE);
        return made;
    };
    HWND main = window(L"Chunk Picker");
    HWND list = window(L"Einträge");
    HWND hidden
        = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EnableWindow(hidden, FALSE);
    {
        const cp::Win32ThreadModality modality(main);
        EXPECT_TRUE(IsWindowEnabled(main)) << "the dialog's owner is the dialog's to disable";
        EXPECT_FALSE(IsWindowEnabled(list));
    }
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_FALSE(IsWindowEnabled(hidden)) << "a window disabled before stays so";
    for (HWND made : {main, list, hidden})
        DestroyWindow(made);
}

} // namespace
