// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real chunkpicker-extract on archives the system's tar makes and on
// files built by hand, and checks every file it writes against the original.
#include "base/Version.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>

using namespace cptest;

namespace {

const std::vector<std::string> kGerman {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"};

class ExtractRun : public ::testing::Test {
protected:
    TempDir dir;
    std::string in = dir / "in", out = dir / "out";
    // The files a game's sound folder holds, by the names tar stores.
    std::map<std::string, Bytes> originals {
        {"door.wav", MakeWave(8000, 100)},
        {"sub/Tür ä.wav", MakeWave(11025, 30, 880)},
        {"\xe9t\xe9.wav", MakeWave(8000, 7)}, // Latin-1, as old archives store names
        {"clip.avi", Riff("AVI ", Chunk("LIST", Concat({Text("hdrl"), Chunk("avih", Bytes(56, 1))})))},
        {"readme.txt", Text("no tag in here")},
    };

    void SetUp() override
    {
        ::mkdir(in.c_str(), 0755);
        ::mkdir((in / "sub").c_str(), 0755);
        ::mkdir(out.c_str(), 0755);
        for (const auto& [name, bytes] : originals)
            WriteFile(in / name, bytes);
    }
    RunResult Extract(std::vector<std::string> args, const std::vector<std::string>& env = kGerman)
    {
        args.insert(args.begin(), CHUNKPICKER_EXTRACT);
        return RunProgram(args, env);
    }
    // A tar of the originals (in the order given), as GNU tar writes it.
    std::string Tar(const std::string& name, const std::vector<std::string>& members)
    {
        std::vector<std::string> argv {"tar", "-cf", dir / name, "-C", in};
        argv.insert(argv.end(), members.begin(), members.end());
        EXPECT_EQ(RunProgram(argv).status, 0);
        return dir / name;
    }
};

TEST_F(ExtractRun, OriginalsOfArchivesComeBackByteForByteUnderTheirOwnNames)
{
    const std::string first = Tar("a.tar", {"door.wav", "sub/Tür ä.wav", "\xe9t\xe9.wav", "readme.txt", "clip.avi"});
    const std::string second = Tar("b.tar", {"door.wav"});
    const RunResult r = Extract({"--originals", first, second, out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              first + ": 4 Einträge mit 2.592 Byte nach " + out
                  + " geschrieben, 4 gekürzt, 4 mit Namen aus den Daten, nicht erkannte Daten: 5,0%\n" + second
                  + ": 1 Einträge mit 1.644 Byte nach " + out
                  + " geschrieben, 1 gekürzt, 1 mit Namen aus den Daten, nicht erkannte Daten: 5,0%\n");
    const std::vector<std::string> names {"Tür ä.wav", "clip.avi", "door (2).wav", "door.wav", "\xe9t\xe9.wav"};
    EXPECT_EQ(ListFolder(out), names);
    EXPECT_EQ(ReadFile(out / "door.wav"), originals["door.wav"]);
    EXPECT_EQ(ReadFile(out / "door (2).wav"), originals["door.wav"]);
    EXPECT_EQ(ReadFile(out / "Tür ä.wav"), originals["sub/Tür ä.wav"]);
    EXPECT_EQ(ReadFile(out / "\xe9t\xe9.wav"), originals["\xe9t\xe9.wav"]);
    EXPECT_EQ(ReadFile(out / "clip.avi"), originals["clip.avi"]);

    // Again into the same folder: nothing replaced, names numbered on, and a manifest.
    struct stat before {};
    ::stat((out / "door.wav").c_str(), &before);
    const RunResult again = Extract({"--json", "--trim", "--names", "--types", second, out});
    ASSERT_EQ(again.status, 0) << again.err;
    struct stat after {};
    ::stat((out / "door.wav").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(ReadFile(out / "door (3).wav"), originals["door.wav"]);
    EXPECT_EQ(
        again.out,
        "[\n  {\"source\": \"" + second
            + "\", \"number\": 1, \"offset\": 512, \"length\": 9728, "
              "\"written_length\": 1644, \"name\": \"door (3).wav\", \"form\": \"WAVE\", \"verdict\": \"padded\", "
              "\"length_from\": \"member\", \"length_reason\": \"Länge laut Archivkopf\", \"name_from\": "
              "\"member\"}\n]\n");
}

TEST_F(ExtractRun, FiguresInTheUsersLocaleWithItsOwnGroupSizes)
{
    WriteFile(dir / "x.bin", Concat({Text("RIFF"), Junk(1'234'563)}));
    EXPECT_EQ(Extract({dir / "x.bin", out}, {"LC_ALL=C"}).out,
              dir / "x.bin" + ": 1 Einträge mit 1,234,567 Byte nach " + out
                  + " geschrieben, nicht erkannte Daten: 0.0%\n")
        << "grouped also where the locale names no separator";
    // Indian English groups by three, then by two: a locale of our own, made here.
    if (RunProgram({"localedef", "-i", "en_IN", "-f", "UTF-8", dir / "en_IN.UTF-8"}).status != 0)
        GTEST_SKIP() << "no locale sources to make en_IN of";
    const RunResult r = Extract({dir / "x.bin", out}, {"LOCPATH=" + dir.path(), "LC_ALL=en_IN.UTF-8"});
    EXPECT_EQ(r.out,
              dir / "x.bin" + ": 1 Einträge mit 12,34,567 Byte nach " + out
                  + " geschrieben, nicht erkannte Daten: 0.0%\n");
}

TEST_F(ExtractRun, WithoutOptionsTheEntriesAsTheBatchCutsThemAndWithThemTitlesNumbersAndForms)
{
    const Bytes titled = Riff("WAVE",
                              Concat({Chunk("fmt ", Fmt(1, 1, 8000, 8)), Chunk("data", Junk(100)),
                                      Chunk("LIST", Concat({Text("INFO"), Chunk("INAM", Text("AC/DC"))}))}));
    const Bytes webp = Riff("WEBP", Chunk("VP8L", Junk(10)));
    const Bytes text = Text("RIFF is a container, as the manual says");
    const Bytes source = Concat({Junk(30), titled, Bytes(50, 0), MakeWave(8000, 5), webp, text});
    WriteFile(dir / "x.bin", source);
    ASSERT_EQ(Extract({dir / "x.bin", out}).status, 0);
    const std::vector<std::string> plain {"Sound001 aus x.bin.wav", "Sound002 aus x.bin.wav", "Sound003 aus x.bin.wav",
                                          "Sound004 aus x.bin.wav"};
    ASSERT_EQ(ListFolder(out), plain);
    EXPECT_EQ(ReadFile(out / plain[0]), Concat({titled, Bytes(50, 0)}));
    EXPECT_EQ(ReadFile(out / plain[3]), text);

    RunProgram({"sh", "-c", "rm -f \"$0\"/*", out});
    const RunResult r = Extract({"--originals", "--json", "--", dir / "x.bin", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> originalNames {"AC_DC.wav", "Sound002 aus x.bin.wav", "Sound003 aus x.bin.webp",
                                                  "Sound004 aus x.bin.riff"};
    ASSERT_EQ(ListFolder(out), originalNames);
    EXPECT_EQ(ReadFile(out / "AC_DC.wav"), titled);
    EXPECT_EQ(ReadFile(out / originalNames[1]), MakeWave(8000, 5));
    EXPECT_EQ(ReadFile(out / originalNames[2]), webp);
    EXPECT_EQ(ReadFile(out / originalNames[3]), text);
    for (const char* verdict : {"\"verdict\": \"padded\"", "\"verdict\": \"whole\"", "\"verdict\": \"no_structure\", "})
        EXPECT_NE(r.out.find(verdict), std::string::npos) << verdict << " in " << r.out;
    EXPECT_NE(r.out.find("\"form\": null, \"verdict\": \"no_structure\""), std::string::npos) << r.out;

    const std::string again = dir / "again";
    ::mkdir(again.c_str(), 0755);
    const RunResult summary = Extract({"--types", "--names", "--trim", dir / "x.bin", again});
    EXPECT_EQ(ListFolder(again), originalNames) << "the three options each, as --originals";
    EXPECT_NE(summary.out.find(" geschrieben, 1 gekürzt, 1 mit Namen aus den Daten, "), std::string::npos)
        << "only the padded one is shorter, only the titled one named: " << summary.out;
}

TEST_F(ExtractRun, WrongCallsAndFailuresSaySoAndLeaveNothingPartial)
{
    const std::string tar = Tar("a.tar", {"door.wav", "clip.avi"});
    const std::string usage = "Syntax:  chunkpicker-extract  [--trim] [--names] [--types] [--originals] [--json]  "
                              "[--]  Quelldatei...  Zielverz\n";
    // A script ($0 the program, $1 the tar, $2 the folder), its status, and what stderr holds.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"\"$0\"", 2, usage},
        {"\"$0\" \"$1\"", 2, usage},
        {"\"$0\" --alles \"$1\" \"$2\"", 2, usage},
        {"\"$0\" \"$1\" \"$2/fehlt\"", 2, "chunkpicker-extract: Zielverzeichnis nicht gefunden: " + out + "/fehlt\n"},
        // A source missing and one a folder: the others are written all the same.
        {"\"$0\" \"$2/fehlt.pak\" \"$1\" \"$2\" \"$2\"", 1, "'" + out + "/fehlt.pak'"},
        {"cd \"$2\" && exec \"$0\" - \"$1\" \"$2\"", 1, "'-'"}, // a lone dash is a file's name
        {"ulimit -f 2 && exec \"$0\" --trim \"$1\" \"$1\" \"$2\"", 1, GermanSystemMessage(EFBIG)},
        {"\"$0\" --json \"$1\" \"$2\" >/dev/full", 1,
         "Fehler beim Schreiben der Ausgabe: " + GermanSystemMessage(ENOSPC)},
        {"\"$0\" --help >/dev/full", 1, ""},
    };
    for (const auto& [script, status, err] : cases) {
        const RunResult r = RunProgram({"sh", "-c", script, CHUNKPICKER_EXTRACT, tar, out}, kGerman);
        EXPECT_EQ(r.status, status) << script;
        EXPECT_NE(r.err.find(err), std::string::npos) << script << ": " << r.err;
        for (const std::string& name : ListFolder(out))
            EXPECT_EQ(name.rfind("Sound00", 0), 0u) << "nothing temporary: " << name;
        RunProgram({"sh", "-c", "rm -f \"$0\"/*", out});
    }
    // A folder that takes no more ends the run: the sources after it are not tried.
    const RunResult full = RunProgram(
        {"sh", "-c", "ulimit -f 2 && exec \"$0\" \"$1\" \"$1\" \"$2\"", CHUNKPICKER_EXTRACT, tar, out}, kGerman);
    EXPECT_EQ(std::count(full.err.begin(), full.err.end(), '\n'), 1) << full.err;
    // A shared sticky folder where another user's link holds a name the run wants: the name is taken, never
    // written through (the kernel's protected_symlinks would not follow it either).
    const std::string shared = dir / "shared", mine = dir / "mine";
    ::mkdir(shared.c_str(), 0755);
    ::chmod(shared.c_str(), 01777);
    WriteFile(mine, Text("the user's own file"));
    ASSERT_EQ(::symlink(mine.c_str(), (shared / "door.wav").c_str()), 0);
    if (::geteuid() == 0
        && std::system("id -u cp-stranger >/dev/null 2>&1 || useradd --system --no-create-home "
                       "--shell /usr/sbin/nologin cp-stranger")
            == 0) {
        const passwd* stranger = ::getpwnam("cp-stranger");
        ASSERT_TRUE(stranger);
        EXPECT_EQ(::lchown((shared / "door.wav").c_str(), stranger->pw_uid, stranger->pw_gid), 0);
    }
    EXPECT_EQ(Extract({"--originals", tar, shared}).status, 0);
    EXPECT_EQ(ReadFile(mine), Text("the user's own file"));
    EXPECT_EQ(ReadFile(shared / "door (2).wav"), originals["door.wav"]);

    const RunResult help = Extract({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--originals  alle drei"), std::string::npos);
    EXPECT_EQ(Extract({"--version"}).out, std::string("chunkpicker-extract ") + cp::kVersion + "\n");
}

} // namespace
