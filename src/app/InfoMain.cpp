// SPDX-License-Identifier: GPL-3.0-or-later
// chunkpicker-info [--json] FILE: one line per entry the batch run would
// write, with what its header says and how long it plays, as tab-separated
// values or as JSON. Reads the file once and of each entry its headers;
// writes no file.
#include "base/JsonText.h"
#include "base/ProgramEntry.h"
#include "base/Version.h"
#include "playback/SoundFile.h"
#include "scan/EntryHeader.h"
#include "scan/RiffStructure.h"
#include "files/FileIo.h"
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

constexpr const char* kUsage = "Syntax:  chunkpicker-info  [--json]  [--]  Quelldatei";
constexpr const char* kFields[] = {"number", "position",    "length",     "form",  "format",      "channels", "rate",
                                   "bits",   "header_size", "difference", "title", "duration_ms", "verdict"};
constexpr std::size_t kFieldCount = std::size(kFields);
constexpr const char* kHelp
    = "\n         chunkpicker-info  --help | --version\n\n"
      "Listet jeden Eintrag, den der Stapelbetrieb aus der Quelldatei schreiben würde: eine Zeile je Eintrag,\n"
      "tabulatorgetrennt unter einer Kopfzeile, nur Ziffern, leer wo ein Feld nicht zutrifft. Schreibt keine Datei.\n\n"
      "  --json       ein JSON-Array von Objekten mit denselben Schlüsseln (null wo ein Feld nicht zutrifft)\n"
      "  --           alles Weitere ist die Quelldatei, auch wenn sie mit - beginnt\n"
      "  --help       diese Hilfe\n"
      "  --version    die Version\n\n"
      "Spalten:\n"
      "  number       Nummer des Eintrags, ab 1\n"
      "  position     Stelle seines RIFF-Kennzeichens in der Datei, ab 1\n"
      "  length       Länge in Byte, bis zum nächsten Kennzeichen oder zum Dateiende\n"
      "  form         RIFF-Form laut Kopf (etwa WAVE); leer ohne RIFF-Kopf\n"
      "  format       Wave-Format (etwa PCM)\n"
      "  channels     Kanäle\n"
      "  rate         Abtastrate in Hz\n"
      "  bits         Bit je Abtastwert\n"
      "  header_size  Größe laut Kopf in Byte, die 8 Byte vor der Form eingeschlossen\n"
      "  difference   length minus header_size\n"
      "  title        Titel (LIST/INFO INAM)\n"
      "  duration_ms  Spieldauer in Millisekunden, die das Fenster in Sekunden zeigt; leer, wo es keine zeigt\n"
      "  verdict      wie der Eintrag zu der RIFF-Datei steht, die sein Kopf ankündigt: whole (er ist sie),\n"
      "               padded (ihr folgen weitere Bytes, etwa die Auffüllung eines Archivs), cut (er endet vor\n"
      "               ihrem Ende), no_structure (das Kennzeichen beginnt keine RIFF-Datei: Text, Code, Gepacktes)\n\n"
      "Exit-Status: 0 gelungen, 1 Datei nicht lesbar oder Ausgabe nicht schreibbar, 2 falscher Aufruf.\n";

// Prints entries as they are found, so that a million of them cost no memory.
class EntryPrinter {
public:
    explicit EntryPrinter(bool json) : m_json(json)
    {
        if (m_json) {
            std::fputs("[", stdout);
        } else {
            for (const char* field : kFields)
                std::printf("%s%s", field, field == kFields[kFieldCount - 1] ? "\n" : "\t");
        }
    }

    void entry(std::int64_t number, std::int64_t position, std::int64_t length, const cp::EntryHeader& header,
               std::optional<std::int64_t> durationMs, cp::RiffVerdict verdict)
    {
        using Value = std::optional<std::string>; // empty: does not apply
        const bool wave = header.format;
        const Value values[] = {
            std::to_string(number),
            std::to_string(position),
            std::to_string(length),
            header.riffHeader ? Value(cp::shownForm(header.form)) : Value(),
            wave ? Value(cp::formatName(header.formatTag)) : Value(),
            wave ? Value(std::to_string(header.channels)) : Value(),
            wave ? Value(std::to_string(header.sampleRate)) : Value(),
            wave ? Value(std::to_string(header.bitsPerSample)) : Value(),
            header.riffHeader ? Value(std::to_string(header.claimedSize)) : Value(),
            header.riffHeader ? Value(std::to_string(length - std::int64_t(header.claimedSize))) : Value(),
            header.title.empty() ? Value() : Value(cp::shownText(header.title)),
            // Where the device finds no playing time, the window shows a word for the rate: empty here.
            durationMs.value_or(0) > 0 ? Value(std::to_string(*durationMs)) : Value(),
            cp::verdictWord(verdict),
        };
        static_assert(std::size(values) == kFieldCount);
        if (!m_json) {
            for (std::size_t i = 0; i < std::size(values); ++i)
                std::printf("%s%s", values[i].value_or("").c_str(), i + 1 < std::size(values) ? "\t" : "\n");
            return;
        }
        std::printf("%s\n  {", number > 1 ? "," : "");
        for (std::size_t i = 0; i < std::size(values); ++i) {
            const bool text = i == 3 || i == 4 || i == 10 || i == 12;
            const std::string shown = !values[i] ? "null" : text ? cp::jsonString(*values[i]) : *values[i];
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

// 0 when all output arrived, else 1 with the reason on stderr.
int flushed()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "chunkpicker-info: Fehler beim Schreiben der Ausgabe: %s\n", std::strerror(errno));
    return 1;
}

int run(const std::string& path, bool json)
{
    const cp::SourceReader source(path);
    const std::int64_t length = source.size();
    EntryPrinter printer(json);
    std::vector<unsigned char> head(cp::kEntryHeaderBytes);
    std::int64_t count = 0, previous = 0;
    auto print = [&](std::int64_t position, std::int64_t end) {
        const std::int64_t entryLength = end - position;
        const std::size_t got = source.readAt(
            head.data(), std::size_t(std::min<std::int64_t>(entryLength, std::int64_t(head.size()))), position - 1);
        cp::EntryHeader header = cp::parseEntryHeader(head.data(), got);
        // The chunks after the first bytes: the verdict, and a title kept after the sound.
        const cp::RiffStructure structure = cp::readRiffStructure(source, position - 1, entryLength);
        if (header.title.empty())
            header.title = structure.title;
        printer.entry(++count, position, entryLength, header, cp::soundLengthMs(source, position - 1, entryLength),
                      structure.verdict);
    };
    cp::searchSource(
        source, length, cp::ScanGeometry {}, [](std::int64_t) {},
        [&](std::int64_t position) {
            if (previous > 0)
                print(previous, position);
            previous = position;
        });
    if (previous > 0)
        print(previous, length + 1);
    printer.finish(count > 0);
    return flushed();
}

} // namespace

int programMain(const std::vector<std::string>& arguments)
{
    std::setlocale(LC_ALL, ""); // the system's error texts in the user's language (no number here is a float)
    bool json = false, options = true;
    std::vector<std::string> paths;
    for (const std::string& arg : arguments) {
        if (options && arg == "--help") {
            std::printf("%s%s", kUsage, kHelp);
            return flushed();
        }
        if (options && arg == "--version") {
            std::printf("chunkpicker-info %s\n", cp::kVersion);
            return flushed();
        }
        if (options && arg == "--")
            options = false;
        else if (options && arg == "--json")
            json = true;
        else if (options && arg.size() > 1 && arg[0] == '-')
            paths.assign(2, arg); // an option it does not know: a wrong call
        else
            paths.push_back(arg);
    }
    if (paths.size() != 1 || paths[0].empty()) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    const std::string& path = paths[0];
    try {
        return run(path, json);
    } catch (const cp::ScanError& error) {
        std::fprintf(stderr, "chunkpicker-info: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "chunkpicker-info: Fehler 7: nicht genügend Speicher\n");
    }
    return 1;
}
