// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtUserDialogs.h"

#include "NoticeDialog.h"
#include "OverridePointer.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
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

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string pathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QWidget* QtUserDialogs::owner(DialogOwner which) const
{
    if (QWidget* set = m_owners.at(std::size_t(which)))
        return set;
    if (which != DialogOwner::EntryList)
        return nullptr;
    // The entry list is made when first opened, by the window: found by its name.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frmEntries"))
            return window;
    return QApplication::activeWindow();
}

std::optional<UserDialogs::OpenFileResult> QtUserDialogs::openFile(DialogOwner owner, const OpenFile& request)
{
    QFileDialog dialog(this->owner(owner));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QString filter = QString::fromStdString(request.filter);
    const QStringList filters = nameFiltersFromPairs(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.value(request.filterIndex >= 1 ? request.filterIndex - 1 : 0, filters[0]));
    if (!request.initialDir.empty())
        dialog.setDirectory(pathText(request.initialDir));
    if (!request.fileName.empty())
        dialog.selectFile(pathText(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    OpenFileResult result;
    result.fileName = pathBytes(dialog.selectedFiles().constFirst());
    // With the details hidden, Qt 6.4 answers with the shown text, the
    // description alone, rather than the filter it was given.
    const QString selected = dialog.selectedNameFilter();
    const QStringList parts = filter.split(QLatin1Char('|'));
    result.filterIndex = 1;
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (selected == filters[i] || selected == parts[2 * i])
            result.filterIndex = int(i) + 1;
    }
    return result;
}

std::optional<std::string> QtUserDialogs::saveFile(DialogOwner owner, const SaveFile& request)
{
    QFileDialog dialog(this->owner(owner));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The copy asks before it replaces a file; asking here too would ask twice.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFiltersFromPairs(QString::fromStdString(request.filter)));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    if (!request.initialDir.empty())
        dialog.setDirectory(pathText(request.initialDir));
    dialog.selectFile(pathText(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return pathBytes(dialog.selectedFiles().constFirst());
}

UserDialogs::Replace QtUserDialogs::askReplace(DialogOwner owner, const std::string& path,
                                               const std::string& linkTarget, bool several)
{
    const QString text = QString::fromStdString(replaceQuestionText(path, linkTarget));
    if (!showsWindows()) { // nobody to answer: keep what is there
        std::fprintf(stderr, "%s (nein)\n", text.toUtf8().constData());
        return Replace::No;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (several)
        buttons |= QMessageBox::YesToAll | QMessageBox::NoToAll | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Datei ersetzen"), text, buttons, this->owner(owner));
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

class ProgressWindow final : public CopyQuestions::Progress {
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

std::unique_ptr<CopyQuestions::Progress> QtUserDialogs::progress(DialogOwner owner, const std::string& label)
{
    return std::make_unique<ProgressWindow>(this->owner(owner), QString::fromStdString(label));
}

bool QtUserDialogs::notice(const std::string& text)
{
    if (!showsWindows()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return false;
    }
    // An arrow while the user reads, whatever the pointer was; the old one after.
    const OverridePointer arrow(OverridePointer::Arrow);
    NoticeDialog dialog;
    dialog.setText(QString::fromStdString(text));
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

void showMessage(bool shown, QMessageBox::Icon icon, QWidget* owner, const std::string& caption,
                 const std::string& text)
{
    if (!shown) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return;
    }
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

void QtUserDialogs::message(DialogOwner owner, const std::string& caption, const std::string& text)
{
    showMessage(showsWindows(), QMessageBox::Information, this->owner(owner), caption, text);
}

void QtUserDialogs::warning(DialogOwner owner, const std::string& caption, const std::string& text)
{
    showMessage(showsWindows(), QMessageBox::Warning, this->owner(owner), caption, text);
}

} // namespace cp
