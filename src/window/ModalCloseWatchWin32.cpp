// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalCloseWatch.h"

namespace cp {

// Windows disables the window a modal dialog blocks, title bar and all: there
// is no close click to pass on.
ModalCloseWatch::ModalCloseWatch(QWidget& window) : m_window(window)
{
}

ModalCloseWatch::~ModalCloseWatch() = default;

bool ModalCloseWatch::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}

} // namespace cp
