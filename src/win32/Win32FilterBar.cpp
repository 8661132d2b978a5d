// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32FilterBar.h"

#include "base/WideText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace cp {

namespace {

int textWidth(HDC dc, const wchar_t* text)
{
    SIZE size {};
    GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
    return size.cx;
}

} // namespace

void Win32FilterBar::create(HWND parent, int filterId, int mismatchesId)
{
    const auto child = [parent](DWORD extended, const wchar_t* type, const wchar_t* text, DWORD style, int id) {
        return CreateWindowExW(extended, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    };
    // In this order for Tab, and for Alt+F, which goes to the control after the label.
    m_label = child(0, WC_STATICW, L"&Filter:", SS_LEFT, 0);
    m_filter = child(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, filterId);
    m_mismatches = child(0, WC_BUTTONW, L"nur Abweichungen", WS_TABSTOP | BS_AUTOCHECKBOX, mismatchesId);
    SendMessageW(m_filter, EM_SETCUEBANNER, TRUE, LPARAM(L"Form, Format oder Titel"));
}

void Win32FilterBar::setFont(HFONT font, int dpi)
{
    m_dpi = dpi;
    for (const HWND control : {m_label, m_filter, m_mismatches})
        SendMessageW(control, WM_SETFONT, WPARAM(font), TRUE);
    const HDC dc = GetDC(m_label);
    const HGDIOBJ before = SelectObject(dc, font);
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    m_fontHeight = int(metrics.tmHeight);
    m_labelWidth = textWidth(dc, L"Filter:") + MulDiv(2, dpi, 96);
    m_checkWidth
        = textWidth(dc, L"nur Abweichungen") + GetSystemMetricsForDpi(SM_CXMENUCHECK, UINT(dpi)) + MulDiv(8, dpi, 96);
    SelectObject(dc, before);
    ReleaseDC(m_label, dc);
}

int Win32FilterBar::place(int left, int top, int width) const
{
    const int gap = MulDiv(6, m_dpi, 96);
    const int height = m_fontHeight + MulDiv(8, m_dpi, 96);
    MoveWindow(m_label, left, top + (height - m_fontHeight) / 2, m_labelWidth, m_fontHeight, TRUE);
    const int filterLeft = left + m_labelWidth + gap;
    const int checkLeft = std::max(filterLeft, left + width - m_checkWidth);
    MoveWindow(m_filter, filterLeft, top, std::max(0, checkLeft - gap - filterLeft), height, TRUE);
    MoveWindow(m_mismatches, checkLeft, top, m_checkWidth, height, TRUE);
    return height;
}

std::string Win32FilterBar::text() const
{
    std::wstring typed(std::size_t(GetWindowTextLengthW(m_filter)) + 1, L'\0');
    typed.resize(std::size_t(std::max(0, GetWindowTextW(m_filter, typed.data(), int(typed.size())))));
    return utf8Text(typed);
}

bool Win32FilterBar::mismatchesOnly() const
{
    return Button_GetCheck(m_mismatches) == BST_CHECKED;
}

} // namespace cp
