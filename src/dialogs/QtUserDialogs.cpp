// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserDialogs.h"

#include "NoticeDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>

#include <cstdio>

namespace cp {

QStringList nameFiltersFromPairs(const QString& pairs)
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
    const QStringList filters = nameFiltersFromPairs(request.filter);
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

std::optional<QString> QtUserDialogs::saveFile(QWidget* owner, const SaveFile& request)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The copy asks before it replaces a file; asking here too would ask twice.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFiltersFromPairs(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

UserDialogs::Replace QtUserDialogs::askReplace(QWidget* owner, const QString& path, const QString& linkTarget,
                                               bool several)
{
    // A link's name alone would hide which file the answer is about.
    const QString link
        = linkTarget.isEmpty() ? QString() : QStringLiteral("\nDie Verknüpfung zeigt auf: „%1“").arg(linkTarget);
    const QString text
        = QStringLiteral("Die Datei „%1“ ist bereits vorhanden.%2\n\nMöchten Sie sie ersetzen?").arg(path, link);
    if (!showsWindows()) { // nobody to answer: keep what is there
        std::fprintf(stderr, "%s (nein)\n", text.toLocal8Bit().constData());
        return Replace::No;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (several)
        buttons |= QMessageBox::YesToAll | QMessageBox::NoToAll | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Datei ersetzen"), text, buttons, owner);
    box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes: return Replace::Yes;
    case QMessageBox::YesToAll: return Replace::YesToAll;
    case QMessageBox::NoToAll: return Replace::NoToAll;
    case QMessageBox::Cancel: return Replace::Cancel;
    default: return Replace::No;
    }
}

namespace {

class ProgressWindow final : public UserDialogs::Progress {
public:
    ProgressWindow(QWidget* owner, const QString& label)
        : m_dialog(label, QStringLiteral("Abbrechen"), 0, kSteps, owner)
    {
        m_dialog.setWindowTitle(QStringLiteral("Kopieren"));
        m_dialog.setWindowModality(Qt::WindowModal); // lets the window repaint, takes no clicks
        m_dialog.setMinimumDuration(1000);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }
    bool update(std::int64_t done, std::int64_t total) override
    {
        // Setting the value runs the pending events, among them a click on Cancel.
        m_dialog.setValue(total > 0 ? int(double(done) / double(total) * kSteps) : 0);
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
};

} // namespace

std::unique_ptr<UserDialogs::Progress> QtUserDialogs::progress(QWidget* owner, const QString& label)
{
    return std::make_unique<ProgressWindow>(owner, label);
}

bool QtUserDialogs::notice(const QString& text)
{
    if (!showsWindows()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return false;
    }
    NoticeDialog dialog;
    dialog.setText(text);
    dialog.exec();
    return dialog.neverAgain();
}

void cancelOpenDialogs()
{
    QPointer<QWidget> last;
    for (QWidget* modal; (modal = QApplication::activeModalWidget()) && modal != last;) {
        last = modal;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject(); // its exec() returns as after Escape, once control is back there
        else
            modal->close();
    }
}

bool platformShowsWindows()
{
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

namespace {

void showMessage(bool shown, QMessageBox::Icon icon, QWidget* owner, const QString& caption, const QString& text)
{
    if (!shown) {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtUserDialogs::message(QWidget* owner, const QString& caption, const QString& text)
{
    showMessage(showsWindows(), QMessageBox::Information, owner, caption, text);
}

void QtUserDialogs::warning(QWidget* owner, const QString& caption, const QString& text)
{
    showMessage(showsWindows(), QMessageBox::Warning, owner, caption, text);
}

} // namespace cp
