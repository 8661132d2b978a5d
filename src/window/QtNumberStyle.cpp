// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtNumberStyle.h"

#include <QLocale>
#include <QStringList>

namespace cp {

NumberStyle numberStyleOf(const QLocale& locale)
{
    NumberStyle style;
    style.groupSeparator = locale.groupSeparator().toStdString();
    style.decimalPoint = locale.decimalPoint().toStdString();
    style.minusSign = locale.negativeSign().toStdString();
    style.zeroDigit = locale.zeroDigit().toStdString();
    style.groupsByDefault = !(locale.numberOptions() & QLocale::OmitGroupSeparator);
    style.german = locale.language() == QLocale::German;
    // The group sizes Qt knows but does not tell: learned from numbers it writes.
    QLocale grouped = locale;
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    const QString separator = locale.groupSeparator();
    const QStringList groups = grouped.toString(qlonglong(1234567890)).split(separator);
    if (separator.isEmpty() || groups.size() < 2)
        return style;
    style.primaryGroup = int(groups.constLast().size());
    style.secondaryGroup = groups.size() > 2 ? int(groups.at(groups.size() - 2).size()) : style.primaryGroup;
    style.minimumGrouping = grouped.toString(qlonglong(1234)).contains(separator) ? 1 : 2;
    return style;
}

} // namespace cp
