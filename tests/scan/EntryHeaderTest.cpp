// SPDX-License-Identifier: GPL-3.0-or-later
// What an entry's first bytes say, for headers whole, odd, cut short and lying.
#include "scan/EntryHeader.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

using namespace cptest;

namespace {

// form|format|channels|rate|bits|claimed size|title, empty where nothing was read.
std::string Summary(const Bytes& bytes)
{
    const cp::EntryHeader h = cp::parseEntryHeader(bytes.data(), bytes.size());
    if (!h.riffHeader)
        return "kein RIFF-Kopf";
    std::string s = cp::shownForm(h.form) + "|";
    if (h.format)
        s += cp::formatName(h.formatTag) + "|" + std::to_string(h.channels) + "|" + std::to_string(h.sampleRate) + "|"
            + std::to_string(h.bitsPerSample);
    return s + "|" + std::to_string(h.claimedSize) + "|" + cp::shownText(h.title);
}

TEST(EntryHeader, FormsFormatsAndSizesAsTheHeaderStatesThemWithinTheBytesGiven)
{
    const Bytes data = Chunk("data", Junk(100));
    const Bytes title = Text(std::string("Gl\366ckchen\0\0\0", 12));
    const Bytes info = Chunk("LIST", Concat({Text("INFO"), Chunk("ISFT", Text("x")), Chunk("INAM", title)}));
    const Bytes pcm = Fmt(1), extensible = Concat({Fmt(0xFFFE), Le(22, 2), Le(16, 2), Le(3, 4), Le(3, 2), Junk(14)});
    const std::pair<Bytes, std::string> cases[] = {
        {Riff("WAVE", Concat({Chunk("fmt ", Fmt(1)), data})), "WAVE|PCM|2|44100|16|144|"},
        {Riff("WAVE", Concat({Chunk("fmt ", Fmt(0x11, 1, 22050, 4)), data})), "WAVE|IMA-ADPCM|1|22050|4|144|"},
        {Riff("WAVE", Chunk("fmt ", Fmt(2))), "WAVE|MS-ADPCM|2|44100|16|36|"},
        {Riff("WAVE", Chunk("fmt ", Fmt(6))), "WAVE|A-law|2|44100|16|36|"},
        {Riff("WAVE", Chunk("fmt ", Fmt(7))), "WAVE|µ-law|2|44100|16|36|"},
        {Riff("WAVE", Chunk("fmt ", Fmt(0x55))), "WAVE|MPEG|2|44100|16|36|"},
        {Riff("WAVE", Chunk("fmt ", Fmt(0x1234))), "WAVE|4660|2|44100|16|36|"},
        {Riff("WAVE", Chunk("fmt ", extensible)), "WAVE|IEEE-Float|2|44100|16|60|"},
        {Riff("WAVE", Chunk("fmt ", Bytes(extensible.begin(), extensible.begin() + 26))),
         "WAVE|IEEE-Float|2|44100|16|46|"}, // up to the sub-format's first two bytes
        // An odd chunk is padded; the title after it is found, in Latin-1 or UTF-8.
        {Riff("WAVE", Concat({Chunk("junk", Text("abc")), info, Chunk("fmt ", Fmt(1))})),
         "WAVE|PCM|2|44100|16|90|Glöckchen"},
        {Riff("AVI ", info, 0xFFFFFFFF), "AVI||4294967303|Glöckchen"},
        {Riff("RMID", data), "RMID||120|"},
        {Riff("WAVE", data), "WAVE||120|"},                                                   // no fmt chunk
        {Riff("WAVE", Chunk("fmt ", Bytes(pcm.begin(), pcm.begin() + 14), 16)), "WAVE||34|"}, // cut short
        {Riff("WAVE", Chunk("fmt ", Bytes(pcm.begin(), pcm.begin() + 15))), "WAVE||36|"},     // one byte short
        {Riff("WAVE", Concat({Chunk("data", Junk(8), 0xFFFFFFFF), Chunk("fmt ", Fmt(1))})),
         "WAVE||52|"}, // lies past the end
        {Riff(std::string("W\x01\xff ", 4), {}), "W??||12|"},
        {Riff("WAVX", Chunk("fmt ", Fmt(1))), "WAVX||36|"}, // not a wave: its format is not read
        {Text("RIFF\x10\0\0\0WAV"), "kein RIFF-Kopf"},
    };
    for (const auto& [bytes, summary] : cases)
        EXPECT_EQ(Summary(bytes), summary);
}

} // namespace
