// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtNumberStyle.h"

#include <QLocale>

namespace cp {

NumberStyle numberStyleOf(const QLocale& locale)
{
    return {locale.groupSeparator().toStdString(), locale.decimalPoint().toStdString(),
            locale.language() == QLocale::German};
}

} // namespace cp
