#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cp {

// The few file operations the engine needs, each checked to the last byte.
// One implementation per platform, picked by the build.

// A source file opened for reading only.
class SourceReader {
public:
    explicit SourceReader(const std::string& path); // throws ScanError
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    std::int64_t size() const { return m_size; }
    // Reads up to length bytes at offset (0-based); fewer only at the end of the file.
    std::size_t readAt(void* buffer, std::size_t length, std::int64_t offset) const;
    int handle() const { return m_fd; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
    std::int64_t m_size = 0;
};

// A file this scan creates. Deleted again when destroyed before commit(), so a
// failed or stopped copy leaves nothing half-written behind.
class EntryFileWriter {
public:
    // Creates path exclusively. Returns false (and holds nothing) when a file
    // or folder of that name exists; throws ScanError on any other failure.
    bool create(const std::string& path);
    ~EntryFileWriter();

    // Copies length bytes of source from offset into the file, in bounded
    // pieces and inside the kernel where it can; between pieces keepGoing() is
    // asked and the copy ends with ScanStopped when it says no.
    void copyFrom(const SourceReader& source, std::int64_t offset, std::int64_t length,
                  const std::function<bool()>& keepGoing);

    // Closes the file (a failing close is a failed write) and keeps it.
    void commit();

private:
    void discard();
    std::string m_path;
    int m_fd = -1;
};

// Whether a non-folder entry of that name exists (a dangling link counts).
// Throws ScanError when the test itself fails.
bool FileExists(const std::string& path);

// Deletes one file; true when it is gone afterwards (also when it was gone before).
bool RemoveFile(const std::string& path);

} // namespace cp
