// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's rules without a toolkit: the logic on the real engine and
// real files, silent playback, settings in memory, a face that only records
// and dialogs that answer from the test.
#include "base/PathHelpers.h"
#include "files/DiskRoom.h"
#include "files/FileIo.h"
#include "logic/EntryRoom.h"
#include "logic/MainWindowFace.h"
#include "logic/MainWindowLogic.h"
#include "logic/SettingsStore.h"
#include "playback/EntryPlayer.h"
#ifdef _WIN32
#include "base/WideText.h"
#include "playback/MciWaveDevice.h"
#include "playback/PlaySoundLooper.h"
#include <windows.h>
#else
#include "playback/WaveDevice.h"
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#endif
#include "support/Fixtures.h"
#include "support/MemorySettings.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <tuple>

using namespace cptest;
using cp::Command;
using Replace = cp::UserDialogs::Replace;
using Strings = std::vector<std::string>;

namespace {

// Keeps the last view and, in order, what else the logic told it.
struct RecordingFace final : cp::MainWindowFace {
    cp::MainWindowView view;
    int answered = 0;
    Strings events;
    std::function<void()> onAnswer = [] {};
    void showView(const cp::MainWindowView& shown) override { view = shown; }
    void keepAnswering() override
    {
        ++answered;
        onAnswer();
    }
    void keepRepainting() override { keepAnswering(); }
    void scanChanging() override { events.push_back("changing"); }
    void scanChanged() override { events.push_back("changed"); }
    void currentEntryChanged(std::int64_t entry) override { events.push_back("current " + std::to_string(entry)); }
    void showEntryList() override { events.push_back("list"); }
    void windowUnloading() override { events.push_back("unloading"); }
    void endProgram(int status) override { events.push_back("end " + std::to_string(status)); }
};

std::string Joined(const Strings& parts)
{
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : "|") + part;
    return joined;
}

// The system's text for a folder that is not there, as the program words it.
std::string NoFolderText()
{
#ifdef _WIN32
    return cp::windowsErrorText(ERROR_PATH_NOT_FOUND);
#else
    return std::strerror(ENOENT);
#endif
}

// A regular file in a tar archive: its header block (ustar), its data, zeros to the next block.
Bytes TarMember(const std::string& name, const Bytes& data)
{
    Bytes header(512, 0);
    std::copy(name.begin(), name.end(), header.begin());
    std::snprintf(reinterpret_cast<char*>(&header[124]), 12, "%011o", unsigned(data.size()));
    header[156] = '0';
    std::memcpy(&header[257], "ustar\00000", 8); // the magic and its version "00"
    unsigned sum = 8 * ' ';
    for (const unsigned char c : header)
        sum += c;
    std::snprintf(reinterpret_cast<char*>(&header[148]), 8, "%06o", sum);
    return Concat({header, data, Bytes((512 - data.size() % 512) % 512, 0)});
}

// The players of the window: the multimedia system's on Windows, silent ones elsewhere.
#ifdef _WIN32
struct Players {
    cp::MciWaveDevice device;
    cp::PlaySoundLooper looper;
};
#else
struct Players {
    cp::WaveDevice device {nullptr};
    cp::SoundPlayer looper {nullptr};
};
#endif

class LogicTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "temp", programFolder = dir / "programm", archivePath = dir / "Spiel daten.ffl";
    cp::StartupState startup {"", target, false};
    cp::EntryFolder entryFolder {target};
    MemorySettings backend;
    cp::SettingsStore settings {backend};
    Players players;
    cp::EntryPlayer player {players.device, players.looper};
    ScriptedDialogs dialogs;
    RecordingFace face;
    std::unique_ptr<cp::MainWindowLogic> logic;
    // 1,000 bytes of header, a 1.2 s wave, junk, a bare RIFF form, a 250 ms wave: 31,852 bytes.
    Bytes archive = Concat({Junk(1000), MakeWave(11025, 1200), Junk(300, 2), Text("RIFF"), MakeWave(8000, 250)});

    void SetUp() override
    {
        std::filesystem::create_directory(native(target));
        std::filesystem::create_directory(native(programFolder));
        WriteFile(archivePath, archive);
    }
    cp::MainWindowLogic& Logic()
    {
        if (!logic)
            logic.reset(new cp::MainWindowLogic(
                {entryFolder, startup, settings, player, dialogs, programFolder, cp::NumberStyle::germanStyle()},
                face));
        return *logic;
    }
    // A fresh start of the window, as after the program ended.
    void Restart()
    {
        logic.reset();
        face = RecordingFace();
    }
    const cp::MainWindowView& View() { return face.view; }
    std::string EntryFile(std::int64_t entry) { return Logic().entries().entryFile(entry); }
    // The places in the command table of the commands enabled once the playback clock has ticked.
    std::string Enabled()
    {
        Logic().showPlayback();
        std::string on;
        for (std::size_t i = 0; i < cp::kCommandCount; ++i)
            if (View().enabled[i])
                on += std::to_string(i);
        return on;
    }
    void Open(const std::string& path = {})
    {
        dialogs.files.push_back({path.empty() ? archivePath : path, 5});
        Logic().run(Command::Open);
    }
    std::string Save(const std::string& as)
    {
        dialogs.saveAs.push_back(as);
        Logic().run(Command::Save);
        return as;
    }
    Strings SaveAllInto(const std::string& folder)
    {
        std::filesystem::create_directory(native(folder));
        dialogs.folders = {folder};
        Logic().run(Command::SaveAll);
        return ListFolder(folder);
    }
};

TEST_F(LogicTest, StepsWithWrapAndShowsTheFileAndTheEntryInGermanFigures)
{
    ASSERT_FALSE(Logic().start());
    Logic().run(Command::Previous); // nothing to step to: nothing happens
    Logic().run(Command::Next);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(View().caption + "|" + View().entryTitle + "|" + Enabled(), "Chunk Picker|aktueller Eintrag|09")
        << "before a file: Open and the entry list";
    Open();
    EXPECT_EQ(View().caption, "Spiel daten.ffl - Chunk Picker");
    EXPECT_EQ(View().entryCount + "|" + View().fileSize + "|" + View().unknownData, "3|31.852 Byte|3,1%");
    EXPECT_EQ(View().entryTitle + "|" + Enabled(), "aktueller Eintrag: keiner|016789");
    EXPECT_EQ(Joined(face.events), "changing|changed|changing|changed") << "the entry list looks away meanwhile";

    // A command; the entry then current, its rate field and the commands enabled. Back never
    // enables Previous and Save; a bare RIFF form has no playing time.
    const std::tuple<Command, const char*, const char*, const char*> steps[] = {
        {Command::Previous, "3/3", "16.176 Byte/Sek", "0136789"}, // from none it wraps to the last
        {Command::Next, "1/3", "22.337 Byte/Sek", "012356789"},   // and from the last to the first
        {Command::Next, "2/3", "ganz schlecht", "012356789"},
        {Command::Last, "3/3", "16.176 Byte/Sek", "012356789"},
        {Command::Previous, "2/3", "nicht so toll", "012356789"},
        {Command::First, "1/3", "22.337 Byte/Sek", "012356789"},
        {Command::Previous, "3/3", "16.176 Byte/Sek", "012356789"},
    };
    for (const auto& [command, title, quality, enabled] : steps) {
        Logic().run(command);
        EXPECT_EQ(View().entryTitle + "|" + View().quality + "|" + Enabled(),
                  std::string("aktueller Eintrag: ") + title + "|" + quality + "|" + enabled);
    }
    EXPECT_EQ(face.events.back(), "current 3") << "the entry list marks it";
    Logic().pick(4); // no such entry: nothing happens
    Logic().pick(0);
    EXPECT_EQ(View().entryTitle, "aktueller Eintrag: 3/3");
    EXPECT_TRUE(dialogs.messages.empty());
    Logic().run(Command::Next);
    EXPECT_EQ(View().entrySize + "|" + View().entryLength + "|" + std::to_string(View().sliderMaximum),
              "26.804 Byte|1,2 Sekunden|1200");
    EXPECT_EQ(View().toolTip,
              "Form: WAVE\nFormat: PCM, 1 Kanal, 11.025 Hz, 16 Bit\n"
              "Größe: laut Kopf 26.504 Byte, Eintrag 26.804 Byte (300 Byte mehr)");
    Logic().run(Command::EntryList);
    EXPECT_EQ(face.events.back(), "list");
    WriteFile(dir / "eins.ffl", MakeWave(8000, 250));
    Open(dir / "eins.ffl"); // one entry: its file goes as well
    EXPECT_EQ(View().toolTip + View().entryCount + "|" + View().entrySize + "|" + View().entryLength + "|"
                  + View().quality + "|" + View().unknownData,
              "1|0 Byte|0 Sekunden|mies|0,0%")
        << "nothing of the entry shown before";
    EXPECT_TRUE(Logic().requestClose());
    EXPECT_TRUE(ListFolder(target).empty());
}

TEST_F(LogicTest, OpenRemembersFilterAndFolderAndTheErrorTrapReportsWhatFailed)
{
    Logic().start();
    Open();
    EXPECT_EQ(settings.value("Filter", "x") + "|" + settings.value("FFLDir", "x") + "|"
                  + dialogs.opened.at(0).initialDir + "|" + dialogs.opened.at(0).filter,
              "5|" + dir.path() + "|" + programFolder + "|" + cp::MainWindowLogic::kOpenFilter)
        << "the program folder at first";
    Logic().run(Command::Next);
    Logic().run(Command::Open); // cancelled: nothing changes
    EXPECT_EQ(View().entryTitle + "|" + Enabled(), "aktueller Eintrag: 1/3|012356789");
    EXPECT_EQ(std::to_string(dialogs.opened.back().filterIndex) + dialogs.opened.back().initialDir + "|"
                  + dialogs.opened.back().fileName,
              "5" + dir.path() + "|" + archivePath)
        << "the remembered filter and folder, and the name the last use left";
    EXPECT_TRUE(dialogs.messages.empty());

    Logic().run(Command::Next);                    // the player lets go of entry 1: Windows deletes no file held open
    std::filesystem::remove(native(EntryFile(1))); // an entry file removed behind the program's back
    for (int i = 0; i < 2; ++i)
        Logic().run(Command::Next);
    Open(dir / "weg.ffl");
    // Nothing of the old file stays beside the new one's failure: the window is as before any file.
    EXPECT_EQ(View().caption + "|" + View().fileSize + "|" + View().entryCount + "|" + View().unknownData + "|"
                  + View().entryTitle + "|" + Enabled(),
              "Chunk Picker|0 Byte|0|0%|aktueller Eintrag: keiner|09");
    EXPECT_EQ(Logic().entries().count(), 0);
    WriteFile(dir / "leer.bin", Text("riff"));
    Open(dir / "leer.bin"); // a file without tags: nothing to step through or save
    EXPECT_EQ(View().unknownData + "|" + Enabled(), "100%|09") << "all of it unknown without a tag";
    ASSERT_EQ(dialogs.messages.size(), 4u);
    for (int i : {0, 2}) {
        EXPECT_EQ(dialogs.messages[i], "Fehler 53");
        EXPECT_EQ(dialogs.messages[i + 1].rfind("In der Prozedur 'tlbMain_ButtonClick'", 0), 0u)
            << dialogs.messages[i + 1];
    }
}

TEST_F(LogicTest, ALongScanShowsRunningFiguresRefusesCommandsAndStopsWhenClosed)
{
    Bytes big = Junk(3'500'000); // block mode, a tag every 10,000 bytes after 10,000 of unknown data
    for (std::size_t at = 10'000; at < big.size(); at += 10'000)
        std::memcpy(&big[at], "RIFF", 4);
    WriteFile(archivePath, big);
    settings.setValue("Loop", "2");
    Logic().start();
    std::set<std::string> counts, shares;
    std::set<int> maxima;
    Strings busy;
    face.onAnswer = [&] {
        counts.insert(View().entryCount);
        shares.insert(View().unknownData);
        maxima.insert(View().progressMaximum);
        if (counts.size() < 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // outlast the refresh, so the next hit shows
        const cp::MainWindowView& view = View();
        busy.push_back(std::to_string(view.scanning) + std::to_string(view.busyPointer)
                       + std::to_string(Logic().commandsUsable()) + std::to_string(Logic().takesDrop(archivePath))
                       + Enabled());
        Logic().run(Command::Open); // must not start a second Open
        Logic().run(Command::EntryList);
    };
    Open();
    EXPECT_GE(counts.size(), 4u) << "the count grows while the search runs";
    EXPECT_GE(shares.size(), 4u) << "and the share of unknown data shrinks";
    EXPECT_EQ(maxima, std::set<int> {3'500'000}) << "the progress bar counts bytes";
    EXPECT_EQ(std::set<std::string>(busy.begin(), busy.end()), std::set<std::string> {"110009"})
        << "the progress bar covers the toolbar, the pointer is busy, no command, no drop";
    EXPECT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(std::count(face.events.begin(), face.events.end(), "list"), face.answered) << "the list opens even then";
    EXPECT_EQ(View().entryCount + std::to_string(View().scanning) + std::to_string(View().busyPointer), "34900");

    bool closable = true;
    face.onAnswer = [&] { // also answering while the entry files are deleted, after the scan
        if (Logic().scanning())
            closable = Logic().requestClose();
    };
    face.events.clear();
    Open(); // closed during the scan
    EXPECT_FALSE(closable) << "the scan notices and unwinds first";
    EXPECT_EQ(Joined(face.events), "changing|changed|unloading|changing|changed|end 0");
    EXPECT_TRUE(ListFolder(target).empty()) << "no entry file stays, whole or half";
    EXPECT_EQ(backend.values["Loop"] + std::to_string(backend.syncs), "21") << "the settings are written";
    Logic().run(Command::EntryList);
    EXPECT_EQ(face.events.back(), "end 0") << "no entry list after the window went";
}

TEST_F(LogicTest, DropsOpenFilesByTheirBytesAndClosingWritesTheLoopAndWaitsForTheEntryFiles)
{
    Logic().start();
#ifdef _WIN32 // names are UTF-16 there
    const std::string latin = dir / "T\u00f6ne \u00ff.ffl";
#else
    const std::string latin = dir / "T\xf6ne \xff.ffl"; // no UTF-8, as old archives are named
#endif
    WriteFile(latin, archive);
    const std::pair<std::string, bool> drops[] = {{dir.path(), false}, {"", false}, {latin, true}, {dir / "weg", true}};
    for (const auto& [path, taken] : drops)
        EXPECT_EQ(Logic().takesDrop(path), taken) << path;
    Logic().openDropped(latin);
    EXPECT_EQ(View().entryCount + "|" + Logic().entries().scan().sourceFile, "3|" + latin);
    EXPECT_EQ(settings.value("FFLDir", "-") + settings.value("Filter", "-"), "--") << "no dialog's settings";

    Logic().loopClicked(1);
    Logic().run(Command::Next);
    EXPECT_EQ(Enabled(), "0123456789") << "a ticked loop plays until stopped";
    EXPECT_TRUE(Logic().requestClose());
    EXPECT_TRUE(ListFolder(target).empty()) << "gone before the program ends";
    EXPECT_EQ(backend.values["Loop"] + std::to_string(backend.syncs), "11");
    EXPECT_FALSE(Logic().takesDrop(latin)) << "unloaded";
}

TEST_F(LogicTest, ASourceLargerThanTheRoomLeftForTheEntryFilesIsNotScanned)
{
#ifdef _WIN32
    GTEST_SKIP() << "no folder of a set small size without administrator rights";
#else
    // 1 MiB for the entry files: a tmpfs in a mount namespace of this process's own.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", target.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no mount namespace and tmpfs of our own: " << std::strerror(errno);
    WriteFile(dir / "groß.ffl", Concat({archive, Junk(2000000, 3)}));
    Logic().start();
    Open(dir / "groß.ffl");
    EXPECT_EQ(Joined(dialogs.messages),
              "Chunk Picker|„groß.ffl“ ist 2.031.852 Byte groß; im Ordner für die "
              "Zwischendateien ("
                  + target
                  + ") sind nur noch 1.048.576 Byte frei. Die Einträge hätten dort "
                    "keinen Platz.");
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(View().caption + "|" + View().fileSize + "|" + View().entryTitle + "|" + Enabled(),
              "Chunk Picker|0 Byte|aktueller Eintrag: keiner|09");
    Open(); // what fits is scanned
    EXPECT_EQ(ListFolder(target).size(), 3u);
    const cp::NumberStyle c;
    // Files still being deleted count, up to the last byte.
    const std::int64_t missing = 2'031'852 - cp::freeSpaceIn(target).value_or(0);
    EXPECT_FALSE(cp::EntryRoom(target, missing).shortage(dir / "groß.ffl", c));
    EXPECT_TRUE(cp::EntryRoom(target, missing - 1).shortage(dir / "groß.ffl", c));
    EXPECT_EQ(cp::regularFileSize(dir.path()), std::nullopt) << "a folder has no bytes to copy";
    logic.reset();
    EXPECT_EQ(::umount2(target.c_str(), MNT_DETACH), 0) << std::strerror(errno);
#endif
}

TEST_F(LogicTest, SaveCopiesTheEntryAsksBeforeReplacingAndShowsTheNoticeUntilTicked)
{
    WriteFile(dir / "sounds.ffl", archive);
    Logic().start();
    Open(dir / "sounds.ffl");
    // The count stored, the name proposed.
    const std::pair<const char*, const char*> names[]
        = {{"42", "Sound042.wav"},    {"-3", "Sound-003.wav"}, {"0", "Sound000.wav"},
           {"1234", "Sound1234.wav"}, {"a/b", "Sounda_b.wav"}, {"", "Sound001.wav"}}; // none stored yet
    for (const auto& [count, name] : names) {
        settings.setValue("Count", count);
        Logic().run(Command::Previous);
        Logic().run(Command::Save); // cancelled: nothing at all
        EXPECT_EQ(dialogs.saved.back().fileName, name);
    }
    EXPECT_EQ(dialogs.saved.size(), 6u);
    settings.setValue("Count", std::string(1025, '7')); // longer than a value can be: none
    Logic().run(Command::Save);
    EXPECT_EQ(dialogs.saved.back().fileName, "Sound001.wav");
    const std::string folder = dir / "gespeichert", saved = folder / "x.wav";
    std::filesystem::create_directory(native(folder));
    Logic().run(Command::Last);
    Save(saved);
    EXPECT_EQ(dialogs.progressShown, Strings {"0/4044"});
    const auto& request = dialogs.saved.back();
    EXPECT_EQ(request.initialDir + "|" + request.defaultSuffix + "|" + request.filter,
              programFolder + "|wav|Wave-Dateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*");
    EXPECT_EQ(ReadFile(saved), ReadFile(EntryFile(3)));
    EXPECT_EQ(settings.value("WAVDir", ""), folder);
    EXPECT_EQ(dialogs.notices,
              Strings {"Der Eintrag 3 wurde erfolgreich aus der Datei sounds.ffl erportiert.\r\n\r\n"
                       "Da dieses Programm beim Speichern keine Optimierung vornimmt und das "
                       "Original-Format beibehält, kann ein erneutes Speichern mit Goldwave eine "
                       "kleinere Datei verursachen."});

    Logic().run(Command::Next); // entry 1 onto the saved file: declined, then replaced and ticked
    dialogs.replies = {Replace::No, Replace::Yes};
    dialogs.ticks = {true};
    Save(saved);
    EXPECT_EQ(ReadFile(saved), ReadFile(EntryFile(3)));
    Save(saved);
    EXPECT_EQ(ReadFile(saved), ReadFile(EntryFile(1)));
    EXPECT_EQ(dialogs.questions, Strings(2, saved));
    EXPECT_EQ(dialogs.offeredAll, "00");
    EXPECT_EQ(dialogs.notices.size(), 2u) << "none after a declined copy";
#ifndef _WIN32 // Windows' links need rights to make, and the program names no link's target there
    const std::string link = folder / "verweis.wav";
    ASSERT_EQ(::symlink("x.wav", link.c_str()), 0);
    Save(link); // declined: the question names the file the link leads to
    EXPECT_EQ(dialogs.questions.at(2), link + " → " + saved);
#endif

    const std::string nowhere = Save(dir / "nirgends" / "x.wav"); // a copy that fails: told why, no notice
    Logic().run(Command::Save);                                   // cancelled: nothing at all
    EXPECT_EQ(Joined(dialogs.messages),
              "Chunk Picker|„Sound001 aus sounds.ffl.wav“ konnte nicht nach „" + nowhere
                  + "“ kopiert werden.\n\nFehler beim Anlegen von '" + nowhere + "': " + NoFolderText());

    // Ticked once, the notice stays away.
    EXPECT_EQ(backend.values["FileSavedMsg"], "Wahr");
    Save(folder / "y.wav");
    EXPECT_EQ(dialogs.saved.back().initialDir, folder) << "the folder of the last Save";
    EXPECT_TRUE(cp::nameTaken(folder / "y.wav"));
    EXPECT_EQ(dialogs.notices.size(), 2u);
}

TEST_F(LogicTest, SaveAllCopiesEveryEntryInOrderAndTellsOnceWhatFailed)
{
    Logic().start();
    Logic().run(Command::SaveAll); // no file: no picker
    Open();
    Logic().run(Command::Save); // no entry current: no dialog
    EXPECT_TRUE(dialogs.saved.empty());
    Logic().run(Command::SaveAll); // cancelled in the picker: nothing happens
    EXPECT_EQ(dialogs.folderStarts, Strings {"Zielverzeichnis:"}) << "no such folder as the default: none preselected";
    EXPECT_EQ(settings.value("SaveAllPath", "x"), "x");
    auto name = [&](int entry) { return cp::fileNamePart(EntryFile(entry)); };

    // Every file there already: the replies; per entry 1 replaced or 0 kept; the questions asked.
    const std::tuple<std::deque<Replace>, std::string, std::size_t> answers[]
        = {{{Replace::No, Replace::YesToAll}, "011", 2},
           {{Replace::NoToAll}, "000", 1},
           {{Replace::Yes, Replace::Cancel}, "100", 2}};
    std::string pathWhileCopying;
    dialogs.keepCopying = [&] {
        pathWhileCopying = settings.value("SaveAllPath", "");
        return true;
    };
    for (const auto& [replies, replaced, questions] : answers) {
        const std::string folder = dir / ("alle" + std::to_string(questions) + replaced);
        std::filesystem::create_directory(native(folder));
        for (int i = 1; i <= 3; ++i)
            WriteFile(folder / name(i), Text("alt"));
        dialogs.replies = replies;
        dialogs.questions.clear();
        pathWhileCopying.clear();
        dialogs.progressShown.clear();
        EXPECT_EQ(SaveAllInto(folder).size(), 3u);
        // Written before the copying starts; a file declined is not copied at all.
        EXPECT_EQ(pathWhileCopying, replaced == "000" ? "" : folder);
        EXPECT_EQ(dialogs.questions.size(), questions);
        EXPECT_EQ(Joined(dialogs.progressShown).substr(0, 7), replaced == "000" ? "" : "0/30852")
            << "counted over all the entries picked";
        EXPECT_EQ(dialogs.questions.at(0), folder / name(1)) << "in order";
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(ReadFile(folder / name(i)), replaced[i - 1] == '1' ? ReadFile(EntryFile(i)) : Text("alt"));
    }
    dialogs.folders = {dir / "alle2011"};
    Logic().saveEntries({1}, cp::DialogOwner::EntryList); // one entry picked in the list; declined
    EXPECT_EQ(dialogs.offeredAll, "111110") << "\"all\" offered where there are other files";

    // A file made under the first name as the copies start: asked about then, and replaced.
    const std::string late = dir / "spät";
    dialogs.keepCopying = [&] {
        if (!std::filesystem::exists(native(late / name(1))))
            WriteFile(late / name(1), Text("alt"));
        return true;
    };
    dialogs.questions.clear();
    dialogs.replies = {Replace::Yes};
    EXPECT_EQ(SaveAllInto(late).size(), 3u);
    EXPECT_EQ(dialogs.questions, Strings {late / name(1)});
    EXPECT_EQ(ReadFile(late / name(1)), ReadFile(EntryFile(1)));

    dialogs.keepCopying = [] { return false; }; // cancelled in the progress window: nothing, not even half
    EXPECT_TRUE(SaveAllInto(dir / "dritte").empty()) << "a cancel copies nothing";
    EXPECT_TRUE(dialogs.messages.empty()) << "a cancel is silent";
    dialogs.keepCopying = [] { return true; };

    // Two entry files gone: both fail, the third is copied, one message tells.
    std::filesystem::remove(native(EntryFile(1)));
    std::filesystem::remove(native(EntryFile(2)));
    EXPECT_EQ(SaveAllInto(dir / "zweite"), Strings {name(3)});
    EXPECT_EQ(dialogs.folderStarts.back(), "Zielverzeichnis:" + dir / "dritte");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].rfind("„" + name(1), 0), 0u) << dialogs.messages[1];
    EXPECT_NE(dialogs.messages[1].find("Insgesamt konnten 2 Dateien nicht kopiert werden."), std::string::npos);

    // Closed (by a signal) while copying: the copy under way ends, no other starts, then the window goes.
    Open();
    bool closable = true;
    dialogs.keepCopying = [&] {
        closable = Logic().requestClose();
        return true;
    };
    EXPECT_EQ(SaveAllInto(dir / "vierte"), Strings {name(1)});
    EXPECT_FALSE(closable);
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(face.events.back(), "end 0");
}

TEST_F(LogicTest, SaveOriginalsWritesEachTrimmedUnderItsOwnNameAndAFilmShowsItsPlayingTime)
{
    const Bytes a = MakeWave(8000, 100), b = MakeWave(11025, 50);
    const Bytes info = Chunk("LIST", Concat({Text("INFO"), Chunk("INAM", Text("a"))}));
    const Bytes titled = Riff("WAVE", Concat({Chunk("fmt ", Fmt(1, 1, 8000, 16)), Chunk("data", Junk(800)), info}));
    const Bytes avih = Chunk("avih", Concat({Le(40000, 4), Bytes(12, 0), Le(50, 4), Bytes(36, 0)}));
    const Bytes film = Riff("AVI ", Chunk("LIST", Concat({Text("hdrl"), avih}))); // 50 frames of 40 ms
    const Bytes tar = Concat({TarMember("a.wav", a), TarMember("b.wav", b), Bytes(1024, 0)});
    WriteFile(archivePath, Concat({tar, titled, Bytes(700, 0), film}));
    Open();
    const std::string folder = dir / "Originale";
    std::filesystem::create_directory(native(folder));
    WriteFile(folder / "b.wav", Text("alt"));
    std::filesystem::create_directory(native(folder / "a.wav")); // a folder is no file to replace
    dialogs.folders = {folder};
    dialogs.replies = {Replace::Yes};
    Logic().saveOriginals({1, 2, 3}, cp::DialogOwner::EntryList);
    EXPECT_EQ(dialogs.folderStarts, Strings {"Zielverzeichnis:"}) << "Save all's folder picker";
    EXPECT_EQ(dialogs.questions, Strings {folder / "b.wav"}) << "asked only for the file there before";
    EXPECT_EQ(ListFolder(folder), (Strings {"a (2).wav", "a (3).wav", "a.wav", "b.wav"}))
        << "the title's name was taken";
    EXPECT_EQ(ReadFile(folder / "a (2).wav"), a);
    EXPECT_EQ(ReadFile(folder / "b.wav"), b);
    EXPECT_EQ(ReadFile(folder / "a (3).wav"), titled);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(settings.value("SaveAllPath", ""), folder);
    dialogs.folders = {folder};
    Logic().saveOriginals({2}, cp::DialogOwner::EntryList); // declined
    EXPECT_EQ(dialogs.offeredAll, "10") << "no \"all\" for a single file";
    Logic().pick(4);
    EXPECT_EQ(View().entryLength, "2,0 Sekunden") << "from the film's header";
}

TEST_F(LogicTest, StartUpScanInteractiveAndBatchAndItsFailures)
{
#ifdef _WIN32 // names are UTF-16 there: none that is no UTF-8
    const std::string name = "\u00ff\u00fe.ffl", shown = name;
#else // bytes that are no UTF-8 reach the file system as they are
    const std::string name = "\xff\xfe.ffl", shown = "\uFFFD\uFFFD.ffl";
#endif
    startup.sourceFile = dir / name;
    WriteFile(startup.sourceFile, archive);
    EXPECT_FALSE(Logic().start()) << "interactive: the window stays";
    EXPECT_EQ(View().entryCount + "|" + View().caption, "3|" + shown + " - Chunk Picker") << "shown in UTF-8";
    startup.sourceFile = dir / "weg.ffl";
    Restart();
    EXPECT_FALSE(Logic().start());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].rfind("In der Prozedur 'Form_Load'", 0), 0u) << dialogs.messages[1];
    Restart();
    dialogs.onMessage = [&] { logic->requestClose(); };
    EXPECT_EQ(Logic().start(), std::optional<int>(0)) << "closed while its failure shows";
    dialogs.onMessage = [] {};
    startup.targetGiven = true;
    Restart();
    EXPECT_EQ(Logic().start(), std::optional<int>(1)) << "a failed batch ends with status 1, no box";
    EXPECT_EQ(dialogs.messages.size(), 4u);
    startup.sourceFile = archivePath;
    Restart();
    EXPECT_EQ(Logic().start(), std::optional<int>(0)) << "a batch run ends with its scan";
    EXPECT_EQ(View().fileSize, "31.852 Byte") << "shown as it runs";
    Restart();
    EXPECT_EQ(ListFolder(target).size(), 3u) << "a batch run's entry files are its output";
    // Closed before its scan: a batch run as interrupted, the window as closed.
    for (const auto& [batch, status] : {std::pair(true, 130), std::pair(false, 0)}) {
        startup.targetGiven = batch;
        Restart();
        Logic().requestClose();
        EXPECT_EQ(Logic().start(), std::optional<int>(status)) << "batch " << batch;
    }
}

} // namespace
