// Runs the real chunkpicker binary the way a user does, with no display.
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace cptest;

namespace {

const std::vector<std::string> kNoDisplay{"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "LC_ALL=de_DE.UTF-8",
                                          "LANG=de_DE.UTF-8"};

class BatchRun : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir / "Ziel mit Leerzeichen";
    Bytes source;
    std::string sourcePath = dir / "Spiel Töne.ffl";

    void SetUp() override
    {
        ::mkdir(out.c_str(), 0755);
        source = Concat({Junk(1000), MakeWave(8000, 200), Junk(50, 2), MakeWave(22050, 100, 660), Junk(7, 3)});
        WriteFile(sourcePath, source);
    }

    RunResult Chunkpicker(const std::vector<std::string>& args, std::vector<std::string> env = kNoDisplay)
    {
        std::vector<std::string> argv{CHUNKPICKER_BIN};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(argv, env);
    }
};

TEST_F(BatchRun, WritesEveryEntryByteForByteAndSummarises)
{
    // Unquoted, as a shell splits it: blanks are resolved by prefixes.
    const RunResult r = Chunkpicker({dir / "Spiel", "Töne.ffl", dir / "Ziel", "mit", "Leerzeichen", "Rest"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto names = ListFolder(out);
    ASSERT_EQ(names, (std::vector<std::string>{"Sound001 aus Spiel Töne.ffl.wav", "Sound002 aus Spiel Töne.ffl.wav"}));
    const std::size_t second = 1000 + MakeWave(8000, 200).size() + 50;
    EXPECT_EQ(ReadFile(out + "/" + names[0]), Bytes(source.begin() + 1000, source.begin() + std::ptrdiff_t(second)));
    EXPECT_EQ(ReadFile(out + "/" + names[1]), Bytes(source.begin() + std::ptrdiff_t(second), source.end()));
    const std::string written = std::to_string(source.size() - 1000);
    char share[16];
    std::snprintf(share, sizeof share, "%.1f%%", 100.0 * 1001 / double(source.size()));
    std::replace(share, share + std::strlen(share), '.', ',');
    EXPECT_EQ(r.out, "2 Einträge mit " + written.substr(0, written.size() - 3) + "." + written.substr(written.size() - 3)
                         + " Byte nach " + out + " geschrieben, nicht erkannte Daten: " + share + "\n");
}

TEST_F(BatchRun, InvalidCommandLineSaysSoAndCreatesNothing)
{
    const std::string expected = "Ungültige Kommandozeilenparameter!\n\nSyntax:  Chunkpicker.exe  [Quelldatei  "
                                 "[Zielverz]]\n";
    for (const auto& args : std::vector<std::vector<std::string>>{{sourcePath, dir / "fehlt"},
                                                                 {dir / "fehlt.ffl", out},
                                                                 {"\"\""}}) {
        const RunResult r = Chunkpicker(args);
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.err, expected);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(ListFolder(out).empty());
    EXPECT_EQ(ListFolder(dir.path()).size(), 2u);
}

TEST_F(BatchRun, UnreadableSourceNamesTheFileAndTheError)
{
    // A pipe passes the file test but has no length to cut against.
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    RunResult r = Chunkpicker({pipe, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'" + pipe + "'"), std::string::npos) << r.err;

    // A file the user may not read: run as nobody.
    if (RunProgram({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "true"}).status != 0)
        GTEST_SKIP() << "setpriv cannot drop to another user here";
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(out.c_str(), 0777);
    ::chmod(sourcePath.c_str(), 0600);
    r = RunProgram({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", CHUNKPICKER_BIN, sourcePath, out},
                   kNoDisplay);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'" + sourcePath + "'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::strerror(EACCES)), std::string::npos) << r.err;
    EXPECT_TRUE(ListFolder(out).empty());
}

TEST_F(BatchRun, WithoutTargetAndWithoutDisplayItRefusesPlainly)
{
    const RunResult r = Chunkpicker({sourcePath});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("Zielverzeichnis"), std::string::npos) << r.err;
}

// The full-disk and read-only cases need a private mount namespace.
class BatchRunMounted : public BatchRun {
protected:
    void SetUp() override
    {
        BatchRun::SetUp();
        if (RunProgram({"unshare", "-rm", "true"}).status != 0)
            GTEST_SKIP() << "no user and mount namespaces here";
    }
    // Mounts `mount` on the target folder, runs the batch inside, and copies
    // what it wrote out to `copy` before the namespace (and its mount) ends.
    RunResult InNamespace(const std::string& mount, const std::string& copy)
    {
        const std::string script = mount + " && \"$0\" \"$1\" \"$2\"; status=$?; cp -a \"$2\"/. \"$3\"/; exit $status";
        ::mkdir(copy.c_str(), 0755);
        return RunProgram({"unshare", "-rm", "sh", "-c", script, CHUNKPICKER_BIN, sourcePath, out, copy}, kNoDisplay);
    }
};

TEST_F(BatchRunMounted, FullDiskFailsWithoutHalfWrittenFiles)
{
    // 8 KiB of tmpfs: room for the first 5 KiB entry, not for the second.
    source = Concat({Text("RIFF"), Junk(5000), Text("RIFF"), Junk(20000, 2)});
    WriteFile(sourcePath, source);
    const std::string copy = dir / "copy";
    const RunResult r = InNamespace("mount -t tmpfs -o size=8k tmpfs \"$2\"", copy);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Sound002 aus Spiel Töne.ffl.wav"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::strerror(ENOSPC)), std::string::npos) << r.err;
    ASSERT_EQ(ListFolder(copy), std::vector<std::string>{"Sound001 aus Spiel Töne.ffl.wav"});
    EXPECT_EQ(ReadFile(copy + "/Sound001 aus Spiel Töne.ffl.wav"), Bytes(source.begin(), source.begin() + 5004));
}

TEST_F(BatchRunMounted, ReadOnlyTargetFailsAtTheFirstEntry)
{
    const std::string copy = dir / "copy";
    const RunResult r = InNamespace("mount --bind -o ro \"$2\" \"$2\"", copy);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(std::strerror(EROFS)), std::string::npos) << r.err;
    EXPECT_TRUE(ListFolder(copy).empty());
}

TEST_F(BatchRun, OneGibibyteEntryIsCopiedWithoutHoldingItInMemory)
{
    const std::int64_t size = std::int64_t(1) << 30;
    const int fd = ::open(sourcePath.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ASSERT_EQ(::pwrite(fd, "RIFF", 4, 100), 4);
    ASSERT_EQ(::pwrite(fd, "end", 3, size - 3), 3);
    ::close(fd);

    const RunResult r = Chunkpicker({sourcePath, out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string entry = out + "/Sound001 aus Spiel Töne.ffl.wav";
    struct stat st {};
    ASSERT_EQ(::stat(entry.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, size - 100);
#ifndef CP_SANITIZED // the sanitizers' own shadow memory would dominate the figure
    EXPECT_LT(r.maxRssKiB, 64 * 1024) << "peak resident memory in KiB";
#endif
    ::unlink(entry.c_str());
}

} // namespace
