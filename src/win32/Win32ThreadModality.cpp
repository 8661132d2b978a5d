// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32ThreadModality.h"

namespace cp {

namespace {

struct Search {
    HWND exempt;
    std::vector<HWND>* found;
};

BOOL CALLBACK collect(HWND window, LPARAM context)
{
    const auto& search = *reinterpret_cast<const Search*>(context);
    if (window != search.exempt && ::IsWindowVisible(window) && ::IsWindowEnabled(window))
        search.found->push_back(window);
    return TRUE;
}

} // namespace

Win32ThreadModality::Win32ThreadModality(HWND exempt)
{
    Search search {exempt, &m_disabled};
    ::EnumThreadWindows(::GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&search));
    for (HWND window : m_disabled)
        ::EnableWindow(window, FALSE);
}

Win32ThreadModality::~Win32ThreadModality()
{
    for (HWND window : m_disabled)
        if (::IsWindow(window))
            ::EnableWindow(window, TRUE);
}

} // namespace cp
