// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleCodePage.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace cp {

ConsoleCodePage::ConsoleCodePage() : m_previous(::GetConsoleOutputCP())
{
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    if (m_previous) // 0 without a console
        ::SetConsoleOutputCP(CP_UTF8);
}

ConsoleCodePage::~ConsoleCodePage()
{
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_previous)
        ::SetConsoleOutputCP(m_previous);
}

} // namespace cp
