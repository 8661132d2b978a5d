// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop association against a temporary XDG tree, read back with the
// desktop's own tools.
#include "desktop/XdgFileTypeRegistry.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <stdexcept>

using namespace cptest;
using cp::XdgFileTypeRegistry;

namespace {

class Registration : public ::testing::Test {
protected:
    TempDir dir;
    XdgFileTypeRegistry::Places places {dir / "data", dir / "config"};
    std::string entry = dir / "data/applications/example.oxbrook.Chunkpicker.desktop";

    std::string skipped;
    int Start(const std::string& program) // what a start registers; the number of files written
    {
        XdgFileTypeRegistry registry(places, program, "<svg/>");
        EXPECT_TRUE(cp::registerFileTypes(registry).empty());
        skipped = registry.skipped();
        return registry.filesWritten();
    }
    std::string Query(std::vector<std::string> argv)
    {
        argv.insert(argv.begin(), "xdg-mime");
        return RunProgram(argv,
                          {"XDG_DATA_HOME=" + places.dataHome, "XDG_CONFIG_HOME=" + places.configHome,
                           "XDG_DATA_DIRS=/usr/share", "XDG_CURRENT_DESKTOP="})
            .out;
    }
    std::string entryLine(const std::string& key) // the first line of the entry that starts with key
    {
        const Bytes bytes = ReadFile(entry);
        const std::string text(bytes.begin(), bytes.end());
        const auto at = text.find("\n" + key);
        return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    }
    std::int64_t Modified(const std::string& path)
    {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec : -1;
    }
};

TEST_F(Registration, AFirstStartWritesEverythingALaterOneNothingAMoveRewritesExec)
{
    EXPECT_EQ(Start("/usr/bin/chunkpicker"), 7) << "per type its package and default; the icon; the entry twice";
    const std::int64_t cache = Modified(dir / "data/mime/mime.cache");
    ASSERT_GT(cache, 0) << "the type cache was refreshed";
    WriteFile(dir / "SOUNDS.FFL", {});
    WriteFile(dir / "x.uax", {});
    EXPECT_EQ(Query({"query", "filetype", dir / "SOUNDS.FFL"}) + Query({"query", "filetype", dir / "x.uax"}),
              "application/x-ffl\napplication/x-uax\n");
    EXPECT_EQ(Query({"query", "default", "application/x-uax"}), "example.oxbrook.Chunkpicker.desktop\n");
    EXPECT_EQ(entryLine("MimeType="), "MimeType=application/x-ffl;application/x-uax;");
    EXPECT_EQ(entryLine("Comment=") + "|" + entryLine("Comment[de]="),
              "Comment=Finds embedded wave sounds and other RIFF entries in any file and saves them|Comment[de]=Findet "
              "eingebettete Wave-Sounds und andere RIFF-Einträge in beliebigen Dateien und speichert sie")
        << "English first, the German beside it";

    EXPECT_EQ(Start("/usr/bin/chunkpicker"), 0);
    EXPECT_EQ(Modified(dir / "data/mime/mime.cache"), cache) << "no tool ran";

    // Moved into a folder whose name needs quoting: the entry follows, the rest stays.
    EXPECT_EQ(Start("/opt/Meine Spiele/chunk$picker\\"), 1);
    EXPECT_EQ(entryLine("Exec="), R"(Exec="/opt/Meine Spiele/chunk\\$picker\\\\" %f)");
    EXPECT_EQ(entryLine("TryExec="), R"(TryExec=/opt/Meine Spiele/chunk$picker\\)");
    EXPECT_EQ(RunProgram({"desktop-file-validate", entry}).status, 0);
    // A type an earlier version listed stays; an empty one goes.
    const Bytes before = ReadFile(entry);
    std::string edited(before.begin(), before.end());
    edited.replace(edited.find("MimeType="), 9, "MimeType=application/x-old;;");
    WriteFile(entry, Text(edited));
    EXPECT_EQ(Start("/opt/Meine Spiele/chunk$picker\\"), 1);
    EXPECT_EQ(entryLine("MimeType="), "MimeType=application/x-old;application/x-ffl;application/x-uax;");
    EXPECT_EQ(Start(std::string("/opt/\xff/chunkpicker")), 0) << "no entry for a path a desktop entry cannot hold";
}

// The user's other lines stay byte for byte, also in files edited elsewhere:
// a byte-order mark, CR LF line ends, a link into a dotfiles folder, a link to nothing.
TEST_F(Registration, MimeappsListKeepsTheUsersLinesItsMarkItsLineEndsAndItsLink)
{
    const std::string ffl = "application/x-ffl=example.oxbrook.Chunkpicker.desktop;",
                      uax = "application/x-uax=example.oxbrook.Chunkpicker.desktop;";
    // Where mimeapps.list links to (in dir), the file before and after.
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"",
         "# meine\r\n[Added Associations]\napplication/x-ffl=other.desktop;\n\n[Default Applications]\n"
         "text/plain=gedit.desktop;\napplication/x-ffl = other.desktop;\n\n[Andere]\nx=y",
         "# meine\r\n[Added Associations]\napplication/x-ffl=other.desktop;\n\n[Default Applications]\n"
         "text/plain=gedit.desktop;\n"
             + ffl + "\n" + uax + "\n\n[Andere]\nx=y"},
        {"", "\xEF\xBB\xBF[Default Applications]\r\ntext/plain=a;\r\napplication/x-ffl=b;\r\n",
         "\xEF\xBB\xBF[Default Applications]\r\ntext/plain=a;\r\n" + ffl + "\r\n" + uax + "\r\n"},
        {"", "[Added Associations]\r\nx=y;",
         "[Added Associations]\r\nx=y;\r\n\r\n[Default Applications]\r\n" + ffl + "\r\n" + uax + "\r\n"},
        {"punkt/mimeapps.list", "[Default Applications]\n", "[Default Applications]\n" + ffl + "\n" + uax + "\n"},
        {"weg/mimeapps.list", "", ""},
    };
    for (const auto& [linkTo, before, after] : rows) {
        places.configHome = dir / ("config" + std::to_string(before.size())); // one per row
        const std::string list = places.configHome + "/mimeapps.list", real = linkTo.empty() ? list : dir / linkTo;
        ::mkdir(places.configHome.c_str(), 0755);
        ::mkdir((dir / "punkt").c_str(), 0755);
        EXPECT_EQ(linkTo.empty() ? 0 : ::symlink(("../" + linkTo).c_str(), list.c_str()), 0);
        if (!before.empty())
            WriteFile(real, Text(before));
        Start("/usr/bin/chunkpicker");
        const Bytes written = after.empty() ? Bytes() : ReadFile(real);
        EXPECT_EQ(std::string(written.begin(), written.end()), after) << linkTo;
        struct stat st {};
        EXPECT_EQ(::lstat(list.c_str(), &st) == 0 && S_ISLNK(st.st_mode), !linkTo.empty())
            << linkTo << ": the link stays";
        EXPECT_EQ(skipped.empty(), linkTo != "weg/mimeapps.list") << skipped;
    }
    EXPECT_EQ(ListFolder(dir / "punkt"), std::vector<std::string> {"mimeapps.list"})
        << "nothing left beside the target";
    EXPECT_NE(::access((dir / "weg").c_str(), F_OK), 0) << "the link to nothing is left alone";
    EXPECT_EQ(cp::withDefaultApplication("x=y", "a/b", "c.desktop"), "x=y\n\n[Default Applications]\na/b=c.desktop;\n");
    EXPECT_EQ(cp::withDefaultApplication("[Default Applications]\nx=y", "a/b", "c.desktop"),
              "[Default Applications]\nx=y\na/b=c.desktop;\n");
}

// A list the user cannot read may hold associations of theirs: it stays as it
// is. One that is rewritten keeps its owner and mode, private or not.
TEST_F(Registration, AnUnreadableListStaysARewrittenOneKeepsItsOwnerAndMode)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "acts as another user, which needs root";
    const uid_t other = 65534;
    const std::string list = places.configHome + "/mimeapps.list", mine = "[Added Associations]\nx=y;\n";
    ASSERT_EQ(::mkdir(places.configHome.c_str(), 0755), 0);
    ASSERT_EQ(::chown(places.configHome.c_str(), other, other), 0);
    WriteFile(list, Text(mine));
    ASSERT_EQ(::chown(list.c_str(), other, other), 0);
    ASSERT_EQ(::chmod(list.c_str(), 0200), 0);
    ::setfsuid(other); // this thread's file accesses are that user's, without root's rights
    Start("/usr/bin/chunkpicker");
    ::setfsuid(0);
    EXPECT_EQ(ReadFile(list), Text(mine));
    EXPECT_NE(skipped.find("nicht lesbar"), std::string::npos) << skipped;

    ASSERT_EQ(::chmod(list.c_str(), 0640), 0);
    Start("/usr/bin/chunkpicker");
    struct stat st {};
    ASSERT_EQ(::stat(list.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, other);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(list).size(), mine.size() + 134) << "the two defaults were added";
}

TEST(registerFileTypes, AnErrorEndsOnlyItsOwnTypeAndKeepsItsNumber)
{
    struct Failing final : cp::FileTypeRegistry {
        std::deque<std::exception_ptr> throws; // one a call, in order; null: succeed
        std::vector<std::string> registered;
        void registerFile(const std::string& extension, int icon, const std::string& description) override
        {
            registered.push_back(extension + std::to_string(icon) + description);
            const auto next = throws.at(0);
            throws.pop_front();
            if (next)
                std::rethrow_exception(next);
        }
    } registry;
    registry.throws = {std::make_exception_ptr(cp::RegistrationError(53, "weg")), nullptr,
                       std::make_exception_ptr(std::bad_alloc()), std::make_exception_ptr(std::logic_error("kaputt"))};
    std::string seen; // each failure's number and reason, two runs: anything unexpected is internal (51)
    for (int run = 0; run < 2; ++run)
        for (const auto& failure : cp::registerFileTypes(registry))
            seen += std::to_string(failure.number) + " " + failure.description + "|";
    EXPECT_EQ(registry.registered.at(2) + registry.registered.at(3), "FFL1AvP FastFile-ListeUAX1Unreal-Sound")
        << "each type tried, each time";
    EXPECT_EQ(seen, "53 weg|7 Nicht genügend Speicher|51 kaputt|");
}

TEST(registerFileTypes, TheDesktopsFoldersFromTheEnvironmentRelativeOnesIgnored)
{
    const std::pair<const char*, const char*> settings[]
        = {{"HOME", "/home/ich"}, {"XDG_DATA_HOME", "daten"}, {"XDG_CONFIG_HOME", "/einstellungen"}};
    std::vector<std::optional<std::string>> before;
    for (const auto& [name, value] : settings) {
        const char* was = std::getenv(name);
        before.push_back(was ? std::optional<std::string>(was) : std::nullopt);
        ::setenv(name, value, 1);
    }
    const XdgFileTypeRegistry::Places places = XdgFileTypeRegistry::Places::fromEnvironment();
    EXPECT_EQ(places.dataHome + "|" + places.configHome, "/home/ich/.local/share|/einstellungen");
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i])
            ::setenv(settings[i].first, before[i]->c_str(), 1);
        else
            ::unsetenv(settings[i].first);
    }
}

} // namespace
