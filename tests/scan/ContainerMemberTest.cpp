// SPDX-License-Identifier: GPL-3.0-or-later
// The archive member a tag begins, in archives of the system's tools and in
// headers made by hand to lie; and the file names made of stored names.
#include "scan/ContainerMember.h"
#include "scan/OriginalFile.h"
#include "files/FileIo.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

using namespace cptest;

namespace {

// kind|name|size|intact, "-" for no member; size "?" where unknown, with "!" where cut.
std::string Summary(const std::optional<cp::ContainerMember>& m)
{
    if (!m)
        return "-";
    const char* kinds[] = {"tar", "cpio", "zip"};
    const std::string size = m->size ? std::to_string(*m->size) + (m->sizeCut ? "!" : "") : "?";
    return std::string(kinds[int(m->kind)]) + "|" + m->name + "|" + size + "|" + (m->headerIntact ? "ok" : "kaputt");
}

// A newc header with its name (padded), or an odc one; the numbers' text as it stands.
Bytes Cpio(const std::string& numbers, const std::string& name)
{
    Bytes h = Concat({Text(numbers), Text(name), Bytes {0}});
    h.resize(numbers[5] == '7' ? h.size() : (h.size() + 3) / 4 * 4, 0);
    return h;
}

Bytes Zip(const std::string& name, unsigned flags, unsigned method, std::uint32_t size, const Bytes& extra = {})
{
    return Concat({Text("PK\3\4"), Le(20, 2), Le(flags, 2), Le(method, 2), Le(0, 8), Le(size, 4), Le(size, 4),
                   Le(name.size(), 2), Le(extra.size(), 2), Text(name), extra});
}

TEST(ContainerMember, HeadersMadeToLieOrToHarmAreReadAsTheyStandOrRefused)
{
    const std::string newc = "07070100000001000081A4" + std::string(32, '0') + "00000064" + std::string(32, '0');
    const std::string odc = "070707000001000002100644" + std::string(24, '0') + std::string(11, '1');
    const std::pair<Bytes, std::string> cases[] = {
        {TarHeader("a.wav", Text("00000000144")), "tar|a.wav|100|ok"},
        {TarHeader("a.wav", Text("144 "), '\0', ""), "tar|a.wav|100|ok"}, // v7
        {TarHeader("a.wav", Text("144"), '0', "ustar", 1), "tar|a.wav|100|kaputt"},
        {TarHeader("\xe4.wav", Text("144"), '0', "", -256), "tar|\xe4.wav|100|ok"}, // summed as signed chars
        {TarHeader("a.wav", Text("144"), '0', "", 1), "-"},
        {TarHeader("a.wav", Text("144"), '5'), "-"},
        {TarHeader("a.wav", Text("14x")), "-"},
        {TarHeader("", Text("144")), "-"},
        {TarHeader("../../a.wav", Concat({Bytes {0x80}, Bytes(6, 0), Bytes {1}, Bytes(4, 0)})),
         "tar|../../a.wav|100!|ok"},
        {TarHeader("a.wav", Concat({Bytes {0xFF}, Bytes(10, 0), Bytes {1}})), "-"}, // negative
        {Concat({Junk(9), Cpio(newc + "00000006" + std::string(8, '0'), std::string("/a\0b\n", 5))}),
         std::string("cpio|/a\0b\n|100|ok", 17)},
        {Cpio(newc + "00000007" + std::string(8, '0'), "/a"), "-"},                  // its name runs on
        {Cpio(newc + "00000003" + std::string(8, 'g'), "/a"), "cpio|/a|100|kaputt"}, // no digits
        {Cpio("07070100000009000081A4" + newc.substr(22, 32) + "0000005a" + std::string(32, '0') + "00000003"
                  + std::string(8, '0'),
              "/a"),
         "cpio|/a|90|ok"},
        {Cpio("07070100000001000041ED" + newc.substr(22) + "00000003" + std::string(8, '0'), "/a"), "-"}, // a folder
        {Cpio(odc + "000003" + "00000000144", ".."), "cpio|..|100|ok"},
        {Text(odc + "000003" + "00000000144" + "..x"), "-"}, // no NUL at the name's end
        {Zip("a.wav", 0, 0, 100), "zip|a.wav|100|ok"},
        {Zip("a.wav", 0, 8, 100), "-"}, // deflated
        {Zip("a.wav", 8, 0, 0), "zip|a.wav|?|ok"},
        {Zip("a.wav", 0, 0, 0xFFFFFFFF, Concat({Le(1, 2), Le(16, 2), Le(1ull << 33, 8), Le(1ull << 33, 8)})),
         "zip|a.wav|100!|ok"},
        {Zip("a.wav", 0, 0, 0xFFFFFFFF, Concat({Le(1, 2), Le(8, 2), Le(7, 8)})), "zip|a.wav|7|kaputt"},
        {Concat({Zip("a.wav", 0, 0, 100), Bytes {0}}), "-"}, // not right before the tag
        // A long name whose data ends a block before the header is another member's.
        {Concat({TarHeader("././@LongLink", Text("144"), 'L'), Junk(1024), TarHeader("a.wav", Text("144"))}),
         "tar|a.wav|100|ok"},
        {Concat({TarHeader("././@LongLink", Text("144"), 'L'), Text("lang.wav"), Bytes(504, 0),
                 TarHeader("a.wav", Text("144"))}),
         "tar|lang.wav|100|ok"},
    };
    for (const auto& [header, summary] : cases)
        EXPECT_EQ(Summary(cp::parseMemberBefore(header.data(), header.size(), 100)), summary);
}

TEST(ContainerMember, MembersOfArchivesTheSystemsToolsMake)
{
    const Bytes wave = Riff("WAVE", Concat({Chunk("fmt ", Fmt(1)), Chunk("data", Junk(1001))}));
    const std::string deep = std::string(70, 'o') + "/" + std::string(60, 'u') + "/T\303\266ne.wav"; // over 100 bytes
    std::string longest = deep.substr(0, 70); // no ustar and no directory entry can hold it
    for (char c = 'a'; c < 'r'; ++c)
        longest += "/" + std::string(200, c);
    longest += "/" + std::string(120, 'p') + ".wav";
    const std::string size = "|" + std::to_string(wave.size()) + "|ok";
    const struct {
        std::string tool, command, summary;
    } cases[] = {
        {"tar", "tar --format=ustar -cf ../a.zip vorher.bin " + deep, "tar|" + deep + size},
        {"tar", "tar --format=gnu -cf ../a.zip vorher.bin " + longest, "tar|" + longest + size},
        {"tar", "tar --format=gnu -g ../snap -cf ../a.zip vorher.bin kurz.wav", "tar|kurz.wav" + size}, // times
        {"tar", "tar --format=posix -cf ../a.zip vorher.bin " + longest, "tar|" + longest + size},
        {"tar", "tar --format=v7 -cf ../a.zip vorher.bin kurz.wav", "tar|kurz.wav" + size},
        {"cpio", "printf 'vorher.bin\\n%s\\n' " + longest + " | cpio --quiet -o -H newc >../a.zip",
         "cpio|" + longest + size},
        {"cpio", "printf 'vorher.bin\\nkurz.wav\\n' | cpio --quiet -o -H odc >../a.zip", "cpio|kurz.wav" + size},
        {"zip", "zip -0 -q ../a.zip vorher.bin " + longest, "zip|" + longest + size},
        {"zip", "cat kurz.wav | zip -0 -q - - | cat >../a.zip", "zip|-|?|ok"}, // sizes after the data
    };
    std::string missing;
    for (const auto& [tool, command, summary] : cases) {
        if (RunProgram({"sh", "-c", "command -v " + tool}).status != 0) {
            missing += " " + tool;
            continue;
        }
        TempDir dir;
        std::filesystem::create_directories(native(dir / "in" / deep.substr(0, deep.rfind('/'))));
        std::filesystem::create_directories(native(dir / "in" / longest.substr(0, longest.rfind('/'))));
        WriteFile(dir / "in" / "vorher.bin", Junk(20000));
        WriteFile(dir / "in" / "kurz.wav", wave);
        WriteFile(dir / "in" / deep, wave);
        WriteFile(dir / "in" / longest, wave);
        ASSERT_EQ(RunProgram({"sh", "-c", "cd '" + dir.path() + "/in' && " + command}).status, 0) << command;
        const Bytes archive = ReadFile(dir / "a.zip");
        const auto tag = std::search(archive.begin(), archive.end(), wave.begin(), wave.begin() + 4) - archive.begin();
        const cp::SourceReader source(dir / "a.zip");
        EXPECT_EQ(Summary(cp::memberBefore(source, tag, source.size())), summary) << command;
    }
    if (!missing.empty())
        GTEST_SKIP() << "not installed:" << missing;
}

TEST(ContainerMember, FileNamesMadeOfStoredNamesAreOnePlainNameOrNone)
{
    const std::string o = "\303\266", longStem(300, 'x');
    std::string umlauts = "x";
    for (int i = 0; i < 150; ++i)
        umlauts += o;
    const std::pair<std::string, std::string> cases[] = {
        {"Kl" + o + "nge/T" + o + "ne.wav", "T" + o + "ne.wav"},
        {"../../etc/passwd", "passwd"},
        {"/abs/x.wav", "x.wav"},
        {"C:\\Musik\\win.wav", "win.wav"},
        {"a/b//", "b"},
        {"..", ""},
        {"a/../", ""},
        {std::string("a\0b\n\x7f.wav", 9), "a_b__.wav"},
        {"\xe4rger.wav", "\xe4rger.wav"}, // Latin-1 stays as it is
        {longStem + ".wav", longStem.substr(0, 196) + ".wav"},
        {umlauts + ".wav", umlauts.substr(0, 195) + ".wav"}, // not inside a character
        {"." + longStem, "." + longStem.substr(0, 199)},
        {"a." + longStem, "a." + longStem.substr(0, 198)}, // no extension that long
    };
    for (const auto& [stored, name] : cases)
        EXPECT_EQ(cp::safeMemberName(stored), name) << stored;
}

} // namespace
