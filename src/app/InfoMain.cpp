// chunkpicker-info FILE [--json]: one line per entry the batch run would
// write, with what its header says, as tab-separated values or as JSON. Reads
// the file once and at most 64 KiB of each entry; writes no file.
#include "base/ProgramEntry.h"
#include "scan/EntryHeader.h"
#include "scan/FileIo.h"
#include "scan/ScanError.h"
#include "scan/SourceSearch.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "Syntax:  chunkpicker-info  [--json]  Quelldatei";
constexpr const char* kFields[] = {"number", "position", "length", "form", "format", "channels",
                                   "rate",   "bits",     "header_size", "difference", "title"};

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Prints entries as they are found, so that a million of them cost no memory.
class EntryPrinter {
public:
    explicit EntryPrinter(bool json) : m_json(json)
    {
        if (m_json) {
            std::fputs("[", stdout);
        } else {
            for (const char* field : kFields)
                std::printf("%s%s", field, field == kFields[10] ? "\n" : "\t");
        }
    }

    void entry(std::int64_t number, std::int64_t position, std::int64_t length, const cp::EntryHeader& header)
    {
        using Value = std::optional<std::string>; // empty: does not apply
        const bool wave = header.format;
        const Value values[] = {
            std::to_string(number),
            std::to_string(position),
            std::to_string(length),
            header.riffHeader ? Value(cp::ShownForm(header.form)) : Value(),
            wave ? Value(cp::FormatName(header.formatTag)) : Value(),
            wave ? Value(std::to_string(header.channels)) : Value(),
            wave ? Value(std::to_string(header.sampleRate)) : Value(),
            wave ? Value(std::to_string(header.bitsPerSample)) : Value(),
            header.riffHeader ? Value(std::to_string(header.claimedSize)) : Value(),
            header.riffHeader ? Value(std::to_string(length - std::int64_t(header.claimedSize))) : Value(),
            header.title.empty() ? Value() : Value(cp::ShownText(header.title)),
        };
        if (!m_json) {
            for (std::size_t i = 0; i < std::size(values); ++i)
                std::printf("%s%s", values[i].value_or("").c_str(), i + 1 < std::size(values) ? "\t" : "\n");
            return;
        }
        std::printf("%s\n  {", number > 1 ? "," : "");
        for (std::size_t i = 0; i < std::size(values); ++i) {
            const bool text = i == 3 || i == 4 || i == 10;
            const std::string shown = !values[i] ? "null" : text ? JsonString(*values[i]) : *values[i];
            std::printf("%s\"%s\": %s", i > 0 ? ", " : "", kFields[i], shown.c_str());
        }
        std::fputs("}", stdout);
    }

    void finish(bool any)
    {
        if (m_json)
            std::fputs(any ? "\n]\n" : "]\n", stdout);
    }

private:
    bool m_json;
};

int Run(const std::string& path, bool json)
{
    const cp::SourceReader source(path);
    const std::int64_t length = source.size();
    EntryPrinter printer(json);
    std::vector<unsigned char> head(cp::kEntryHeaderBytes);
    std::int64_t count = 0, previous = 0;
    auto print = [&](std::int64_t position, std::int64_t end) {
        const std::int64_t entryLength = end - position;
        const std::size_t got =
            source.readAt(head.data(), std::size_t(std::min<std::int64_t>(entryLength, std::int64_t(head.size()))), position - 1);
        printer.entry(++count, position, entryLength, cp::ParseEntryHeader(head.data(), got));
    };
    cp::SearchSource(source, length, cp::ScanGeometry {}, [](std::int64_t) {}, [&](std::int64_t position) {
        if (previous > 0)
            print(previous, position);
        previous = position;
    });
    if (previous > 0)
        print(previous, length + 1);
    printer.finish(count > 0);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "chunkpicker-info: Fehler beim Schreiben der Ausgabe: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace

int ProgramMain(const std::vector<std::string>& arguments)
{
    std::setlocale(LC_ALL, ""); // the system's error texts in the user's language
    std::setlocale(LC_NUMERIC, "C");
    bool json = false;
    std::string path;
    for (const std::string& argument : arguments) {
        if (argument == "--json" && !json) {
            json = true;
        } else if (path.empty() && !argument.empty()) {
            path = argument;
        } else {
            path.clear();
            break;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    try {
        return Run(path, json);
    } catch (const cp::ScanError& error) {
        std::fprintf(stderr, "chunkpicker-info: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "chunkpicker-info: Fehler 7: nicht genügend Speicher\n");
    }
    return 1;
}
