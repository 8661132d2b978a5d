// SPDX-License-Identifier: GPL-3.0-or-later
// What an entry's RIFF structure says: whole, padded, cut or none; how far it
// is trimmed and why not; its title, sound and playing time wherever they lie.
#include "scan/EntryHeader.h"
#include "scan/RiffStructure.h"
#include "files/FileIo.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

using namespace cptest;

namespace {

cp::RiffStructure Structure(const Bytes& entry)
{
    const TempDir folder;
    WriteFile(folder / "source", Concat({Junk(5), entry, Junk(7)}));
    return cp::readRiffStructure(cp::SourceReader(folder / "source"), 5, std::int64_t(entry.size()));
}

std::string Optional(const std::optional<std::uint64_t>& value)
{
    return value ? std::to_string(*value) : "-";
}

// verdict|trimmed length|reason|title|data bytes|playing time in ms
std::string Summary(const Bytes& entry)
{
    const char* verdicts[] = {"Whole", "Padded", "Cut", "NoStructure"};
    const char* reasons[] = {"AsClaimed",         "PaddingDropped",  "ClaimPastEntry", "NoStructure",
                             "ChunkCrossesClaim", "ClaimUnfinished", "ChunkAfterClaim"};
    const cp::RiffStructure s = Structure(entry);
    return std::string(verdicts[int(s.verdict)]) + "|" + std::to_string(s.trimmedLength) + "|"
        + reasons[int(s.trimReason)] + "|" + s.title + "|" + Optional(s.dataBytes) + "|"
        + Optional(s.durationMs ? std::optional<std::uint64_t>(*s.durationMs) : std::nullopt);
}

const Bytes kFmt = Chunk("fmt ", Fmt(1, 1, 8000, 16)); // 16,000 bytes a second
const Bytes kInfo = Chunk("LIST", Concat({Text("INFO"), Chunk("ISFT", Text("x")), Chunk("INAM", Text("Abendlied"))}));

TEST(RiffStructure, VerdictTrimmedLengthAndWhatTheChunksHold)
{
    const Bytes wave = Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1600)), Chunk("JUNK", {})})); // ends empty
    const Bytes odd = Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1599))}), 1635);
    const Bytes hdrl = Concat({Text("hdrl"), Chunk("avih", Concat({Le(40000, 4), Junk(12), Le(250, 4), Junk(36)}))});
    const std::pair<Bytes, std::string> cases[] = {
        {wave, "Whole|1652|AsClaimed||1600|100"},
        {Concat({wave, Bytes(300, 0)}), "Padded|1652|PaddingDropped||1600|100"},
        {odd, "Whole|1644|AsClaimed||1599|99"},
        {Bytes(odd.begin(), odd.end() - 1), "Whole|1643|AsClaimed||1599|99"}, // no pad byte at the end
        // A pad byte is zero: a writer that leaves it out has other bytes there,
        // and more zeros after it are rather a disk image's.
        {Concat({odd, Text("junk")}), "Padded|1644|PaddingDropped||1599|99"},
        {Concat({Bytes(odd.begin(), odd.end() - 1), Text("junk")}), "Padded|1643|PaddingDropped||1599|99"},
        {Concat({odd, Bytes(10, 0)}), "Padded|1643|PaddingDropped||1599|99"},
        {Concat({Riff("WAVE", Concat({kFmt, Text("data"), Le(1599, 4), Junk(1599), kInfo})), Text("junk")}),
         "Padded|1683|PaddingDropped|Abendlied|1599|99"},
        // A size field written 4 bytes short: the chunks end the file, not the junk after them.
        {Concat({Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1600))}), 1632), Text("\x01junk")}),
         "Padded|1644|ChunkCrossesClaim||1600|100"},
        {Concat({Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1599))}), 1634), Text("junk")}),
         "Padded|1644|ChunkCrossesClaim||1599|99"}, // by one byte
        {Bytes(wave.begin(), wave.begin() + 1000), "Cut|1000|ClaimPastEntry||956|59"},
        // A placeholder claim of 2 GiB: the data chunk's own size, not the padding, is the sound.
        {Concat({Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1600))}), 0x7FFFFFF8), Bytes(5000, 0)}),
         "Cut|6644|ClaimPastEntry||1600|100"},
        {Riff("WAVE", Concat({kFmt, Chunk("data", Junk(3984))}), 30), "Padded|4028|ChunkCrossesClaim||3984|249"},
        // A 44-byte claim in 4,029 bytes: kept whole where the header is unfinished, trimmed where complete.
        {Riff("WAVE", Concat({kFmt, Chunk("data", {}), Junk(3985)}), 36), "Padded|4029|ClaimUnfinished||3985|249"},
        {Concat({Riff("RMID", Chunk("data", Junk(24))), Bytes(3985, 0)}), "Padded|44|PaddingDropped||-|-"},
        {Concat({wave, kInfo}), "Padded|1692|ChunkAfterClaim|Abendlied|1600|100"}, // a chunk after the claim
        {Concat({wave, Bytes(kInfo.begin(), kInfo.end() - 1)}), "Padded|1652|PaddingDropped||1600|100"}, // cut short
        // The chunks end the file with its pad byte, the entry's last.
        {Riff("WAVE", Concat({kFmt, Chunk("data", Junk(1599))}), 30), "Padded|1644|ChunkCrossesClaim||1599|99"},
        {Concat({Riff("WAVE", Concat({Chunk("JUNK", {}), Bytes(14, 0)})), kInfo, Text("junk")}),
         "Padded|74|ChunkAfterClaim|Abendlied|-|-"}, // though no chunk ends the claim's bytes
        {Riff("WAVE", Concat({kFmt, Chunk("data", Junk(70000)), kInfo})), "Whole|70084|AsClaimed|Abendlied|70000|4375"},
        {Concat({Riff("WAVE", Concat({kFmt, Chunk("data", Junk(100), 0xFFFFFFFF)})), Bytes(50, 0)}),
         "Padded|194|ChunkCrossesClaim||150|9"},
        {Riff("AVI ", Chunk("LIST", hdrl)), "Whole|88|AsClaimed||-|10000"},
        // Only the first header list's main header, where it is whole, gives the film's time.
        {Riff("AVI ",
              Concat({Chunk("LIST", hdrl), Chunk("LIST", Concat({Text("hdrl"), Chunk("avih", Bytes(56, 1))}))})),
         "Whole|164|AsClaimed||-|10000"},
        {Riff("AVI ", Chunk("LIST", Concat({Text("hdrl"), Chunk("avix", Bytes(hdrl.begin() + 12, hdrl.end()))}))),
         "Whole|88|AsClaimed||-|-"},
        {Riff("AVI ",
              Chunk("LIST",
                    Concat(
                        {Text("hdrl"), Chunk("avih", Concat({Le(40000, 4), Junk(12)})), Chunk("strl", Bytes(40, 1))}))),
         "Whole|96|AsClaimed||-|-"},
        {Riff("AVI ",
              Concat({Text("LIST"), Le(24, 4), Text("hdrlavih"), Le(56, 4), Le(40000, 4), Junk(8),
                      Chunk("JUNK", Bytes(40, 1))})),
         "Whole|92|AsClaimed||-|-"},
        {Riff("WAVE", kFmt, 3), "NoStructure|36|NoStructure||-|-"},
        {Riff("W\x7FVE", kFmt), "NoStructure|36|NoStructure||-|-"},
        {Riff("WAVE", Concat({Text("\x1Fmt "), Bytes(kFmt.begin() + 4, kFmt.end())})),
         "NoStructure|36|NoStructure||-|-"},
        {Riff("WAVE", Chunk("fmt ", Fmt(1), 5000)), "NoStructure|36|NoStructure||-|-"},
        {Text("RIFF is the format of this text, and more words"), "NoStructure|47|NoStructure||-|-"},
        {Text(std::string("RIFF\x10\0\0\0WAVEfmt ", 16)), "NoStructure|16|NoStructure||-|-"},
    };
    for (const auto& [entry, summary] : cases)
        EXPECT_EQ(Summary(entry), summary);
}

TEST(RiffStructure, WalksAHundredThousandChunksAtMost)
{
    for (const unsigned tiny : {99'000u, 100'000u}) {
        Bytes chunks = kFmt;
        for (unsigned i = 0; i < tiny; ++i)
            chunks.insert(chunks.end(), {'J', 'U', 'N', 'K', 0, 0, 0, 0});
        const cp::RiffStructure s = Structure(Riff("WAVE", Concat({chunks, kInfo})));
        EXPECT_EQ(s.walkEnded, tiny + 2 <= cp::kMaxRiffChunks) << s.chunks;
        EXPECT_EQ(s.title, s.walkEnded ? "Abendlied" : "");
    }
}

TEST(RiffStructure, TheHeaderReaderFindsATitleKeptAfterTheSoundAndAFormatAfterLongChunks)
{
    const TempDir folder;
    const Bytes entry = Riff("WAVE", Concat({kFmt, Chunk("data", Junk(70000)), kInfo}));
    WriteFile(folder / "source", entry);
    EXPECT_EQ(cp::readEntryHeader(cp::SourceReader(folder / "source"), 0, std::int64_t(entry.size())).title,
              "Abendlied");
    const Bytes late = Riff("WAVE", Concat({Chunk("JUNK", Junk(2000)), kFmt, Chunk("data", Junk(100))}));
    WriteFile(folder / "late", late);
    EXPECT_EQ(cp::readEntryHeader(cp::SourceReader(folder / "late"), 0, std::int64_t(late.size())).sampleRate, 8000u);
    // How many bytes the header needs: a start that may still become a tag asks for the form.
    const unsigned char* text = reinterpret_cast<const unsigned char*>("RIFFxxxxWAVE");
    EXPECT_EQ(cp::entryHeaderReach(text, 4), 12u);
    EXPECT_EQ(cp::entryHeaderReach(text + 1, 4), 0u);
    EXPECT_EQ(cp::entryHeaderReach(text + 1, 11), 0u);
    const Bytes empty = Riff("WAVE", Chunk("JUNK", {}));
    EXPECT_EQ(cp::entryHeaderReach(empty.data(), empty.size()), 28u) << "the chunks' end and the next header";
}

TEST(RiffStructure, ExtensionsByForm)
{
    const std::pair<std::string, std::string> cases[]
        = {{"WAVE", ".wav"}, {"AVI ", ".avi"}, {"WEBP", ".webp"}, {"sfbk", ".sf2"}, {"ACON", ".ani"},
           {"RMID", ".rmi"}, {"DLS ", ".dls"}, {"AVI", ".riff"},  {"wave", ".riff"}};
    for (const auto& [form, extension] : cases)
        EXPECT_EQ(cp::riffExtension(form), extension);
}

} // namespace
