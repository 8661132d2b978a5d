// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "base/ThreadStart.h"
#include "files/SystemFileProbe.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <tuple>
#include <utility>

using namespace cptest;

namespace {

TEST(PathHelpers, Utf8IsCheckedAsStrictlyAsJsonReadersDo)
{
    // Each form's first and last code point, the last below the surrogates and the first above.
    for (const char* valid : {"Gr\xC3\xBC\xC3\x9F", "\x7F\xC2\x80\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80",
                              "\xE2\x82\xAC \xDF\xBF\xEF\xBF\xBF \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(cp::isValidUtf8(valid)) << valid;
    // A lone continuation, overlong forms, surrogates, past U+10FFFF, cut short, Latin-1.
    for (const char* invalid : {"\x80", "\xC1\xBF", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                                "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "ab\xE2\x82", "\xE9t\xE9"})
        EXPECT_FALSE(cp::isValidUtf8(invalid)) << invalid;
}

// A real folder tree with blanks and umlauts in its names; the working
// directory is the tree, so that a relative target can be found.
TEST(CommandLine, ResolvesAgainstARealTree)
{
    TempDir dir;
    const std::string d = dir.path() + "/";
    for (const char* folder : {"Ziel ordner", "b", "v", "v/x", "w", "w/a sound.ffl", "w/sub"})
        ::mkdir((d + folder).c_str(), 0755);
    for (const char* file :
         {"Größe Sounds.ffl", "a", "a b.ffl", "b x.ffl", "s.ffl", "s.ffl x", "u ", "w/b sound.ffl", "w/c sound.ffl"})
        WriteFile(d + file, Text("RIFF"));
    cp::SystemFileProbe probe;
    const std::string temp = probe.tempFolder(), sounds = d + "Größe Sounds.ffl";
    // A line, whether it is valid, the source and target it names, the cause of a failure.
    const std::tuple<std::string, bool, std::string, std::string, std::string> cases[] = {
        {"", true, "", temp, ""},
        {'"' + sounds + '"', true, sounds, temp, ""},
        {'"' + sounds, true, sounds, temp, ""}, // quotes need not pair
        {'"' + sounds + "\" \"" + d + "Ziel ordner/\" noch mehr Wörter", true, sounds, d + "Ziel ordner/", ""},
        {d + "a b.ffl", false, d + "a", "b.ffl", "Zielverzeichnis nicht gefunden: b.ffl"}, // the shortest prefix wins
        {d + "a b", true, d + "a", "b", ""},                                               // relative to the tree
        {d + "b x.ffl", true, d + "b x.ffl", temp, ""},                                    // a folder "b" is no source
        {d + "fehlt.ffl", false, "", "", "Quelldatei nicht gefunden: " + d + "fehlt.ffl"},
        {"\"\"\"", false, "", "", "Quelldatei nicht gefunden: "},
        {d + "s.ffl  " + d, false, "", "", "Zielverzeichnis nicht gefunden:  " + d}, // a target starting with a blank
        {d + "s.ff*l*", true, d + "s.ffl", temp, ""},       // a star may stand for nothing, also at the end
        {d + "s.ffl*x", true, d + "s.ffl x", temp, ""},     // but what follows it must be there
        {d + "s.ffl ", true, d + "s.ffl", temp, ""},        // a trailing blank names no target
        {d + "u  " + d + "b", true, d + "u ", d + "b", ""}, // a name that ends in a blank
        {d + "w/? sound.ffl " + d + "b", true, d + "w/b sound.ffl", d + "b", ""},
        {d + "w/a*", true, d + "w/a sound.ffl", temp, ""}, // a folder alone passes; the scan reports it
        {d + "v/*", true, d + "v/x", temp, ""},            // not the folder itself
        {d + "w/sub/../c*", true, d + "w/sub/../c sound.ffl", temp, ""},
    };
    char* previous = ::get_current_dir_name();
    ASSERT_EQ(::chdir(d.c_str()), 0);
    for (const auto& [line, valid, source, target, cause] : cases) {
        cp::StartupState state;
        std::string told;
        EXPECT_EQ(cp::resolveCommandLine(line, probe, state, &told), valid) << line;
        EXPECT_EQ(told, cause) << line;
        if (valid) {
            EXPECT_EQ(state.sourceFile, source) << line;
            EXPECT_EQ(state.targetFolder, target) << line;
            EXPECT_EQ(state.targetGiven, target != temp) << line;
        }
    }
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);
}

// Large entry files belong on disk: without a TMPDIR of the user's, /var/tmp
// and not /tmp, which is often a small tmpfs in memory.
TEST(CommandLine, TheWindowsEntryFilesGoToTmpdirElseToVarTmp)
{
    TempDir dir;
    const char* before = std::getenv("TMPDIR");
    const std::string kept = before ? before : "";
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, "/var/tmp/"},
        {"", "/var/tmp/"},
        {dir.path().c_str(), dir.path() + "/"},
    };
    for (const auto& [tmpdir, folder] : cases) {
        if (tmpdir)
            ::setenv("TMPDIR", tmpdir, 1);
        else
            ::unsetenv("TMPDIR");
        cp::StartupState state;
        cp::SystemFileProbe probe;
        EXPECT_TRUE(cp::resolveCommandLine("", probe, state, nullptr));
        EXPECT_EQ(state.targetFolder, folder) << (tmpdir ? tmpdir : "unset");
    }
    ::setenv("TMPDIR", kept.c_str(), 1);
}

TEST(ThreadStart, StartsAsManyAsAskedAfterThoseThereAndKeepsThoseStartedWhenOneCannotBe)
{
    std::vector<std::thread> threads;
    std::atomic<int> ran {0};
    EXPECT_EQ(cp::startThreads(
                  threads, 2, [&] { ++ran; }, nullptr),
              2u);
    const auto noSecond = [](unsigned index) {
        if (index == 1)
            throw std::system_error(EAGAIN, std::generic_category());
    };
    EXPECT_EQ(cp::startThreads(
                  threads, 3, [&] { ++ran; }, noSecond),
              1u);
    ASSERT_EQ(threads.size(), 3u);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(ran, 3);
}

} // namespace
