// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellCopy.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "scan/FileCopy.h"
#include "scan/FileIo.h"
#include "scan/ScanError.h"

#include <QFile>
#include <QLocale>

#include <filesystem>
#include <system_error>

namespace cp {

namespace {

constexpr int kUpdateIntervalMs = 20; // the progress window is asked no more often

QString shown(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

std::int64_t fileSizeOrZero(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : std::int64_t(size);
}

ShellCopy::ShellCopy(UserDialogs& dialogs, QWidget* owner, std::int64_t total, bool several,
                     std::function<bool()> stopping)
    : m_dialogs(dialogs)
    , m_owner(owner)
    , m_total(total)
    , m_several(several)
    , m_stopping(std::move(stopping))
    , m_progressLabel(several ? QStringLiteral("Die Einträge werden kopiert …") : QStringLiteral("Der Eintrag wird kopiert …"))
{
}

bool ShellCopy::stopped()
{
    if (m_stopping && m_stopping())
        m_cancelled = true;
    return m_cancelled;
}

bool ShellCopy::keepGoing(std::int64_t copied)
{
    if (stopped())
        return false;
    if (!m_sinceUpdate.isValid() || m_sinceUpdate.elapsed() >= kUpdateIntervalMs) {
        m_sinceUpdate.restart();
        // Made only while a copy runs: its clock would otherwise run during a
        // question and put the window, modal, over it.
        if (!m_progress)
            m_progress = m_dialogs.progress(m_owner, m_progressLabel);
        m_cancelled = !m_progress->update(m_done + copied, m_total);
    }
    return !m_cancelled;
}

bool ShellCopy::mayReplace(const std::string& path)
{
    if (!m_answerForAll)
        m_progress.reset();
    const auto answer = m_answerForAll ? *m_answerForAll : m_dialogs.askReplace(m_owner, shown(path), m_several);
    if (stopped()) // closed while asked: a cancel, whatever the box said
        return false;
    switch (answer) {
    case UserDialogs::Replace::YesToAll:
        m_answerForAll = UserDialogs::Replace::Yes;
        return true;
    case UserDialogs::Replace::Yes:
        return true;
    case UserDialogs::Replace::NoToAll:
        m_answerForAll = UserDialogs::Replace::No;
        return false;
    case UserDialogs::Replace::No:
        return false;
    case UserDialogs::Replace::Cancel:
        m_cancelled = true;
        return false;
    }
    return false;
}

bool ShellCopy::copyFile(const std::string& source, const std::string& target)
{
    if (stopped())
        return false;
    // A folder (named with or without the separator) takes the file under its own name.
    const std::string path = pathExists(withTrailingSeparator(target)) ? withTrailingSeparator(target) + fileNamePart(source) : target;
    // Asked before copying, so that a declined file costs no copy; a test
    // that fails leaves the question to the copy, which never replaces unasked.
    bool replace = false;
    try {
        if (nameTaken(path) && !(replace = mayReplace(path)))
            return false;
    } catch (const ScanError&) {
    }
    for (;;) {
        try {
            std::int64_t copied = 0;
            if (copyWholeFile(source, path, replace, [this](std::int64_t n) { return keepGoing(n); }, &copied)
                == CopyOutcome::Copied) {
                m_done += copied;
                return true;
            }
        } catch (const ScanStopped&) {
            return false; // nothing of this copy is left
        } catch (const ScanError& error) {
            if (m_failures++ == 0)
                m_firstFailure = QStringLiteral("„%1“ konnte nicht nach „%2“ kopiert werden.\n\n%3")
                                     .arg(shown(fileNamePart(source)), shown(path), QString::fromStdString(error.what()));
            return false;
        }
        // The name was taken while the copy was made.
        if (!mayReplace(path))
            return false;
        replace = true;
    }
}

void ShellCopy::reportFailures()
{
    if (m_failures == 0)
        return;
    m_progress.reset(); // not over the message
    QString text = m_firstFailure;
    if (m_failures > 1)
        text += QStringLiteral("\n\nInsgesamt konnten %1 Dateien nicht kopiert werden.").arg(QLocale().toString(m_failures));
    m_dialogs.warning(m_owner, QString::fromUtf8(kApplicationTitle), text);
}

} // namespace cp
