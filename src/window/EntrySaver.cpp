// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntrySaver.h"

#include "files/PathChecks.h"
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
#include "dialogs/UserDialogs.h"
#include "window/RaisedFlag.h"
#include "window/EntryBrowser.h"
#include "window/CopyJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>
#include <QLocale>

namespace cp {

namespace {

constexpr const char* kSaveFilter = "Wave-Dateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*";
constexpr const char* kLineBreak = "\r\n"; // the notice dialog shows it as one break

std::string bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString enterRememberedFolder(const SettingsStore& settings, const QString& settingName, const QString& fallback)
{
    const QString folder = settings.value(settingName, fallback);
    if (!pathExists(bytes(folder)))
        return {};
    QDir::setCurrent(folder);
    return folder;
}

EntrySaver::EntrySaver(Context context) : m_context(std::move(context))
{
}

QString EntrySaver::proposedName() const
{
    const QString count = m_context.settings.value(QStringLiteral("Count"), 1);
    double number = 0;
    if (!settingToNumber(count, QLocale(), &number))
        return QStringLiteral("Sound") + QString(count).replace(QLatin1Char('/'), QLatin1Char('_')) + ".wav";
    const qlonglong rounded = qRound64(number);
    return QStringLiteral("Sound%1%2.wav").arg(rounded < 0 ? "-" : "").arg(qAbs(rounded), 3, 10, QLatin1Char('0'));
}

QString EntrySaver::savedNoticeText() const
{
    const EntryBrowser& entries = m_context.entries;
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileNamePart(entries.scan().sourceFile)));
    return QStringLiteral("Der Eintrag ") + QString::number(entries.current())
        + QStringLiteral(" wurde erfolgreich aus der Datei ") + name + QStringLiteral(" erportiert.") + kLineBreak
        + kLineBreak
        + QStringLiteral("Da dieses Programm beim Speichern keine Optimierung vornimmt und das Original-Format "
                         "beibehält, kann ein erneutes Speichern mit Goldwave eine kleinere Datei verursachen.");
}

void EntrySaver::saveAll(QWidget* owner)
{
    saveIntoFolder(
        m_context.entries.count(), [](std::int64_t i) { return i + 1; }, owner);
}

void EntrySaver::saveEntries(const std::vector<std::int64_t>& entries, QWidget* owner)
{
    saveIntoFolder(
        std::int64_t(entries.size()), [&](std::int64_t i) { return entries[std::size_t(i)]; }, owner);
}

void EntrySaver::saveIntoFolder(std::int64_t count, const std::function<std::int64_t(std::int64_t)>& entryAt,
                                QWidget* owner)
{
    if (count < 1)
        return;
    QString folder = m_context.settings.value(QStringLiteral("SaveAllPath"), QStringLiteral("d:\\sounds"));
    if (!pathExists(bytes(folder)))
        folder.clear();
    folder = m_context.dialogs.browseForFolder(owner, QStringLiteral("Zielverzeichnis"), folder);
    if (folder.isEmpty() || m_context.closing())
        return;
    m_context.settings.setValue(QStringLiteral("SaveAllPath"), folder);

    std::int64_t total = 0;
    for (std::int64_t i = 0; i < count; ++i)
        total += fileSizeOrZero(m_context.entries.entryFile(entryAt(i)));
    const std::string target = bytes(folder);
    copyEntries(
        total, count > 1,
        [&](CopyJob& copy) {
            for (std::int64_t i = 0; i < count && !copy.cancelled(); ++i)
                copy.copyFile(m_context.entries.entryFile(entryAt(i)), target);
        },
        owner);
}

void EntrySaver::saveCurrent(QWidget* owner)
{
    UserDialogs::SaveFile request;
    request.filter = QString::fromUtf8(kSaveFilter);
    request.defaultSuffix = QStringLiteral("wav");
    request.initialDir = enterRememberedFolder(m_context.settings, QStringLiteral("WAVDir"), m_context.programFolder);
    request.fileName = proposedName();
    const auto chosen = m_context.dialogs.saveFile(owner, request);
    if (!chosen || m_context.closing())
        throw CommandError(ErrorNumber::DialogCancelled, QStringLiteral("Abbruch"));
    // Like the system's dialog, leave the chosen file's folder as the current one.
    QDir::setCurrent(QFileInfo(*chosen).absolutePath());
    m_context.settings.setValue(QStringLiteral("WAVDir"), QDir::currentPath());

    const std::string source = m_context.entries.currentFile();
    bool saved = false;
    copyEntries(
        fileSizeOrZero(source), false, [&](CopyJob& copy) { saved = copy.copyFile(source, bytes(*chosen)); }, owner);
    if (saved && !m_context.closing())
        showNotice(QStringLiteral("FileSavedMsg"), savedNoticeText());
}

void EntrySaver::copyEntries(std::int64_t total, bool several, const std::function<void(CopyJob&)>& copies,
                             QWidget* owner)
{
    // Closing waits for the copy being made, which then stops like a cancel.
    const RaisedFlag copying(m_copying);
    CopyJob copy(m_context.dialogs, owner, total, several, m_context.closing);
    copies(copy);
    if (!m_context.closing())
        copy.reportFailures();
}

void EntrySaver::showNotice(const QString& settingName, const QString& text)
{
    // An arrow while the user reads, whatever the pointer was; the old one after.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    struct Restore {
        ~Restore() { QGuiApplication::restoreOverrideCursor(); }
    } restore;
    if (m_context.settings.value(settingName, QStringLiteral("0")) != QLatin1String("0"))
        return;
    if (m_context.dialogs.notice(text))
        m_context.settings.setValue(settingName, booleanTrueText(QLocale()));
}

} // namespace cp
