#include "WaveEntryScanner.h"

#include "FileIo.h"
#include "ScanError.h"
#include "TagSearch.h"

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

WaveEntryScanner::WaveEntryScanner(EntryTable& table, const StartupState& startup, EntryFileHolder* holder,
                                   ScanObserver* observer, ScanGeometry geometry)
    : m_table(table)
    , m_startup(startup)
    , m_holder(holder)
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
    m_hits.push_back(position);
    if (!m_observer)
        return;
    const double share = double(m_hits.front() + m_length - position) / double(m_length);
    m_observer->tagFound(std::int64_t(m_hits.size()), position, share);
    checkStop();
}

void WaveEntryScanner::ScanFile(const std::string& path)
{
    m_hits.clear();
    m_length = 0;
    ReleaseEntryFiles(m_table, m_holder);
    if (m_observer)
        m_observer->scanStarting(path);
    EndNotice endNotice(m_observer);

    SourceReader source(path);
    m_length = source.size();
    if (m_observer)
        m_observer->fileOpened(m_length);
    checkStop();

    if (m_length <= m_geometry.wholeFileLimit) {
        std::vector<unsigned char> data(static_cast<std::size_t>(m_length));
        const std::size_t got = source.readAt(data.data(), data.size(), 0);
        ForEachTag(data.data(), got, [&](std::size_t at) { onHit(std::int64_t(at) + 1); });
    } else {
        std::vector<unsigned char> block(static_cast<std::size_t>(m_geometry.blockSize));
        // Only the length taken at open is searched: tags appended meanwhile
        // would make entries the copy cannot cut consistently.
        std::int64_t start = 1;
        for (bool last = false; !last; start += m_geometry.blockStep) {
            const auto want = std::size_t(std::min<std::int64_t>(m_geometry.blockSize, m_length - (start - 1)));
            const std::size_t got = source.readAt(block.data(), want, start - 1);
            last = got < block.size() || start - 1 + std::int64_t(got) >= m_length;
            if (m_observer)
                m_observer->blockStarted(start);
            checkStop();
            // A tag that lies wholly in the overlap was reported with the block before.
            const std::int64_t seenUpTo = m_hits.empty() ? 0 : m_hits.back();
            ForEachTag(block.data(), got, [&](std::size_t at) {
                const std::int64_t position = start + std::int64_t(at);
                if (position > seenUpTo)
                    onHit(position);
            });
        }
    }

    const auto count = std::int64_t(m_hits.size());
    m_table.CurrentEntry = 0;
    m_table.EntryCount = count;
    if (m_observer)
        m_observer->searchFinished(count, count > 0 ? m_hits.front() : 0,
                                   count > 0 ? double(m_hits.front()) / double(m_length) : 1.0);
    checkStop();

    if (count > 0)
        writeEntries(source, path);

    m_table.ScannedFile = path;
    endNotice.completed();
    m_hits.clear();
}

void WaveEntryScanner::writeEntries(const SourceReader& source, const std::string& path)
{
    const auto count = std::int64_t(m_hits.size());
    m_table.EntryFiles = EntryFileList(m_startup.TargetFolder, path);
    RemoveStaleTemporaries(m_startup.TargetFolder);

    const auto keepGoing = [this](std::int64_t) { return !(m_observer && m_observer->stopRequested()); };
    for (std::int64_t i = 0; i < count; ++i) {
        // Each position is dropped once its entry is written, so the names
        // grow as the positions shrink.
        const std::int64_t position = m_hits.front();
        const std::int64_t length = (m_hits.size() > 1 ? m_hits[1] : m_length + 1) - position;
        std::string name = NextEntryFileName(m_table, m_startup, path);
        EntryFileWriter writer(m_startup.TargetFolder, name, m_geometry.unnamedFiles);
        writer.copyFrom(source, position - 1, length, keepGoing);
        FileIdentity identity;
        // The name can be taken between the test and now; take the next.
        while (!writer.publish(name, &identity))
            name = NextEntryFileName(m_table, m_startup, path);
        m_table.EntryFiles.add(m_table.EntryFileNumber, identity);
        m_hits.pop_front();
        if (m_observer) {
            m_observer->entryWritten(i + 1, count);
            checkStop();
        }
    }
}

} // namespace cp
