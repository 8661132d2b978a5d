#include "BatchRun.h"

#include "base/CommandLine.h"
#include "NumberFormat.h"
#include "scan/EntryTable.h"
#include "scan/ScanError.h"
#include "scan/WaveEntryScanner.h"

#include <algorithm>

namespace cp {

namespace {

class BatchObserver final : public ScanObserver {
public:
    explicit BatchObserver(const std::atomic<bool>* stop) : m_stop(stop) {}

    void fileOpened(std::int64_t length) override { m_length = length; }
    void searchFinished(std::int64_t count, std::int64_t firstTag, double finalShare) override
    {
        m_count = count;
        m_firstTag = firstTag;
        m_share = count > 0 ? finalShare : 1.0;
    }
    bool stopRequested() override { return m_stop && m_stop->load(std::memory_order_relaxed); }

    std::int64_t m_length = 0;
    std::int64_t m_count = 0;
    std::int64_t m_firstTag = 0;
    double m_share = 1.0;

private:
    const std::atomic<bool>* m_stop;
};

} // namespace

QString BatchSummary(std::int64_t entries, std::int64_t fileLength, std::int64_t firstTag, const std::string& folder,
                     double share, const QLocale& locale)
{
    // From the first tag on, every byte went into some entry file.
    const std::int64_t bytesWritten = entries > 0 ? fileLength - firstTag + 1 : 0;
    return QStringLiteral("%1 Einträge mit %2 Byte nach %3 geschrieben, nicht erkannte Daten: %4")
        .arg(FormatGrouped(entries, locale), FormatGrouped(bytesWritten, locale), QString::fromStdString(folder),
             FormatShare(share, locale));
}

int RunBatch(const StartupState& state, const QLocale& locale, std::FILE* out, std::FILE* err,
             const std::atomic<bool>* stop)
{
    EntryTable table;
    BatchObserver observer(stop);
    WaveEntryScanner scanner(table, state, nullptr, &observer);
    try {
        scanner.ScanFile(state.SourceFile);
    } catch (const ScanError& error) {
        std::fprintf(err, "%s: %s\n", kApplicationTitle, error.what());
        return 1;
    } catch (const ScanStopped&) {
        std::fprintf(err, "%s: abgebrochen; bis dahin %lld vollständige Einträge in %s\n", kApplicationTitle,
                     static_cast<long long>(std::count(table.EntryFileOwned.begin(), table.EntryFileOwned.end(), true)),
                     state.TargetFolder.c_str());
        return 130;
    }

    const QString line = BatchSummary(observer.m_count, observer.m_length, observer.m_firstTag, state.TargetFolder,
                                      observer.m_share, locale);
    std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
    return 0;
}

} // namespace cp
