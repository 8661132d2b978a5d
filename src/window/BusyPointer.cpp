// SPDX-License-Identifier: GPL-3.0-or-later
#include "BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace cp {

BusyPointer::BusyPointer()
{
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

BusyPointer::~BusyPointer()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace cp
