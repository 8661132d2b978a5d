// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "saving/CopyQuestions.h"
#include "win32/Win32ThreadModality.h"

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

namespace cp {

// How far a long copy has come, with its Cancel: shown once the copy has
// taken a second, over its owner.
class Win32ProgressWindow final : public CopyQuestions::Progress {
public:
    Win32ProgressWindow(HWND owner, const std::string& label);
    ~Win32ProgressWindow() override;
    Win32ProgressWindow(const Win32ProgressWindow&) = delete;
    Win32ProgressWindow& operator=(const Win32ProgressWindow&) = delete;

    bool update(std::int64_t done, std::int64_t total) override;

private:
    void open();
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_owner;
    std::wstring m_label;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    HWND m_window = nullptr;
    HWND m_bar = nullptr;
    HFONT m_font = nullptr;
    std::unique_ptr<Win32ThreadModality> m_modality; // while the window shows
    bool m_cancelled = false;
};

} // namespace cp
