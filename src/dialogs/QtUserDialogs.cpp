#include "UserDialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace cp {

QStringList NameFiltersFromPairs(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // With the details hidden, Qt shows what stands before the last "(...)".
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

std::optional<UserDialogs::OpenFileResult> QtUserDialogs::openFile(QWidget* owner, const OpenFile& request)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFiltersFromPairs(request.filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.value(request.filterIndex >= 1 ? request.filterIndex - 1 : 0, filters[0]));
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    OpenFileResult result;
    result.fileName = dialog.selectedFiles().constFirst();
    // With the details hidden, Qt 6.4 answers with the shown text, the
    // description alone, rather than the filter it was given.
    const QString selected = dialog.selectedNameFilter();
    const QStringList parts = request.filter.split(QLatin1Char('|'));
    result.filterIndex = 1;
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (selected == filters[i] || selected == parts[2 * i])
            result.filterIndex = int(i) + 1;
    }
    return result;
}

bool PlatformShowsWindows()
{
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

void QtUserDialogs::message(QWidget* owner, const QString& caption, const QString& text)
{
    if (!PlatformShowsWindows()) {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace cp
