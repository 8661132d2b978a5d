// SPDX-License-Identifier: GPL-3.0-or-later
// What only POSIX systems do or let a test do: file-size limits, locks of
// open file descriptions, processes forked and killed, private mounts.
#include "ScanFixture.h"
#include "saving/CopyQueue.h"
#include "files/PrivateFolder.h"
#include "files/RunJournal.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <tuple>

using namespace cptest;

namespace {

// Holds the lock a writer holds on its temporary, as a run in another pid namespace would.
int HoldLikeAWriter(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    EXPECT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0) << path;
    return fd;
}

TEST_F(ScanTest, WriteFailurePartwayKeepsTheEntriesBeforeItAndNothingElse)
{
    // Where files cannot be unnamed, temporary names are used. One that a
    // writer holds stays, whatever pid its name carries; one nobody holds goes.
    const std::string held = ".chunkpicker-999999999-1.tmp";
    WriteFile(target + "/" + held, Text("a run in another pid namespace"));
    const int holder = HoldLikeAWriter(target + "/" + held);
    WriteFile(target + "/.chunkpicker-" + std::to_string(::getpid()) + "-7.tmp", Text("left by a killed run"));
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    // Entries of 1,000 bytes and 3 MiB, in both orders; the file-size limit
    // stops the larger, late enough for the other writer to finish the smaller. What follows a failed entry is dropped even when
    // complete, so that the entries kept are 1 to N without a gap.
    for (const bool smallFirst : {true, false}) {
        const Bytes small = Concat({Text("RIFF"), Junk(996)}), large = Concat({Text("RIFF"), Junk((3 << 20) - 4, 2)});
        const std::string path = Source(smallFirst ? Concat({small, large}) : Concat({large, small}));
        for (const bool unnamed : {true, false}) {
            geometry.unnamedFiles = unnamed;
            const rlimit limit {2 << 20, old.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const std::int64_t failing = folder.lastNumber + (smallFirst ? 2 : 1);
            const auto failure = ScanFailure([&] { Scan(path); });
            ::setrlimit(RLIMIT_FSIZE, &old);
            EXPECT_EQ(failure.value().systemError(), EFBIG);
            EXPECT_EQ(failure.value().path(), cp::entryFileName(target, failing, path)) << "named as it would be";
            EXPECT_EQ(result.entryCount, 2) << "the hits are counted all the same";
            EXPECT_EQ(result.entryFiles.ownedCount(), smallFirst ? 1 : 0) << "small first: " << smallFirst;
            EXPECT_EQ(ListFolder(target).size(), smallFirst ? 2u : 1u) << "the held temporary and entry 1 if first";
            result.release(&recorder); // a failed scan still cleans up
            EXPECT_EQ(ListFolder(target), std::vector<std::string> {held});
        }
    }
    std::signal(SIGXFSZ, oldHandler);
    ::close(holder);
    cp::removeStaleTemporaries(target);
    EXPECT_TRUE(ListFolder(target).empty()) << "let go, the temporary is stale";
}

class RecordTest : public ScanTest {
protected:
    // A window killed outright (out of memory, say) after writing entries 1 and 2; its record's path.
    std::string KilledWindow()
    {
        const std::string path = Source(Text("RIFFaRIFFb"));
        const pid_t child = ::fork();
        if (child < 0)
            throw std::runtime_error("fork failed"); // never a wait on -1
        if (child == 0) {
            cp::RunJournal journal(target);
            folder.journal = &journal;
            Scan(path);
            ::kill(::getpid(), SIGKILL);
        }
        ::waitpid(child, nullptr, 0);
        return target / (".chunkpicker-window-" + std::to_string(child) + "-0.list");
    }
};

TEST_F(RecordTest, TheEntryFilesOfAKilledWindowGoAtTheNextStartThoseOfALiveOneStay)
{
    KilledWindow();
    std::stop_source closing;
    closing.request_stop();
    cp::removeEntryFilesOfEndedRuns(target, closing.get_token());
    ASSERT_EQ(ListFolder(target).size(), 3u)
        << "two entry files and the killed window's record, kept by a stopped sweep";
    WriteFile(target + "/Sound002 aus sound.ffl.wav", Text("since replaced by the user"));
    // A live window of the same pid in another pid namespace holds the first record name.
    const std::string twin = ".chunkpicker-window-" + std::to_string(::getpid()) + "-0.list";
    WriteFile(target + "/" + twin, {});
    const int holder = HoldLikeAWriter(target + "/" + twin);
    cp::RunJournal live(target);
    folder.journal = &live;
    Scan(dir / "sound.ffl"); // a window still running: Sound003 and Sound004
    cp::removeEntryFilesOfEndedRuns(target);
    EXPECT_EQ(ListFolder(target),
              (std::vector<std::string> {twin, ".chunkpicker-window-" + std::to_string(::getpid()) + "-1.list",
                                         "Sound002 aus sound.ffl.wav", "Sound003 aus sound.ffl.wav",
                                         "Sound004 aus sound.ffl.wav"}))
        << "both live records (the second under the next name), the replaced file and the live entries";
    ::close(holder);
    folder.journal = nullptr;
}

// cp-stranger, made when missing: a real second user; none (uid 0) unless this runs as root.
passwd Stranger()
{
    const char* make = "id -u cp-stranger >/dev/null 2>&1 || useradd --system --no-create-home --shell "
                       "/usr/sbin/nologin cp-stranger";
    if (::geteuid() != 0 || std::system(make) != 0 || !::getpwnam("cp-stranger"))
        return passwd {};
    return *::getpwnam("cp-stranger");
}

// Runs body in a child; its exit status.
int InChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1; // never a wait on -1, which would take any child's status
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs act in a child acting as user; its exit status, 99 when it could not become that user.
int AsUser(const passwd& user, const std::function<int()>& act)
{
    return InChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(user.pw_gid, user.pw_gid, user.pw_gid) != 0
            || ::setresuid(user.pw_uid, user.pw_uid, user.pw_uid) != 0)
            return 99;
        return act();
    });
}

TEST_F(RecordTest, ARecordThatIsNotQuiteOursRemovesNothingAndNoFileOfAnotherUser)
{
    const passwd stranger = Stranger();
    const std::string first = "Sound001 aus sound.ffl.wav", second = "Sound002 aus sound.ffl.wav";
    const struct {
        const char* what;
        bool needsStranger;
        std::function<void(const std::string& record)> change;
        std::vector<std::string> left;
    } rows[] = {
        {"as written", false, [](const std::string&) {}, {}},
        {"mode 0666", false, [](const std::string& record) { ::chmod(record.c_str(), 0666); }, {first, second}},
        {"a second link",
         false,
         [&](const std::string& record) { EXPECT_EQ(::link(record.c_str(), (target / "b").c_str()), 0); },
         {first, second}},
        // Bounded work: a sparse 1 TiB record would take days of reading.
        {"1 TiB, sparse",
         false,
         [](const std::string& record) { EXPECT_EQ(::truncate(record.c_str(), off_t(1) << 40), 0); },
         {first, second}},
        {"planted by another user",
         true,
         [&](const std::string& record) {
             const Bytes bytes = ReadFile(record);
             ::unlink(record.c_str());
             ::chmod(target.c_str(), 01777);
             const int folderFd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY);
             EXPECT_EQ(AsUser(stranger,
                              [&] {
                                  const int fd = ::openat(folderFd, ".chunkpicker-window-1-0.list",
                                                          O_WRONLY | O_CREAT | O_EXCL, 0600);
                                  return ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()) ? 0 : 1;
                              }),
                       0);
             ::close(folderFd);
         },
         {first, second}},
        {"entry 1 given to another user",
         true,
         [&](const std::string&) { EXPECT_EQ(::chown((target / first).c_str(), stranger.pw_uid, stranger.pw_gid), 0); },
         {first}},
    };
    for (const auto& row : rows) {
        if (row.needsStranger && stranger.pw_uid == 0)
            continue;
        std::filesystem::remove_all(target);
        std::filesystem::create_directory(target);
        row.change(KilledWindow());
        cp::removeEntryFilesOfEndedRuns(target);
        std::vector<std::string> left = ListFolder(target);
        std::erase_if(left, [](const std::string& name) { return name.rfind("Sound", 0) != 0; });
        EXPECT_EQ(left, row.left) << row.what;
    }
    if (stranger.pw_uid == 0)
        GTEST_SKIP() << "the rows of another user need root";
}

TEST_F(ScanTest, AWindowTakesAFolderOnlyItsUserCanEnter)
{
    const passwd stranger = Stranger();
    const std::string own = "chunkpicker-" + std::to_string(::getuid());
    const struct {
        const char* what;
        bool needsStranger;
        std::function<void(const std::string& name)> take;
        bool used;
    } rows[] = {
        {"free", false, [](const std::string&) {}, true},
        {"ours", false, [](const std::string& name) { ::mkdir(name.c_str(), 0700); }, true},
        {"a link to a folder of ours", false,
         [&](const std::string& name) {
             ::mkdir((dir / "elsewhere").c_str(), 0700);
             EXPECT_EQ(::symlink((dir / "elsewhere").c_str(), name.c_str()), 0);
         },
         false},
        {"ours, open to all", false,
         [](const std::string& name) {
             ::mkdir(name.c_str(), 0777);
             ::chmod(name.c_str(), 0777);
         },
         false},
        {"another user's", true,
         [&](const std::string& name) {
             ::mkdir(name.c_str(), 0700);
             EXPECT_EQ(::chown(name.c_str(), stranger.pw_uid, stranger.pw_gid), 0);
         },
         false},
        {"a file", false, [](const std::string& name) { WriteFile(name, Text("x")); }, false},
    };
    for (const auto& row : rows) {
        if (row.needsStranger && stranger.pw_uid == 0)
            continue;
        const std::string temp = dir / row.what; // a temporary folder for each row
        ::mkdir(temp.c_str(), 0700);
        ::chmod(temp.c_str(), 01777); // shared, as /tmp is
        row.take(temp / own);
        const std::string chosen = cp::privateRunFolder(temp);
        struct stat st {};
        ASSERT_EQ(::lstat(chosen.c_str(), &st), 0) << row.what;
        EXPECT_EQ(chosen == temp / own + "/", row.used) << row.what << ": " << chosen;
        EXPECT_EQ(st.st_mode & 07777, 0700u) << row.what;
    }
    if (stranger.pw_uid == 0)
        GTEST_SKIP() << "the row of another user needs root";
}

// Runs body in a child with a mount namespace of its own; its exit status, or 77 without one.
int InPrivateMounts(const std::function<int()>& body)
{
    return InChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return 77;
        return body();
    });
}

// Also run with tests/support/FatLikeFiles.cpp preloaded, as a FAT stick behaves.
TEST_F(ScanTest, CopiesNewFilesAndOverOldOnesWhateverTheFileSystemOffers)
{
    const std::string source = Source(Text("RIFF new"));
    WriteFile(dir / "old.wav", Text("old"));
    EXPECT_EQ(cp::copyWholeFile(source, dir / "new.wav", false), cp::CopyOutcome::Copied);
    EXPECT_EQ(cp::copyWholeFile(source, dir / "old.wav", false), cp::CopyOutcome::TargetExists);
    EXPECT_EQ(cp::copyWholeFile(source, dir / "old.wav", true), cp::CopyOutcome::Copied);
    for (const char* name : {"new.wav", "old.wav"})
        EXPECT_EQ(ReadFile(dir / name), Text("RIFF new")) << name;
    EXPECT_EQ(ListFolder(dir.path()).size(), 4u) << "the source, its entry folder and the copies, nothing else";
    EXPECT_FALSE(ScanFailure([&] { cp::syncFolder(dir.path()); }));
}

TEST_F(ScanTest, ACopyFollowsOnlyTheLinksTheKernelWouldFollow)
{
    const passwd stranger = Stranger();
    if (stranger.pw_uid == 0)
        GTEST_SKIP() << "only root can act as another user";
    const std::string source = Source(Text("RIFF new")), ours = dir / "ours.wav", nowhere = dir / "new.wav";
    const std::string shared = dir / "shared", own = dir / "own";
    ::chmod(dir.path().c_str(), 0755);
    ::mkdir(shared.c_str(), 0);
    ::chmod(shared.c_str(), 01777);
    ::mkdir(own.c_str(), 0755);
    // The folder, whether the link is a stranger's, where it points, whether a copy writes through it.
    const std::tuple<std::string, bool, std::string, bool> cases[] = {{shared, true, ours, false},
                                                                      {shared, true, nowhere, false},
                                                                      {shared, false, ours, true},
                                                                      {own, true, ours, true}};
    for (const auto& [linkFolder, strangers, pointsTo, through] : cases) {
        const std::string link = linkFolder / "Sound001.wav", what = link + " -> " + pointsTo;
        WriteFile(ours, Text("ours"));
        ::chmod(ours.c_str(), 0640);
        ::unlink(link.c_str());
        ::unlink(nowhere.c_str());
        ASSERT_EQ(::symlink(pointsTo.c_str(), link.c_str()), 0);
        if (strangers) {
            ASSERT_EQ(::lchown(link.c_str(), stranger.pw_uid, 0), 0) << what;
        }
        // Save and Save all name their copies alike.
        EXPECT_EQ(cp::copyWholeFile(source, link, false), cp::CopyOutcome::TargetExists) << what;
        EXPECT_EQ(cp::copyWholeFile(source, link, true), cp::CopyOutcome::Copied) << what;
        struct stat st {};
        ::lstat(link.c_str(), &st);
        EXPECT_EQ(S_ISLNK(st.st_mode), through) << what << ": replaced only where not followed";
        EXPECT_EQ(ReadFile(ours), Text(through ? "RIFF new" : "ours")) << what;
        ::stat(ours.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << what;
        EXPECT_NE(::access(nowhere.c_str(), F_OK), 0) << what << ": nothing made through a dangling link";
    }
    // Where the folder does not let the user replace a stranger's link: a clear message and nothing written.
    WriteFile(ours, Text("ours"));
    // Reached through a descriptor: the folders above the test's may be closed to other users.
    const int sharedFd = ::open(shared.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(AsUser(stranger, [&] { return ::symlinkat(ours.c_str(), sharedFd, "Sound002.wav"); }), 0);
    ASSERT_EQ(::chmod(source.c_str(), 0644), 0);
    const int status = InChild([&] {
        if (::fchdir(sharedFd) != 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            return 77;
        const auto failure
            = ScanFailure([&] { cp::copyWholeFile("../" + cp::fileNamePart(source), "Sound002.wav", true); });
        return failure && std::string(failure->what()).find("Verknüpfung eines anderen Benutzers") != std::string::npos
            ? 0
            : 1;
    });
    EXPECT_EQ(status, 0) << "1: no failure, or one that does not say why";
    EXPECT_EQ(ReadFile(ours), Text("ours"));
    EXPECT_EQ(ListFolder(shared), (std::vector<std::string> {"Sound001.wav", "Sound002.wav"}));
    ::close(sharedFd);
}

TEST_F(ScanTest, AFullDiskLeavesTheFileToBeReplacedWhole)
{
    const std::string source = Source(Junk(9 << 20)), full = dir / "full";
    ::mkdir(full.c_str(), 0755);
    const int status = InPrivateMounts([&] {
        if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=1m") != 0)
            return 77;
        WriteFile(full + "/copy.wav", Text("old"));
        const auto failure = ScanFailure([&] { cp::copyWholeFile(source, full + "/copy.wav", true); });
        const int outcome = !failure                                                    ? 1
            : failure->systemError() == ENOSPC && failure->path() == full + "/copy.wav" ? 0
                                                                                        : 2;
        return ReadFile(full + "/copy.wav") == Text("old") && ListFolder(full).size() == 1 ? outcome : 3;
    });
    if (status == 77)
        GTEST_SKIP() << "no private mount here";
    EXPECT_EQ(status, 0) << "1: no error, 2: the wrong one, 3: the old file or a temporary damaged";
}

} // namespace
