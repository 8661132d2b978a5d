// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopyJob.h"

#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "base/ShownPath.h"
#include "files/FileIo.h"
#include "files/PathChecks.h"
#include "saving/CopyQueue.h"
#include "saving/SaveError.h"

#include <chrono>
#include <system_error>

namespace cp {

namespace {

constexpr int kUpdateIntervalMs = 20; // the progress window is asked no more often
// Copies handed over and not yet settled. A cancel in the progress window
// drops those no thread has begun, but a close noticed between two files lets
// each write its first piece (up to 8 MiB), as the copy under way would: many
// while the copies are small, so that the threads seldom wait for each other
// or for this one, few once they are large, so that a close is not held up.
constexpr std::size_t kSmallCopiesOut = 16;
constexpr std::size_t kLargeCopiesOut = 4;
constexpr std::int64_t kSmallCopy = std::int64_t(1) << 20;

// Where a link at path leads: the file a copy replaces through it, or, for a
// link that is not followed, where it points; empty for anything else.
std::string shownLinkTarget(const std::string& path)
{
    const std::string through = followLinks(path);
    return through != path ? through : linkTarget(path);
}

} // namespace

CopyJob::CopyJob(Context context, std::int64_t total, bool several)
    : m_context(std::move(context))
    , m_total(total)
    , m_several(several)
    , m_progressLabel(several ? "Die Einträge werden kopiert …" : "Der Eintrag wird kopiert …")
{
}

CopyJob::~CopyJob() = default; // the queue stops and waits for its threads

bool CopyJob::stopped()
{
    if (m_context.stopping.stop_requested())
        m_cancelled = true;
    return m_cancelled;
}

std::int64_t CopyJob::doneSoFar() const
{
    return m_done + (m_queue ? m_queue->bytesCopied() : 0);
}

bool CopyJob::keepGoing(std::int64_t done)
{
    if (!checkGoOn(done)) {
        // A cancel while copies run: those not begun never begin, as when
        // they are made one after the other.
        if (m_queue)
            m_queue->stop(true);
        return false;
    }
    return true;
}

bool CopyJob::checkGoOn(std::int64_t done)
{
    if (stopped())
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (!m_lastUpdate || now - *m_lastUpdate >= std::chrono::milliseconds(kUpdateIntervalMs)) {
        m_lastUpdate = now;
        // Made only while a copy runs: its clock would otherwise run during a
        // question and put the window, modal, over it.
        if (!m_progress)
            m_progress = m_context.questions.progress(m_context.owner, m_progressLabel);
        m_cancelled = !m_progress->update(done, m_total);
    }
    return !m_cancelled;
}

bool CopyJob::mayReplace(const std::string& path)
{
    if (!m_answerForAll)
        m_progress.reset();
    const auto answer = m_answerForAll
        ? *m_answerForAll
        : m_context.questions.askReplace(m_context.owner, path, shownLinkTarget(path), m_several);
    if (stopped()) // closed while asked: a cancel, whatever the box said
        return false;
    switch (answer) {
    case CopyQuestions::Replace::YesToAll: m_answerForAll = CopyQuestions::Replace::Yes; return true;
    case CopyQuestions::Replace::Yes: return true;
    case CopyQuestions::Replace::NoToAll: m_answerForAll = CopyQuestions::Replace::No; return false;
    case CopyQuestions::Replace::No: return false;
    case CopyQuestions::Replace::Cancel: m_cancelled = true; return false;
    }
    return false;
}

void CopyJob::recordFailure(const std::string& source, const std::string& path, const std::string& why)
{
    if (m_failures++ == 0)
        m_firstFailure = "„" + shownPath(fileNamePart(source)) + "“ konnte nicht nach „" + shownPath(path)
            + "“ kopiert werden.\n\n" + why;
}

bool CopyJob::copyFile(const std::string& source, const std::string& target, std::optional<std::int64_t> length)
{
    if (stopped())
        return false;
    // A folder (named with or without the separator) takes the file under its
    // own name. Save all names the same folder for every file: looked up once.
    if (m_target != target) {
        m_target = target;
        m_targetIsFolder = pathExists(withTrailingSeparator(target));
    }
    const std::string path = m_targetIsFolder ? withTrailingSeparator(target) + fileNamePart(source) : target;
    // Asked before copying, so that a declined file costs no copy; a test
    // that fails leaves the question to the copy, which never replaces unasked.
    bool replace = false;
    try {
        if (nameTaken(path)) {
            // The user is asked once the copies before this one are done, as
            // when they are made one after the other.
            if (!m_answerForAll)
                settle(0);
            if (m_cancelled || !(replace = mayReplace(path)))
                return false;
        }
    } catch (const SaveError&) {
    }
    if (!m_several || !startQueue())
        return copyHere({source, path, length}, replace);
    // Many small files copy faster side by side: the next ones start while
    // the ones before them are written, and room is made for half the copies
    // out at once, so that this thread is woken once for several files.
    if (m_pending.size() >= copiesOut())
        settle(copiesOut() / 2);
    // What a copy asks before its first piece.
    if (!keepGoing(doneSoFar()))
        return false;
    m_queue->add(source, path, replace, length);
    m_pending.push_back({source, path, length});
    return true;
}

std::size_t CopyJob::copiesOut() const
{
    return m_settled > 0 && m_settledBytes / m_settled < kSmallCopy ? kSmallCopiesOut : kLargeCopiesOut;
}

bool CopyJob::startQueue()
{
    if (!m_queue && !m_noQueue) {
        try {
            m_queue = std::make_unique<CopyQueue>();
        } catch (const std::system_error&) {
            m_noQueue = true; // no thread to be had: one copy after the other
        }
    }
    return bool(m_queue);
}

void CopyJob::settle(std::size_t keep)
{
    while (m_pending.size() > keep) {
        if (m_cancelled) // noticed between files: the copies handed over were begun
            m_queue->stop();
        const auto result = m_queue->next(std::chrono::milliseconds(kUpdateIntervalMs), m_pending.size() - keep);
        if (!result) {
            if (!m_cancelled)
                keepGoing(doneSoFar());
            continue;
        }
        const Pending copy = std::move(m_pending.front());
        m_pending.pop_front();
        ++m_settled;
        m_settledBytes += result->bytes;
        switch (result->outcome) {
        case CopyQueue::Result::Copied:
        case CopyQueue::Result::Stopped: break;
        case CopyQueue::Result::Failed: try { std::rethrow_exception(result->failure);
            } catch (const SaveError& error) {
                recordFailure(copy.source, copy.path, error.what());
            }
            break;
        case CopyQueue::Result::TargetExists:
            // The name was taken while the copy was made: asked now, and
            // copied again here once the others are done.
            settle(0);
            if (!m_cancelled && mayReplace(copy.path))
                copyHere(copy, true);
            break;
        }
    }
}

bool CopyJob::copyHere(const Pending& copy, bool replace)
{
    const auto& [source, path, length] = copy;
    for (;;) {
        try {
            std::int64_t copied = 0;
            const auto goOn = [this](std::int64_t n) { return keepGoing(doneSoFar() + n); };
            if (copyWholeFile(source, path, replace, goOn, &copied, length) == CopyOutcome::Copied) {
                m_done += copied;
                return true;
            }
        } catch (const SaveStopped&) {
            return false; // nothing of this copy is left
        } catch (const SaveError& error) {
            recordFailure(source, path, error.what());
            return false;
        }
        // The name was taken while the copy was made.
        if (!mayReplace(path))
            return false;
        replace = true;
    }
}

void CopyJob::reportFailures()
{
    settle(0);
    if (m_failures == 0 || m_context.stopping.stop_requested()) // no message over a window that closes
        return;
    m_progress.reset(); // not over the message
    std::string text = m_firstFailure;
    if (m_failures > 1)
        text += "\n\nInsgesamt konnten " + formatNumber(m_failures, m_context.style) + " Dateien nicht kopiert werden.";
    m_context.questions.warning(m_context.owner, kApplicationTitle, text);
}

} // namespace cp
