// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cp {

// Windows holds names, registry values and its messages in UTF-16; the
// program's texts are UTF-8. Defined in Windows builds only (WideTextWin32.cpp).

// The UTF-16 form of text; a byte sequence that is no UTF-8 becomes U+FFFD.
std::wstring wideText(const std::string& text);
// The UTF-16 form of text, only when text is UTF-8 throughout: false otherwise.
bool strictWideText(const std::string& text, std::wstring* wide);
std::string utf8Text(const std::wstring& text);

// The system's own text for a Windows error code (GetLastError(), a registry
// call's result), in the user's language as the system's dialogs speak it,
// without the closing full stop.
std::string windowsErrorText(unsigned long error);

} // namespace cp
