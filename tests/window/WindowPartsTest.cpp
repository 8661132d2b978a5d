// SPDX-License-Identifier: GPL-3.0-or-later
// The objects the window is a shell over, each without a window: the entry
// browser and the saver.
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
#include "scan/ScanError.h"
#include "scan/ScanFixture.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "window/EntryBrowser.h"
#include "window/EntrySaver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>

#include <sys/stat.h>

using namespace cptest;

namespace {

class WindowParts : public ::testing::Test {
protected:
    TempDir dir;
    cp::EntryFolder folder {dir / "temp"};
    std::string source = dir / "Spiel.ffl";
    QSettings qsettings {QString::fromStdString(dir / "settings.conf"), QSettings::IniFormat};
    cp::SettingsStore settings {qsettings};
    void SetUp() override
    {
        ::mkdir(folder.path.c_str(), 0755);
        WriteFile(source, Text("..RIFFaRIFFbbRIFFccc"));
    }
    cp::ScanResult Scan()
    {
        cp::ScanResult result;
        cp::WaveEntryScanner(folder).scanFile(source, result);
        return result;
    }
};

TEST_F(WindowParts, TheBrowserStepsRoundGoesOnlyToEntriesAndReleasesItsFilesOnce)
{
    cp::EntryBrowser entries;
    EXPECT_FALSE(entries.next()) << "nothing to step through";
    EXPECT_FALSE(entries.previous());
    entries.replace(Scan());
    EXPECT_EQ(entries.current(), 0) << "a new scan starts with none current";
    const auto path = [&](int steps) {
        std::string trail;
        for (int i = 0; i < steps; ++i)
            entries.next(), trail += std::to_string(entries.current());
        return trail;
    };
    EXPECT_TRUE(entries.previous());
    EXPECT_EQ(entries.current(), 3) << "back from none is the last";
    EXPECT_EQ(path(4), "1231");
    entries.previous();
    EXPECT_EQ(entries.current(), 3) << "back from the first is the last";
    for (const std::int64_t outside : {0, 4})
        EXPECT_FALSE(entries.goTo(outside)) << outside;
    EXPECT_EQ(entries.current(), 3) << "a refused entry changes nothing";
    EXPECT_TRUE(entries.goTo(2));
    EXPECT_EQ(ReadFile(entries.currentFile()), Text("RIFFbb"));

    Recorder device;
    entries.release(&device);
    EXPECT_EQ(device.closes, 1) << "the device lets go before the files go";
    EXPECT_TRUE(ListFolder(folder.path).empty());
    EXPECT_EQ(entries.count(), 0);
    EXPECT_EQ(entries.current(), 0);
    entries.release(&device);
    EXPECT_EQ(device.closes, 1) << "nothing left to let go of";
    WriteFile(source, Text("RIFFeins")), entries.replace(Scan());
    EXPECT_TRUE(entries.next()) << "one entry to step onto";
    EXPECT_EQ(entries.previous() ? entries.current() : -1, 1) << "and back: the same";
}

class SaverTest : public WindowParts {
protected:
    ScriptedDialogs dialogs;
    cp::EntryBrowser entries;
    bool closing = false;
    cp::EntrySaver saver {{entries, settings, dialogs, QString::fromStdString(dir.path()), [this] { return closing; }}};
};

TEST_F(SaverTest, ProposesTheCountAsThreeDigitsOrAsTyped)
{
    QStringList names;
    for (const char* count : {"7", "-3", "1234", "a/b"}) {
        settings.setValue("Count", count);
        names << saver.proposedName();
    }
    EXPECT_EQ(names.join(" "), "Sound007.wav Sound-003.wav Sound1234.wav Sounda_b.wav");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
