// SPDX-License-Identifier: GPL-3.0-or-later
#include "OverridePointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace cp {

OverridePointer::OverridePointer(Shape shape)
{
    QGuiApplication::setOverrideCursor(shape == Arrow ? Qt::ArrowCursor : Qt::BusyCursor);
}

OverridePointer::~OverridePointer()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace cp
