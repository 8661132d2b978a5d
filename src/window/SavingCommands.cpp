// SPDX-License-Identifier: GPL-3.0-or-later
// Save all, Save, and the notice after a Save.
#include "MainWindow.h"

#include "base/PathHelpers.h"
#include "dialogs/UserDialogs.h"
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
#include "window/ShellCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

namespace cp {

namespace {

constexpr const char* kSaveFilter = "Wave-Dateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*";
constexpr const char* kLineBreak = "\r\n"; // the notice dialog shows it as one break

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString MainWindow::proposedSaveName() const
{
    const QString count = m_context.settings.GetRegSetting(QStringLiteral("Count"), 1);
    double number = 0;
    if (!SettingToNumber(count, QLocale(), &number))
        return QStringLiteral("Sound") + QString(count).replace(QLatin1Char('/'), QLatin1Char('_')) + ".wav";
    const qlonglong rounded = qRound64(number);
    return QStringLiteral("Sound%1%2.wav").arg(rounded < 0 ? "-" : "").arg(qAbs(rounded), 3, 10, QLatin1Char('0'));
}

QString MainWindow::savedNoticeText() const
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(GetFileName(m_context.table.ScannedFile)));
    return QStringLiteral("Der Eintrag ") + QString::number(m_context.table.CurrentEntry)
        + QStringLiteral(" wurde erfolgreich aus der Datei ") + name + QStringLiteral(" erportiert.") + kLineBreak + kLineBreak
        + QStringLiteral("Da dieses Programm beim Speichern keine Optimierung vornimmt und das Original-Format "
                         "beibehält, kann ein erneutes Speichern mit Goldwave eine kleinere Datei verursachen.");
}

void MainWindow::saveAllCommand()
{
    saveIntoFolder(m_context.table.EntryCount, [](std::int64_t i) { return i + 1; }, this);
}

void MainWindow::saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner)
{
    if (!entries.empty())
        runCommand([&] { saveIntoFolder(std::int64_t(entries.size()), [&](std::int64_t i) { return entries[std::size_t(i)]; }, owner); });
}

void MainWindow::saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt, QWidget* owner)
{
    QString folder = m_context.settings.GetRegSetting(QStringLiteral("SaveAllPath"), QStringLiteral("d:\\sounds"));
    if (!PathExists(Bytes(folder)))
        folder.clear();
    folder = m_context.dialogs.browseForFolder(owner, QStringLiteral("Zielverzeichnis"), folder);
    if (folder.isEmpty() || m_closeRequested)
        return;
    m_context.settings.SaveRegSetting(QStringLiteral("SaveAllPath"), folder);

    std::int64_t total = 0;
    for (std::int64_t i = 0; i < count; ++i)
        total += FileSizeOrZero(m_context.table.entryFile(entryAt(i)));
    const std::string target = Bytes(folder);
    copyEntries(total, count > 1, [&](ShellCopy& copy) {
        for (std::int64_t i = 0; i < count && !copy.cancelled(); ++i)
            copy.ShellCopyFile(m_context.table.entryFile(entryAt(i)), target);
    }, owner);
}

void MainWindow::saveCommand()
{
    UserDialogs::SaveFile request;
    request.filter = QString::fromUtf8(kSaveFilter);
    request.defaultSuffix = QStringLiteral("wav");
    applyStartFolderRule(QStringLiteral("WAVDir"), &request.initialDir);
    request.fileName = proposedSaveName();
    const auto chosen = m_context.dialogs.saveFile(this, request);
    if (!chosen || m_closeRequested)
        throw CommandError(ErrorNumber::DialogCancelled, QStringLiteral("Abbruch"));
    // Like the system's dialog, leave the chosen file's folder as the current one.
    QDir::setCurrent(QFileInfo(*chosen).absolutePath());
    m_context.settings.SaveRegSetting(QStringLiteral("WAVDir"), QDir::currentPath());

    const std::string source = m_context.table.entryFile(m_context.table.CurrentEntry);
    bool saved = false;
    copyEntries(FileSizeOrZero(source), false,
                [&](ShellCopy& copy) { saved = copy.ShellCopyFile(source, Bytes(*chosen)); });
    if (saved && !m_closeRequested)
        ShowNotice(QStringLiteral("FileSavedMsg"), savedNoticeText());
}

void MainWindow::copyEntries(std::int64_t total, bool several, const std::function<void(ShellCopy&)>& copies, QWidget* owner)
{
    // Closing waits for the copy being made, which then stops like a cancel.
    m_copying = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done {m_copying};
    ShellCopy copy(m_context.dialogs, owner ? owner : this, total, several, [this] { return m_closeRequested; });
    copies(copy);
    if (!m_closeRequested)
        copy.reportFailures();
}

void MainWindow::ShowNotice(const QString& settingName, const QString& text)
{
    // An arrow while the user reads, whatever the pointer was; the old one after.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    struct Restore {
        ~Restore() { QGuiApplication::restoreOverrideCursor(); }
    } restore;
    if (m_context.settings.GetRegSetting(settingName, QStringLiteral("0")) != QLatin1String("0"))
        return;
    if (m_context.dialogs.notice(text))
        m_context.settings.SaveRegSetting(settingName, BooleanTrueText(QLocale()));
}

} // namespace cp
