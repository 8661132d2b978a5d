// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveEntryScanner.h"

#include "files/FileIo.h"
#include "files/RunJournal.h"
#include "ScanError.h"

#include <algorithm>
#include <vector>

namespace cp {

namespace {

// Tells the observer the scan is over however ScanFile is left.
class EndNotice {
public:
    explicit EndNotice(ScanObserver* observer) : m_observer(observer) {}
    ~EndNotice()
    {
        if (m_observer)
            m_observer->scanEnded(m_completed);
    }
    EndNotice(const EndNotice&) = delete;
    EndNotice& operator=(const EndNotice&) = delete;
    void completed() { m_completed = true; }

private:
    ScanObserver* m_observer;
    bool m_completed = false;
};

} // namespace

WaveEntryScanner::WaveEntryScanner(EntryFolder& folder, ScanObserver* observer, ScanGeometry geometry)
    : m_folder(folder)
    , m_observer(observer)
    , m_geometry(geometry)
{
}

void WaveEntryScanner::checkStop()
{
    if (m_observer && m_observer->stopRequested())
        throw ScanStopped();
}

void WaveEntryScanner::onHit(std::int64_t position)
{
    if (++m_hitCount == 1)
        m_firstHit = position;
    else
        queueEntry(m_lastHit, position - m_lastHit);
    m_lastHit = position;
    if (m_folder.keepsTagPositions)
        m_result->tagPositions.push_back(position);
    if (!m_observer)
        return;
    const double share = double(m_firstHit + m_length - position) / double(m_length);
    m_observer->tagFound(m_hitCount, position, share);
    checkStop();
}

void WaveEntryScanner::queueEntry(std::int64_t start, std::int64_t length)
{
    m_batch.push_back({start - 1, length});
    if (m_batch.size() >= kBatch)
        handOver();
}

void WaveEntryScanner::handOver()
{
    if (m_batch.empty())
        return;
    if (!m_writer)
        m_writer = std::make_unique<EntryWriter>(
            m_folder, m_result->entryFiles, *m_source, m_result->sourceFile, m_geometry.unnamedFiles,
            [this] { return m_observer && m_observer->stopRequested(); }, m_geometry.beforeWriterStarts);
    // A failed writer takes nothing more; the search still counts the tags.
    while (!m_writer->offer(m_batch, std::chrono::milliseconds(kPatienceMs)))
        checkStop();
}

void WaveEntryScanner::awaitEntries(std::int64_t count)
{
    // Told here, on the scanning thread, after the search as before.
    for (std::int64_t told = 0;;) {
        const bool finished = m_writer->done();
        const std::int64_t written = m_writer->waitWritten(std::chrono::milliseconds(kPatienceMs));
        for (; told < written && m_observer; ++told) {
            m_observer->entriesWritten(told + 1, count);
            checkStop();
        }
        if (finished)
            break;
        checkStop();
    }
    m_writer->rethrowFailure();
}

void WaveEntryScanner::scanFile(const std::string& path, ScanResult& result)
{
    m_hitCount = m_firstHit = m_lastHit = m_length = 0;
    m_batch.clear();
    result.sourceFile = path;
    result.tagPositions.clear();
    m_result = &result;
    if (m_folder.journal)
        m_folder.journal->beginScan(path);
    if (m_observer)
        m_observer->scanStarting(path);
    EndNotice endNotice(m_observer);

    SourceReader source(path);
    m_source = &source;
    // However the scan ends, the writer stops (dropping what it has half
    // written) before the source it reads from is closed.
    struct StopWriter {
        std::unique_ptr<EntryWriter>& writer;
        ~StopWriter() { writer.reset(); }
    } stopWriter {m_writer};
    m_length = result.sourceLength = source.size();
    if (m_observer)
        m_observer->fileOpened(m_length);
    checkStop();

    searchSource(
        source, m_length, m_geometry,
        [&](std::int64_t start) {
            handOver(); // what the block before completed is written while this one is searched
            if (m_observer)
                m_observer->blockStarted(start);
            checkStop();
        },
        [&](std::int64_t position) { onHit(position); });

    const std::int64_t count = result.entryCount = m_hitCount;
    if (count > 0) {
        result.firstTag = m_firstHit;
        result.unknownShare = double(m_firstHit) / double(m_length);
    }
    if (m_observer)
        m_observer->searchFinished(count, result.firstTag, result.unknownShare);
    checkStop();

    if (count > 0) {
        queueEntry(m_lastHit, m_length + 1 - m_lastHit);
        handOver();
        m_writer->finish();
        awaitEntries(count);
    }

    result.complete = true;
    endNotice.completed();
}

} // namespace cp
