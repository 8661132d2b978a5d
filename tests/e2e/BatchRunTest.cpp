// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real chunkpicker binary the way a user does, with no usable display.
#include "base/Version.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <QString>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <tuple>

using namespace cptest;

namespace {

const std::vector<std::string> kNoDisplay {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "LC_ALL=de_DE.UTF-8",
                                           "LANG=de_DE.UTF-8"};
// The system's error texts as the program prints them under kNoDisplay: German where that locale is installed.
const bool kGermanErrorTexts = std::setlocale(LC_MESSAGES, "de_DE.UTF-8") && std::setlocale(LC_CTYPE, "de_DE.UTF-8");
std::vector<std::string> With(std::vector<std::string> env, const std::string& setting) // the later setting wins
{
    env.push_back(setting);
    return env;
}
const std::string kInvalid
    = "Ungültige Kommandozeilenparameter!\n\nSyntax:  Chunkpicker.exe  [Quelldatei  [Zielverz]]\n";

// The program headless with stderr on a pseudo-terminal of its own; what the
// terminal shows is read as it comes.
struct OnTerminal {
    explicit OnTerminal(const std::vector<std::string>& args) : program(Argv(args), kNoDisplay) {}
    ~OnTerminal() { ::close(master); }
    std::vector<std::string> Argv(const std::vector<std::string>& args)
    {
        ::grantpt(master);
        ::unlockpt(master);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        const winsize size {24, 45, 0, 0}; // narrower than a whole line
        ::ioctl(master, TIOCSWINSZ, &size);
        std::vector<std::string> argv {"sh", "-c", "exec \"$@\" 2>\"$0\"", ::ptsname(master)};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    const std::string& Shown()
    {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, std::size_t(n));
        return shown;
    }
    int Wait()
    {
        const int status = program.Wait().status;
        Shown();
        return status;
    }
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    Program program;
    std::string shown;
};

class BatchRun : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir / "Ziel \xfc mit Leerzeichen";      // Latin-1, as old folders are named
    std::string sourcePath = dir / "Spiel \xff\xfe Töne.ffl"; // not valid UTF-8, as old archives are named
    Bytes source = Concat({Junk(1000), MakeWave(8000, 200), Junk(50, 2), MakeWave(22050, 100, 660), Junk(7, 3)});

    void SetUp() override
    {
        ::mkdir(out.c_str(), 0755);
        WriteFile(sourcePath, source);
    }
    RunResult Chunkpicker(std::vector<std::string> args, const std::vector<std::string>& env = kNoDisplay)
    {
        args.insert(args.begin(), CHUNKPICKER_BIN);
        return RunProgram(args, env);
    }
    void Empty(const std::string& folder) { RunProgram({"sh", "-c", "rm -rf \"$0\"/*", folder}); }
};

TEST_F(BatchRun, WritesEveryEntryByteForByteHeadlessAndOffscreen)
{
    const std::size_t second = 1000 + MakeWave(8000, 200).size() + 50;
    ASSERT_EQ(source.size(), 8755u); // 7,755 bytes from the first tag on; 1,001 of 8,755 unknown
    // What the desktop's refresh tools say is not the run's to show.
    ::mkdir((dir / "bin").c_str(), 0755);
    for (const char* tool : {"update-mime-database", "update-desktop-database"}) {
        WriteFile(dir / "bin" / tool, Text("#!/bin/sh\necho Lärm\necho Lärm >&2\n"));
        ::chmod((dir / "bin" / tool).c_str(), 0755);
    }
    const std::string path = "PATH=" + dir / "bin:" + std::getenv("PATH");
    for (const auto& env :
         {kNoDisplay, With(kNoDisplay, "QT_QPA_PLATFORM=offscreen"), With(kNoDisplay, "DISPLAY=:7391"),
          With(kNoDisplay, "QT_QPA_PLATFORM=wayland"), // these two do not answer
          // A target like a FAT stick through FUSE: no unnamed files, no hard links, no rename that never
          // replaces, no copy by the kernel, short writes, no flush.
          With(With(kNoDisplay, "LD_PRELOAD=" FAT_LIKE), "ASAN_OPTIONS=verify_asan_link_order=0")}) {
        // Unquoted, as a shell splits it: blanks are resolved by prefixes.
        const RunResult r
            = Chunkpicker({dir / "Spiel", "\xff\xfe", "Töne.ffl", dir / "Ziel", "\xfc", "mit", "Leerzeichen", "x"},
                          With(With(env, "XDG_DATA_HOME=" + dir / "xdg"), path));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("Lärm"), std::string::npos) << r.err;
        const auto names = ListFolder(out);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[0], "Sound001 aus Spiel \xff\xfe Töne.ffl.wav");
        EXPECT_EQ(ReadFile(out + "/" + names[0]),
                  Bytes(source.begin() + 1000, source.begin() + std::ptrdiff_t(second)));
        EXPECT_EQ(ReadFile(out + "/" + names[1]), Bytes(source.begin() + std::ptrdiff_t(second), source.end()));
        EXPECT_EQ(r.out, "2 Einträge mit 7.755 Byte nach " + out + " geschrieben, nicht erkannte Daten: 11,4%\n");
        Empty(out);
    }
    // Every start registered the program, by the path it runs from.
    const Bytes entry = ReadFile(dir / "xdg/applications/example.oxbrook.Chunkpicker.desktop");
    EXPECT_NE(std::string(entry.begin(), entry.end()).find("\nTryExec=" CHUNKPICKER_BIN "\n"), std::string::npos);
}

TEST_F(BatchRun, FailuresAndMissingDisplaysSaySoOnStderr)
{
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    const auto offscreen = With(kNoDisplay, "QT_QPA_PLATFORM=offscreen"), lost = With(kNoDisplay, "DISPLAY=:7391");
    // A script ($0 the program, $1 the source, $2 the folder, $3 the target), its environment, status and complaint.
    const std::tuple<std::string, std::vector<std::string>, int, std::string> cases[] = {
        {"\"$0\" \"$1\" \"$2/fehlt\"", kNoDisplay, 2, "Zielverzeichnis nicht gefunden: " + dir / "fehlt\n"},
        {"\"$0\" \"$2/fehlt.ffl\" \"$3\"", offscreen, 2, "Quelldatei nicht gefunden: " + dir / "fehlt.ffl " + out},
        {"\"$0\" '\"\"'", lost, 2, "Quelldatei nicht gefunden: \n"},
        {"\"$0\" \"$1\"", lost, 3, "Chunk Picker: Die Anzeige ist nicht erreichbar (DISPLAY=:7391).\n"},
        {"\"$0\" \"$1\"", kNoDisplay, 3, "Für den Stapelbetrieb Quelldatei und Zielverzeichnis angeben."},
        {"\"$0\" \"$2/pipe\" \"$3\"", kNoDisplay, 1, "'" + dir / "pipe'"},
        // A source named so long that its entries' names are too long for the folder.
        {"cp \"$1\" \"$2/" + std::string(245, 'a') + "\" && exec \"$0\" \"$2/" + std::string(245, 'a') + "\" \"$3\"",
         kNoDisplay, 1, "Fehler beim Schreiben von '" + out + "/Sound001 aus aaa"},
        {"ulimit -f 4 && exec \"$0\" \"$1\" \"$3\"", kNoDisplay, 1, GermanSystemMessage(EFBIG)}, // not killed
        // A file system that renames only onto a free name: no entry, and no empty file in its place.
        {"LD_PRELOAD=" FAT_LIKE
         " FAT_LIKE_RENAME=plain ASAN_OPTIONS=verify_asan_link_order=0 exec \"$0\" \"$1\" \"$3\"",
         kNoDisplay, 1, GermanSystemMessage(EPERM)},
        {"\"$0\" \"$1\" \"$3\" >/dev/full", kNoDisplay, 1, GermanSystemMessage(ENOSPC)}, // the entries stay
        // The entry is not known to be on disk: no success, though it is written.
        {"head -c 4000 \"$1\" >\"$2/eins\" && LD_PRELOAD=" FAILING_SYNC
         " ASAN_OPTIONS=verify_asan_link_order=0 \"$0\" \"$2/eins\" \"$3\"",
         kNoDisplay, 1, GermanSystemMessage(EIO)},
    };
    for (const auto& [script, env, status, err] : cases) {
        const RunResult r = RunProgram({"sh", "-c", script, CHUNKPICKER_BIN, sourcePath, dir.path(), out}, env);
        EXPECT_EQ(r.status, status) << script;
        // An invalid command line: the exact message, then its cause.
        if (status == 2)
            EXPECT_EQ(r.err.rfind(kInvalid + err, 0), 0u) << r.err;
        else
            EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
    }
    EXPECT_EQ(ListFolder(out).size(), 3u) << "the entries of the last two runs stay";
}

TEST_F(BatchRun, SignalsStopItBetweenPiecesAndKillLeavesNoPartialEntry)
{
    // The last entry is a sparse 2 GiB, so the run is surely still copying it.
    const int fd = ::open(sourcePath.c_str(), O_WRONLY | O_APPEND);
    ASSERT_EQ(::write(fd, "RIFF", 4), 4);
    ASSERT_EQ(::ftruncate(fd, std::int64_t(2) << 30), 0);
    ::close(fd);
    // With a display the run goes through the window, and ends the same way.
    const auto offscreen = With(kNoDisplay, "QT_QPA_PLATFORM=offscreen");
    for (const auto& [signal, env] :
         {std::pair {SIGHUP, kNoDisplay}, {SIGINT, kNoDisplay}, {SIGKILL, kNoDisplay}, {SIGTERM, offscreen}}) {
        Program run({CHUNKPICKER_BIN, sourcePath, out}, env);
        ASSERT_TRUE(WaitUntil([&] { return ListFolder(out).size() >= 2; }));
        run.Signal(signal);
        const RunResult r = run.Wait();
        EXPECT_EQ(r.status, signal == SIGKILL ? 128 + SIGKILL : 130) << r.err;
        if (signal != SIGKILL) {
            EXPECT_EQ(r.err, "Chunk Picker: abgebrochen; bis dahin 2 vollständige Einträge in " + out + "\n")
                << "signal " << signal;
        }
        EXPECT_EQ(ListFolder(out).size(), 2u) << "only the complete entries, nothing temporary";
        Empty(out);
    }
}

// A window killed outright (out of memory, say) leaves its entry files; the next window's start removes them.
TEST_F(BatchRun, AKilledWindowsEntryFilesGoAtTheNextStartOfAWindow)
{
    const std::string temp = dir / "tmp", own = temp / ("chunkpicker-" + std::to_string(::getuid()));
    ::mkdir(temp.c_str(), 0700);
    ::mkdir(own.c_str(), 0700); // as the first window makes it
    const auto window = With(With(kNoDisplay, "QT_QPA_PLATFORM=offscreen"), "TMPDIR=" + temp);
    const auto entries = [&] {
        const std::vector<std::string> names = ListFolder(own);
        return std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.starts_with("Sound"); });
    };
    Program killed({CHUNKPICKER_BIN, sourcePath}, window);
    ASSERT_TRUE(WaitUntil([&] { return entries() == 2; }));
    killed.Signal(SIGKILL);
    killed.Wait();
    EXPECT_EQ(entries(), 2);
    Program next({CHUNKPICKER_BIN}, window);
    EXPECT_TRUE(WaitUntil([&] { return entries() == 0; }));
    next.Signal(SIGTERM);
    next.Wait();
}

TEST_F(BatchRun, AProgressLineOnATerminalOnlyFromTheFirstSecondAndClearedBeforeTheMessage)
{
    OnTerminal quick({CHUNKPICKER_BIN, sourcePath, out});
    EXPECT_EQ(quick.Wait(), 0);
    EXPECT_EQ(quick.Shown(), "") << "a run under a second shows nothing";
    // 64 GiB of holes and no tag: long to search, nothing to write.
    const std::string holes = dir / "L\366cher.bin";
    WriteFile(holes, {});
    ASSERT_EQ(::truncate(holes.c_str(), std::int64_t(64) << 30), 0);
    Program toFile({CHUNKPICKER_BIN, holes, out}, kNoDisplay);
    const auto start = std::chrono::steady_clock::now();
    OnTerminal shown({CHUNKPICKER_BIN, holes, out});
    EXPECT_TRUE(WaitUntil([&] { return shown.Shown().find(" Einträge · noch ") != std::string::npos; })) << shown.shown;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    shown.program.Signal(SIGINT);
    toFile.Signal(SIGINT);
    EXPECT_EQ(shown.Wait(), 130);
    const RunResult quiet = toFile.Wait();
    EXPECT_EQ(quiet.err.rfind("Chunk Picker: ", 0), 0u) << "not a byte of it in a file: " << quiet.err;

    const std::size_t message = shown.shown.find("Chunk Picker: ");
    ASSERT_NE(message, std::string::npos) << shown.shown;
    const std::string lines = shown.shown.substr(0, message);
    EXPECT_EQ(lines.substr(lines.rfind('\r', lines.size() - 2)).find_first_not_of(" \r"), std::string::npos)
        << "cleared before the message: " << lines;
    for (std::size_t at = 0, end; (end = lines.find('\r', at + 1)) != std::string::npos; at = end)
        EXPECT_LE(QString::fromStdString(lines.substr(at + 1, end - at - 1)).size(), 44) << "a line that wraps";
    const auto redraws = std::count(lines.begin(), lines.end(), '\r') - 2;
    EXPECT_GE(redraws, 1);
    EXPECT_LE(redraws, 10 * seconds) << "at most ten a second";
}

// The full-disk and read-only cases need a private mount namespace.
TEST_F(BatchRun, FullOrReadOnlyTargetFailsWithoutHalfWrittenFiles)
{
    if (RunProgram({"unshare", "-rm", "true"}).status != 0)
        GTEST_SKIP() << "no user and mount namespaces here";
    // 8 KiB of tmpfs: room for the first 5 KiB entry, not for the second.
    source = Concat({Text("RIFF"), Junk(5000), Text("RIFF"), Junk(20000, 2)});
    WriteFile(sourcePath, source);
    const std::string copy = dir / "copy";
    ::mkdir(copy.c_str(), 0755);
    for (const bool full : {true, false}) {
        const std::string script
            = std::string(full ? "mount -t tmpfs -o size=8k tmpfs \"$2\"" : "mount --bind -o ro \"$2\" \"$2\"")
            + " && \"$0\" \"$1\" \"$2\"; status=$?; cp -a \"$2\"/. \"$3\"/; exit $status";
        const RunResult r
            = RunProgram({"unshare", "-rm", "sh", "-c", script, CHUNKPICKER_BIN, sourcePath, out, copy}, kNoDisplay);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(GermanSystemMessage(full ? ENOSPC : EROFS)), std::string::npos) << r.err;
        // Entries are kept from the first on without a gap; the rest is named.
        EXPECT_NE(r.err.find(full ? "; nicht geschrieben: Eintrag 2 (1 von 2)\n" : "Einträge 1 bis 2 (2 von 2)\n"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(ListFolder(copy).size(), full ? 1u : 0u);
        if (full) {
            EXPECT_TRUE(ReadFile(copy + "/" + ListFolder(copy).at(0)) == Bytes(source.begin(), source.begin() + 5004))
                << "the complete first entry, and nothing of the second";
        }
        Empty(copy);
    }
    // Where the desktop's folders cannot be written, the association is left out and nothing else changes.
    const std::string xdg = dir / "xdg";
    ::mkdir(xdg.c_str(), 0755);
    const RunResult r
        = RunProgram({"unshare", "-rm", "sh", "-c", "mount --bind -o ro \"$2\" \"$2\" && exec \"$0\" \"$1\" \"$3\"",
                      CHUNKPICKER_BIN, sourcePath, xdg, out},
                     With(With(kNoDisplay, "XDG_DATA_HOME=" + xdg), "XDG_CONFIG_HOME=" + xdg));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ListFolder(out).size(), 2u);
    EXPECT_TRUE(ListFolder(xdg).empty()) << "nothing registered in a batch run";
    // A default the desktop's list cannot take is left out, and the batch run says so.
    Empty(out);
    const std::string config = dir / "config";
    ::mkdir(config.c_str(), 0755);
    ASSERT_EQ(::symlink("../weg/mimeapps.list", (config + "/mimeapps.list").c_str()), 0);
    const RunResult skipped = RunProgram({CHUNKPICKER_BIN, sourcePath, out},
                                         With(With(kNoDisplay, "XDG_DATA_HOME=" + xdg), "XDG_CONFIG_HOME=" + config));
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    EXPECT_EQ(skipped.err,
              "Chunk Picker: „" + config
                  + "/mimeapps.list“ verweist auf keine Datei; dort wurde nichts eingetragen.\n");
}

TEST(Info, OneLinePerEntryAsTextAndAsJsonAndNoFileWritten)
{
    TempDir dir;
    const Bytes wave = MakeWave(8000, 50); // its header claims its own size
    const Bytes titled = Text(std::string("RIFF\x1c\0\0\0WAVELIST\x10\0\0\0INFOINAM\x04\0\0\0a\"b\\", 36));
    WriteFile(dir / "a.ffl", Concat({Junk(100), wave, Junk(7), Text("RIFF"), Junk(3), titled}));
    const std::string waveSize = std::to_string(wave.size());
    RunResult r = RunProgram({CHUNKPICKER_INFO, dir / "a.ffl"});
    EXPECT_EQ(r.out,
              "number\tposition\tlength\tform\tformat\tchannels\trate\tbits\theader_size\tdifference\ttitle\tduration_"
              "ms\tverdict\n"
              "1\t101\t"
                  + std::to_string(wave.size() + 7) + "\tWAVE\tPCM\t1\t8000\t16\t" + waveSize
                  + "\t7\t\t50\tpadded\n"
                    "2\t"
                  + std::to_string(101 + wave.size() + 7)
                  + "\t7\t\t\t\t\t\t\t\t\t\tno_structure\n"
                    "3\t"
                  + std::to_string(108 + wave.size() + 7) + "\t36\tWAVE\t\t\t\t\t36\t0\ta\"b\\\t\twhole\n");
    r = RunProgram({CHUNKPICKER_INFO, "--json", dir / "a.ffl"});
    EXPECT_EQ(r.out, R"([
  {"number": 1, "position": 101, "length": 851, "form": "WAVE", "format": "PCM", "channels": 1, "rate": 8000, "bits": 16, "header_size": 844, "difference": 7, "title": null, "duration_ms": 50, "verdict": "padded"},
  {"number": 2, "position": 952, "length": 7, "form": null, "format": null, "channels": null, "rate": null, "bits": null, "header_size": null, "difference": null, "title": null, "duration_ms": null, "verdict": "no_structure"},
  {"number": 3, "position": 959, "length": 36, "form": "WAVE", "format": null, "channels": null, "rate": null, "bits": null, "header_size": 36, "difference": 0, "title": "a\"b\\", "duration_ms": null, "verdict": "whole"}
]
)") << "null where a value is unknown: no sound, no playing time";

    // $0 the program, in the folder that holds a.ffl and a copy named -a.ffl.
    ASSERT_EQ(::link((dir / "a.ffl").c_str(), (dir / "-a.ffl").c_str()), 0);
    // The arguments, the status, the start of the output or of the complaint on a wrong call (2).
    const std::tuple<std::string, int, std::string> calls[] = {
        {"--help", 0, "Syntax:  chunkpicker-info  [--json]  [--]  Quelldatei\n"},
        {"a.ffl --version", 0, std::string("chunkpicker-info ") + cp::kVersion + "\n"},
        {"-- -a.ffl", 0, "number\t"},
        {"--json -- --help", 1, ""}, // a file of that name, which is not there
        {"-a.ffl", 2, "Syntax:  chunkpicker-info"},
        {"-j", 2, "Syntax:  chunkpicker-info"}, // an option it does not know, however short
        {"-", 1, ""},                           // a file named so
        {"weg.ffl", 1, ""},
        {"", 2, "Syntax:  chunkpicker-info"},
        {"a.ffl a.ffl", 2, "Syntax:  chunkpicker-info"},
    };
    for (const auto& [arguments, status, shown] : calls) {
        r = RunProgram({"sh", "-c", "cd \"${0%/*}\" && exec \"$1\" " + arguments, dir / "a.ffl", CHUNKPICKER_INFO});
        EXPECT_EQ(r.status, status) << arguments << ": " << r.err;
        EXPECT_EQ((status == 2 ? r.err : r.out).substr(0, shown.size()), shown) << arguments;
    }
    r = RunProgram({"sh", "-c", "exec \"$0\" \"$1\" >/dev/full", CHUNKPICKER_INFO, dir / "a.ffl"});
    EXPECT_EQ(r.status, 1) << "output lost";
    EXPECT_EQ(r.err.substr(0, 53), "chunkpicker-info: Fehler beim Schreiben der Ausgabe: ") << r.err;
    EXPECT_NE(RunProgram({CHUNKPICKER_INFO, "--help"}).out.find("\n  duration_ms  "), std::string::npos)
        << "every column explained";
    EXPECT_EQ(ListFolder(dir.path()), (std::vector<std::string> {"-a.ffl", "a.ffl"}));
    // A program started here gets its three descriptors and none of the test's.
    EXPECT_EQ(RunProgram({"ls", "/proc/self/fd"}).out, "0\n1\n2\n3\n") << "3: the folder ls reads";

    // An MPEG wave whose frames end in zeros: the decoder's complaints about them are not ours to print.
    const Bytes mpegFormat
        = Concat({Fmt(0x55, 2, 44100, 0), Le(12, 2), Le(1, 2), Le(2, 4), Le(417, 2), Le(1, 2), Le(1393, 2)});
    const Bytes frame = Concat({Bytes {0xff, 0xfb, 0x90, 0x64}, Bytes(3413)});
    WriteFile(dir / "mp3.ffl", Riff("WAVE", Concat({Chunk("fmt ", mpegFormat), Chunk("data", frame)})));
    r = RunProgram({CHUNKPICKER_INFO, dir / "mp3.ffl"});
    EXPECT_NE(r.out.find("\tMPEG\t2\t44100\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

} // namespace
