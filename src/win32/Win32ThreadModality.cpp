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

Win32ThreadModality::Win32ThreadModality(HWND exempt) : m_active(::GetActiveWindow())
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
    // A dialog that closed while its owner was still disabled left the
    // activation nowhere: it goes back to the window that had it.
    // (Not when the user has gone to another program meanwhile.)
    const HWND front = ::GetForegroundWindow();
    DWORD frontProcess = 0;
    if (front)
        ::GetWindowThreadProcessId(front, &frontProcess);
    const bool ours = !front || frontProcess == ::GetCurrentProcessId();
    if (ours && front != m_active && m_active && ::IsWindow(m_active) && ::IsWindowEnabled(m_active))
        ::SetForegroundWindow(m_active);
}

} // namespace cp
