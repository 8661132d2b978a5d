// SPDX-License-Identifier: GPL-3.0-or-later
#include "ManifestWriter.h"

#include "base/JsonText.h"
#include "scan/EntryHeader.h"

namespace cp {

namespace {

const char* lengthFromWord(OriginalFile::LengthFrom from)
{
    switch (from) {
    case OriginalFile::LengthFrom::Member: return "member";
    case OriginalFile::LengthFrom::Structure: return "header";
    case OriginalFile::LengthFrom::Entry: break;
    }
    return "entry";
}

const char* nameFromWord(OriginalFile::NameFrom from)
{
    switch (from) {
    case OriginalFile::NameFrom::Member: return "member";
    case OriginalFile::NameFrom::Title: return "title";
    case OriginalFile::NameFrom::Number: break;
    }
    return "number";
}

} // namespace

ManifestWriter::ManifestWriter(std::FILE* out) : m_out(out)
{
    std::fputs("[", m_out);
}

void ManifestWriter::add(const Record& record)
{
    const OriginalFile& original = record.original;
    const std::string line = std::string(m_any ? ",\n" : "\n") + "  {\"source\": " + jsonString(record.source)
        + ", \"number\": " + std::to_string(record.number) + ", \"offset\": " + std::to_string(record.offset)
        + ", \"length\": " + std::to_string(record.length) + ", \"written_length\": " + std::to_string(original.length)
        + ", \"name\": " + jsonString(record.name) + ", \"form\": "
        + (original.structure.verdict == RiffVerdict::NoStructure ? std::string("null")
                                                                  : jsonString(shownForm(original.structure.form)))
        + ", \"verdict\": \"" + verdictWord(original.structure.verdict) + "\", \"length_from\": \""
        + lengthFromWord(original.lengthFrom) + "\", \"length_reason\": " + jsonString(lengthReasonText(original))
        + ", \"name_from\": \"" + nameFromWord(original.nameFrom) + "\"}";
    std::fwrite(line.data(), 1, line.size(), m_out);
    m_any = true;
}

bool ManifestWriter::finish()
{
    std::fputs(m_any ? "\n]\n" : "]\n", m_out);
    std::fflush(m_out); // a failure sets the stream's error mark, as a failed write before it did
    return !std::ferror(m_out);
}

} // namespace cp
