#include "base/CommandLine.h"
#include "base/PathHelpers.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace cptest;

namespace {

TEST(PathHelpers, CutAppendAndExist)
{
    EXPECT_EQ(cp::GetFileName("/spiele/daten/sound.ffl"), "sound.ffl");
    EXPECT_EQ(cp::GetFileName("sound.ffl"), "sound.ffl");
    EXPECT_EQ(cp::GetFileName("/spiele/"), "");
    EXPECT_EQ(cp::AddBackslash("/out"), "/out/");
    EXPECT_EQ(cp::AddBackslash("/out/"), "/out/");
    EXPECT_EQ(cp::AddBackslash(""), "/");
    TempDir dir;
    WriteFile(dir / "f", Text("x"));
    for (const auto& [path, exists] : std::vector<std::pair<std::string, bool>> {
             {dir.path(), true}, {dir / "", true}, {dir / "f", true}, {dir / "f/", false}, {dir / "missing", false},
             {"", false}})
        EXPECT_EQ(cp::PathExists(path), exists) << path;
}

TEST(Wildcards, StarAndQuestionMarkOnly)
{
    EXPECT_TRUE(cp::MatchesWildcard("s?und*", "sound.ffl"));
    EXPECT_TRUE(cp::MatchesWildcard("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(cp::MatchesWildcard("*", ""));
    EXPECT_FALSE(cp::MatchesWildcard("*.ffl", "sound.FFL"));
    EXPECT_FALSE(cp::MatchesWildcard("?", ""));
    EXPECT_FALSE(cp::MatchesWildcard("[ab]", "a")); // brackets are plain characters
}

// A real folder tree with blanks and umlauts in its names.
class CommandLineTest : public ::testing::Test {
protected:
    TempDir dir;
    cp::SystemFileProbe probe;
    cp::StartupState state;
    std::string cause;

    std::string File(const std::string& name)
    {
        WriteFile(dir / name, Text("RIFF"));
        return dir / name;
    }
    std::string Folder(const std::string& name)
    {
        ::mkdir((dir / name).c_str(), 0755);
        return dir / name;
    }
    bool Resolve(const std::string& line)
    {
        state = cp::StartupState();
        cause.clear();
        return cp::ResolveCommandLine(line, probe, state, &cause);
    }
};

TEST_F(CommandLineTest, SourceAndTargetWithBlanksQuotedOrNot)
{
    ASSERT_TRUE(Resolve(""));
    EXPECT_EQ(state.TargetFolder, probe.tempFolder());
    EXPECT_FALSE(state.TargetGiven);
    const std::string source = File("Größere Sounds.ffl");
    for (const std::string& line : {'"' + source + '"', source, "\"" + source, source + "\"\""}) {
        ASSERT_TRUE(Resolve(line)) << line;
        EXPECT_EQ(state.SourceFile, source);
        EXPECT_FALSE(state.TargetGiven);
    }
    const std::string target = Folder("Ziel ordner");
    ASSERT_TRUE(Resolve("\"" + source + "\" \"" + target + "/\" noch mehr Wörter"));
    EXPECT_EQ(state.SourceFile, source);
    EXPECT_EQ(state.TargetFolder, target + "/");
    EXPECT_TRUE(state.TargetGiven);
}

TEST_F(CommandLineTest, ShortestExistingPrefixWins)
{
    const std::string a = File("a");
    File("a b.ffl");
    EXPECT_FALSE(Resolve(dir / "a b.ffl")) << "'b.ffl' is taken as a target folder that does not exist";
    EXPECT_EQ(cause, "Zielverzeichnis nicht gefunden: b.ffl");
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Folder("b.ffl");
    const bool ok = Resolve(dir / "a b.ffl");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(ok);
    EXPECT_EQ(state.SourceFile, a);
    EXPECT_EQ(state.TargetFolder, "b.ffl");
}

TEST_F(CommandLineTest, InvalidLinesNameTheirCause)
{
    const std::string source = File("s.ffl");
    EXPECT_FALSE(Resolve(dir / "missing.ffl"));
    EXPECT_EQ(cause, "Quelldatei nicht gefunden: " + dir / "missing.ffl");
    EXPECT_FALSE(Resolve("\"\"\"")) << "quotes only: the empty name cannot be looked up";
    EXPECT_FALSE(Resolve(source + "  " + dir.path())) << "two blanks: the target starts with a blank";
    EXPECT_FALSE(Resolve(source + " " + source)) << "a file is no target folder";
    File("s.ffl x");
    ASSERT_TRUE(Resolve(source + " ")) << "a trailing blank names no target";
    EXPECT_EQ(state.SourceFile, source);
}

TEST_F(CommandLineTest, WildcardsTakeTheFirstFileAndFoldersDoNotCountAsSources)
{
    File("b sound.ffl");
    File("c sound.ffl");
    Folder("a sound.ffl");
    const std::string target = Folder("out");
    ASSERT_TRUE(Resolve(dir / "? sound.ffl " + target));
    EXPECT_EQ(state.SourceFile, dir / "b sound.ffl");
    EXPECT_TRUE(state.TargetGiven);
    ASSERT_TRUE(Resolve(dir / "a*")) << "a folder alone passes; the scan reports it";
    EXPECT_EQ(state.SourceFile, dir / "a sound.ffl");
    Folder("sub");
    ASSERT_TRUE(Resolve(dir / "sub/../c*")) << "the folder part stays as typed";
    EXPECT_EQ(state.SourceFile, dir / "sub/../c sound.ffl");
}

TEST(CommandLineText, InvalidMessageAndArgumentText)
{
    EXPECT_EQ(cp::InvalidParametersMessage("\r"),
              "Ungültige Kommandozeilenparameter!\r\rSyntax:  Chunkpicker.exe  [Quelldatei  [Zielverz]]");
    EXPECT_EQ(cp::ArgumentText({"/a b", "c"}), "/a b c");
}

} // namespace
