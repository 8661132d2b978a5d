// SPDX-License-Identifier: GPL-3.0-or-later
// The original file an entry is written as: its length, its name and its
// extension, from archive headers before the tag and the entry's own chunks.
#include "scan/OriginalFile.h"
#include "files/FileIo.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

using namespace cptest;

namespace {

const Bytes kFmt = Chunk("fmt ", Fmt(1, 1, 8000, 8));
Bytes Titled(const std::string& title, const std::string& form = "WAVE")
{
    return Riff(
        form,
        Concat({kFmt, Chunk("data", Junk(300)), Chunk("LIST", Concat({Text("INFO"), Chunk("INAM", Text(title))}))}));
}
Bytes Octal(std::size_t size)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%011zo", size);
    return Text(digits);
}

// length|lengthFrom|name|nameFrom of the entry that follows before, padded with after.
std::string Plan(const Bytes& before, const Bytes& entry, const Bytes& after, cp::OriginalOptions options)
{
    TempDir dir;
    WriteFile(dir / "src", Concat({before, entry, after}));
    const cp::SourceReader source(dir / "src");
    const cp::OriginalFile o = cp::planOriginal(source, std::int64_t(before.size()),
                                                std::int64_t(entry.size() + after.size()), "Sound007 aus x", options);
    const char* lengthFrom[] = {"entry", "member", "header"};
    const char* nameFrom[] = {"number", "member", "title"};
    return std::to_string(o.length) + "|" + lengthFrom[int(o.lengthFrom)] + "|" + o.name + "|"
        + nameFrom[int(o.nameFrom)];
}

TEST(OriginalFile, LengthNameAndExtensionFromTheArchiveHeaderTheTitleOrTheNumber)
{
    const Bytes wave = MakeWave(8000, 10); // 204 bytes
    const Bytes padding(388, 0);
    const cp::OriginalOptions all {true, true, true}, trimOnly {true, false, false}, namesOnly {false, true, false};
    const struct {
        Bytes before, entry, after;
        cp::OriginalOptions options;
        std::string plan;
    } cases[] = {
        // The member's size and name win; its folders are dropped.
        {TarHeader("a/b/door.wav", Octal(204)), wave, padding, all, "204|member|door.wav|member"},
        {TarHeader("a/b/door.wav", Octal(204)), wave, padding, trimOnly, "204|member|Sound007 aus x.wav|number"},
        {TarHeader("a/b/door.wav", Octal(204)), wave, padding, namesOnly, "592|entry|door.wav|member"},
        {TarHeader("door.wav", Octal(204)), wave, padding, {}, "592|entry|Sound007 aus x.wav|number"},
        // A header whose sum is off names the member but does not size it: the RIFF claim does.
        {TarHeader("door.wav", Octal(100), '0', "ustar", 1), wave, padding, all, "204|header|door.wav|member"},
        // A size past the file's end: never more than the entry.
        {TarHeader("door.wav", Octal(99999)), wave, padding, all, "592|member|door.wav|member"},
        // A hostile name: the last part, control bytes made harmless.
        {TarHeader("../../etc/pass\x01wd", Octal(204)), wave, padding, all, "204|member|pass_wd.wav|member"},
        {TarHeader("..", Octal(204)), wave, padding, all, "204|member|Sound007 aus x.wav|number"},
        // The form's extension is added unless the name has it, in any case.
        {TarHeader("SOUND.WAV", Octal(204)), wave, padding, all, "204|member|SOUND.WAV|member"},
        {TarHeader("x.snd", Octal(204)), wave, padding, all, "204|member|x.snd.wav|member"},
        {TarHeader("x.snd", Octal(204)), wave, padding, namesOnly, "592|entry|x.snd|member"},
        // No archive: the title, which is no path; else the number.
        {Junk(20), Titled("AC/DC\\Live"), padding, all, "374|header|AC_DC_Live.wav|title"},
        {Junk(20), Titled("Bild", "WEBP"), {}, all, "368|header|Bild.webp|title"},
        {Junk(20), Riff("sfbk", Chunk("LIST", Text("INFO"))), Junk(8), all, "24|header|Sound007 aus x.sf2|number"},
        {Junk(20), Text("RIFF is a format"), {}, all, "16|header|Sound007 aus x.riff|number"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Plan(c.before, c.entry, c.after, c.options), c.plan) << c.plan;
}

TEST(OriginalFile, NumberedAndPortableNames)
{
    EXPECT_EQ(cp::numberedName("door.wav", 1), "door.wav");
    EXPECT_EQ(cp::numberedName("door.wav", 2), "door (2).wav");
    EXPECT_EQ(cp::numberedName("a.tar.wav", 12), "a.tar (12).wav");
    EXPECT_EQ(cp::numberedName(".hidden", 3), ".hidden (3)");
    EXPECT_EQ(cp::numberedName("plain", 2), "plain (2)");
    const std::pair<std::string, std::string> portable[] = {
        {"a:b?<c>|\"d\"*.wav", "a_b__c___d__.wav"},
        {"name. . ", "name"},
        {"\xe9t\xe9.wav", "été.wav"}, // Latin-1, as old archives store names
        {"Tür.wav", "Tür.wav"},       // UTF-8 stays
        {"CON", "_CON"},
        {"con .txt", "_con .txt"},
        {"Lpt9.wav", "_Lpt9.wav"},
        {"com0.wav", "_com0.wav"},
        {"COM", "COM"},
        {"Coma.wav", "Coma.wav"},
        {"console.wav", "console.wav"},
        {"nul.tar.gz", "_nul.tar.gz"},
    };
    for (const auto& [name, expected] : portable)
        EXPECT_EQ(cp::portableFileName(name), expected) << name;
}

} // namespace
