// The window offscreen, in German, on the real engine, settings and audio
// (dummy driver); only the dialogs answer from the test.
#include "dialogs/UserDialogs.h"
#include "playback/SdlAudioOutput.h"
#include "playback/WaveDevice.h"
#include "startup/SettingsStore.h"
#include "support/Fixtures.h"
#include "window/MainWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>

using namespace cptest;
using cp::MainWindow;

namespace {

class ScriptedDialogs final : public cp::UserDialogs {
public:
    std::deque<std::optional<OpenFileResult>> answers; // nullopt: the user cancels
    std::vector<OpenFile> requests;
    std::vector<std::pair<QString, QString>> messages;
    std::function<void()> whileOpen; // runs while the dialog would be up

    std::optional<OpenFileResult> openFile(QWidget*, const OpenFile& request) override
    {
        requests.push_back(request);
        if (whileOpen)
            whileOpen();
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void message(QWidget*, const QString& caption, const QString& text) override { messages.emplace_back(caption, text); }
};

class WindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "temp";
    cp::StartupState startup;
    cp::EntryTable table;
    std::unique_ptr<QSettings> qsettings;
    std::unique_ptr<cp::SettingsStore> settings;
    cp::SdlAudioOutput audio;
    cp::WaveDevice device {&audio};
    cp::SoundPlayer player {&audio};
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    Bytes archive;
    std::string archivePath = dir / "Spiel daten.ffl";

    void SetUp() override
    {
        QDir().mkpath(QString::fromStdString(target));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir / "config"));
        qsettings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Oxbrook", "Chunkpicker");
        settings = std::make_unique<cp::SettingsStore>(*qsettings);
        startup.TargetFolder = target;
        // 1,000 bytes of header, a 600 ms wave, junk, a bare RIFF form, a 250 ms wave.
        archive = Concat({Junk(1000), MakeWave(11025, 600), Junk(300, 2), Text("RIFF"), Junk(50, 3),
                          MakeWave(8000, 250, 660)});
        WriteFile(archivePath, archive);
    }
    void TearDown() override
    {
        window.reset();
        QApplication::processEvents();
    }

    MainWindow& Window()
    {
        if (!window)
            window = std::make_unique<MainWindow>(
                MainWindow::Context {table, startup, *settings, device, player, dialogs, QString::fromStdString(dir.path())});
        return *window;
    }
    QString Field(const char* name) { return Window().findChild<QLineEdit*>(name)->text(); }
    QString EntryCaption() { return Window().findChild<QGroupBox*>("Frame(1)")->title(); }
    std::vector<int> Enabled()
    {
        std::vector<int> on;
        for (int i : {1, 2, 4, 5, 6, 7, 8})
            if (Window().button(i)->isEnabled())
                on.push_back(i);
        return on;
    }
    void Tick() { QTest::qWait(130); } // one playback timer tick at least
    void OpenArchive()
    {
        dialogs.answers.push_back(cp::UserDialogs::OpenFileResult {QString::fromStdString(archivePath), 5});
        Window().tlbMain_ButtonClick(MainWindow::Open);
    }
};

TEST_F(WindowTest, DesignTextsBeforeTheFirstScan)
{
    ASSERT_FALSE(Window().Form_Load());
    EXPECT_EQ(Window().windowTitle(), "Chunk Picker");
    EXPECT_EQ(Field("txtFilesize"), "0 Byte");
    EXPECT_EQ(Field("txtEntrycount"), "0");
    EXPECT_EQ(Field("txtUnknownData"), "0%");
    EXPECT_EQ(Field("txtEntrysize"), "0 Byte");
    EXPECT_EQ(Field("txtEntryLength"), "0");
    EXPECT_EQ(Field("txtQuality"), "mies");
    EXPECT_EQ(Window().findChild<QGroupBox*>("Frame(0)")->title(), "gesamte Datei");
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag");
    EXPECT_EQ(Window().findChild<QCheckBox*>("chkLoop")->text(), "Endlos abspielen");
    EXPECT_EQ(Enabled(), std::vector<int> {1});
    Tick();
    EXPECT_EQ(Field("txtStatus"), "nicht geöffnet");

    // Layout: twips at 96 dpi, fixed size, value fields not focusable.
    EXPECT_EQ(Window().twipsToPixels(6465), 431);
    EXPECT_EQ(Window().size(), QSize(431, 177));
    EXPECT_EQ(Window().minimumSize(), Window().maximumSize());
    EXPECT_FALSE(Window().windowFlags() & Qt::WindowMaximizeButtonHint);
    for (auto* field : Window().findChildren<QLineEdit*>()) {
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_EQ(field->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(field->alignment() & Qt::AlignRight);
    }
    EXPECT_EQ(Window().findChild<QSlider*>("sldTime")->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(Window().button(3)->isSeparator());
    const char* tips[] = {"Datei öffnen", "Alle gefundenen Einträge speichern", "",
                          "zum vorhergehenden Eintrag springen", "Eintrag abspielen", "Stoppen",
                          "aktuellen Eintrag speichern", "zum nächsten Eintrag springen"};
    for (int i = 1; i <= 8; ++i) {
        if (i != 3) {
            EXPECT_EQ(Window().button(i)->toolTip(), QString::fromUtf8(tips[i - 1]));
        }
    }
    EXPECT_FALSE(Window().windowIcon().isNull());
}

TEST_F(WindowTest, ScanNextPlayStopAndCancelledOpen)
{
    Window().Form_Load();
    OpenArchive();
    EXPECT_EQ(Window().windowTitle(), "Spiel daten.ffl - Chunk Picker");
    EXPECT_EQ(Field("txtEntrycount"), "3");
    EXPECT_EQ(Field("txtFilesize"), QString::fromStdString(
                                         QLocale().toString(qlonglong(archive.size())).toStdString() + " Byte"));
    EXPECT_EQ(Field("txtUnknownData"), QLocale().toString(100.0 * 1001 / double(archive.size()), 'f', 1) + "%")
        << "the share up to and including the first tag's first byte";
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: keiner");
    EXPECT_EQ(Field("txtEntryLength"), "0 Sekunden");
    EXPECT_EQ(Enabled(), (std::vector<int> {1, 2, 8}));
    EXPECT_EQ(Window().busyDepth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(table.EntryCount, 3);
    EXPECT_EQ(table.EntryFiles[0], target + "/Sound001 aus Spiel daten.ffl.wav");
    EXPECT_EQ(settings->GetRegSetting("Filter", "x"), "5");
    EXPECT_EQ(settings->GetRegSetting("FFLDir", "x"), QString::fromStdString(dir.path()));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filter, QString::fromUtf8(MainWindow::kOpenFilter));
    EXPECT_EQ(dialogs.requests[0].filterIndex, 0) << "Filter absent: index 0";
    EXPECT_EQ(dialogs.requests[0].initialDir, QString::fromStdString(dir.path())) << "the program folder";

    Window().tlbMain_ButtonClick(MainWindow::Next);
    const qint64 size1 = qint64(MakeWave(11025, 600).size() + 300);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 1/3");
    EXPECT_EQ(Field("txtEntrysize"), QLocale().toString(size1) + " Byte");
    EXPECT_EQ(Field("txtEntryLength"), "0,6 Sekunden");
    EXPECT_EQ(Field("txtQuality"), QLocale().toString(qRound64(size1 / 0.6)) + " Byte/Sek");
    EXPECT_EQ(Window().findChild<QSlider*>("sldTime")->maximum(), 600);
    EXPECT_EQ(Enabled(), (std::vector<int> {1, 2, 4, 7, 8}));
    Tick();
    EXPECT_EQ(Enabled(), (std::vector<int> {1, 2, 4, 5, 7, 8}));
    EXPECT_EQ(Field("txtStatus"), "angehalten");

    Window().tlbMain_ButtonClick(MainWindow::Play);
    Tick();
    EXPECT_EQ(Field("txtStatus"), "wird abgespielt");
    EXPECT_EQ(Enabled(), (std::vector<int> {1, 2, 4, 5, 6, 7, 8}));
    EXPECT_GT(Window().findChild<QSlider*>("sldTime")->value(), 0);
    Window().tlbMain_ButtonClick(MainWindow::Stop);
    Tick();
    EXPECT_EQ(Field("txtStatus"), "angehalten");
    EXPECT_EQ(Window().findChild<QSlider*>("sldTime")->value(), 0) << "Stop rewinds";
    EXPECT_EQ(Enabled(), (std::vector<int> {1, 2, 4, 5, 7, 8}));

    // A cancelled Open changes nothing.
    const auto files = table.EntryFiles;
    Window().tlbMain_ButtonClick(MainWindow::Open);
    EXPECT_EQ(table.EntryFiles, files);
    EXPECT_EQ(table.CurrentEntry, 1);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 1/3");
    EXPECT_EQ(settings->GetRegSetting("Filter", "x"), "5");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.requests.back().filterIndex, 5) << "the remembered filter";
    EXPECT_EQ(dialogs.requests.back().fileName, QString::fromStdString(archivePath));
    EXPECT_EQ(ListFolder(target).size(), 3u);
}

TEST_F(WindowTest, WrapAroundAndTheZeroLengthWords)
{
    Window().Form_Load();
    OpenArchive();
    Window().tlbMain_ButtonClick(MainWindow::Previous); // disabled on screen; from 0 it wraps to the last
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 3/3");
    Window().tlbMain_ButtonClick(MainWindow::Next);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 1/3");
    Window().tlbMain_ButtonClick(MainWindow::Next);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 2/3");
    EXPECT_EQ(Field("txtQuality"), "ganz schlecht") << "a bare RIFF form cannot be played";
    EXPECT_EQ(Field("txtEntryLength"), "0,0 Sekunden");
    EXPECT_EQ(Window().findChild<QSlider*>("sldTime")->maximum(), 600) << "keeps the previous range";
    Tick();
    EXPECT_EQ(Field("txtStatus"), "nicht geöffnet");
    Window().tlbMain_ButtonClick(MainWindow::Play);
    Tick();
    EXPECT_EQ(Field("txtStatus"), "nicht geöffnet");
    EXPECT_FALSE(Window().button(MainWindow::Stop)->isEnabled());
    Window().tlbMain_ButtonClick(MainWindow::Next);
    Window().tlbMain_ButtonClick(MainWindow::Previous);
    EXPECT_EQ(Field("txtQuality"), "nicht so toll");
    Window().tlbMain_ButtonClick(MainWindow::Next);
    Window().tlbMain_ButtonClick(MainWindow::Next);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 1/3") << "after the last comes the first";
    Window().tlbMain_ButtonClick(MainWindow::Separator);
    Window().tlbMain_ButtonClick(42);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 1/3");
}

TEST_F(WindowTest, FailuresShowTheErrorReport)
{
    Window().Form_Load();
    dialogs.answers.push_back(cp::UserDialogs::OpenFileResult {QString::fromStdString(dir / "weg.ffl"), 1});
    Window().tlbMain_ButtonClick(MainWindow::Open);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].first, "Fehler 53");
    EXPECT_TRUE(dialogs.messages[0].second.startsWith("In der Prozedur 'tlbMain_ButtonClick' trat folgender Fehler "
                                                      "auf: "));
    EXPECT_TRUE(dialogs.messages[0].second.contains("weg.ffl"));
    EXPECT_EQ(Window().windowTitle(), "weg.ffl - Chunk Picker");
    EXPECT_EQ(Window().busyDepth(), 0) << "a failed scan ends its busy stretch";
    EXPECT_NE(Window().childAt(12, 12), Window().findChild<QProgressBar*>("pgbParsing")) << "lowered again";

    // An entry file removed behind the program's back.
    OpenArchive();
    ::unlink(table.EntryFiles[0].c_str());
    Window().tlbMain_ButtonClick(MainWindow::Next);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].first, "Fehler 53");
}

TEST_F(WindowTest, TheProgressBarCoversTheToolbarDuringAScan)
{
    // Large enough for block mode, so the scan lets events through.
    WriteFile(archivePath, Concat({Junk(3'500'000), Text("RIFF"), Junk(10)}));
    Window().Form_Load();
    int checks = 0;
    auto* bar = Window().findChild<QProgressBar*>("pgbParsing");
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!Window().scanning())
            return;
        ++checks;
        const QPoint openButton(12, 12);
        EXPECT_EQ(Window().childAt(openButton), bar);
        EXPECT_EQ(Window().busyDepth(), 1);
        QTest::mouseClick(&Window(), Qt::LeftButton, {}, openButton); // must not start a second Open
    });
    probe.start(0);
    OpenArchive();
    probe.stop();
    EXPECT_GT(checks, 0);
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_NE(Window().childAt(12, 12), bar);
    EXPECT_EQ(Field("txtEntrycount"), "1");
}

TEST_F(WindowTest, ClosingDuringAScanEndsCleanly)
{
    WriteFile(archivePath, Concat({Text("RIFF"), Junk(3'500'000), Text("RIFF"), Junk(10)}));
    Window().Form_Load();
    OpenArchive(); // a first scan whose entries must go at the end
    ASSERT_EQ(ListFolder(target).size(), 2u);
    dialogs.answers.push_back(cp::UserDialogs::OpenFileResult {QString::fromStdString(archivePath), 1});
    QTimer::singleShot(0, &Window(), [&] { Window().close(); });
    Window().tlbMain_ButtonClick(MainWindow::Open);
    EXPECT_TRUE(ListFolder(target).empty()) << "no entry file stays, whole or half";
    EXPECT_EQ(Window().busyDepth(), 0);
    EXPECT_EQ(settings->GetRegSetting("Loop", "x"), "0");
    EXPECT_NE(settings->GetRegSetting("WindowPosX", "x"), "x");
}

TEST_F(WindowTest, ClosedWhileTheOpenDialogIsUpNothingIsScanned)
{
    Window().Form_Load();
    OpenArchive();
    dialogs.whileOpen = [&] { Window().close(); }; // as a SIGTERM does
    OpenArchive();
    EXPECT_TRUE(ListFolder(target).empty());
    EXPECT_NE(settings->GetRegSetting("WindowPosX", "x"), "x");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, PositionAndLoopBoxComeBackFromTheSettings)
{
    settings->SaveRegSetting("WindowPosX", "1500");
    settings->SaveRegSetting("WindowPosY", "-300000"); // far off screen: kept all the same
    settings->SaveRegSetting("Loop", "1");
    Window().Form_Load();
    EXPECT_EQ(Window().pos(), QPoint(100, -20000));
    EXPECT_TRUE(Window().findChild<QCheckBox*>("chkLoop")->isChecked());
    Window().move(30, 45);
    Window().findChild<QCheckBox*>("chkLoop")->click();
    Window().close();
    EXPECT_EQ(settings->GetRegSetting("WindowPosX", "x"), "450");
    EXPECT_EQ(settings->GetRegSetting("WindowPosY", "x"), "675");
    EXPECT_EQ(settings->GetRegSetting("Loop", "x"), "0");
}

TEST_F(WindowTest, FirstStartIsCentred)
{
    Window().Form_Load();
    const QRect screen = Window().screen()->geometry();
    EXPECT_NEAR(Window().x(), (screen.width() - 431) / 2, 1);
    EXPECT_NEAR(Window().y(), (screen.height() - 177) / 2, 1);
}

TEST_F(WindowTest, LoopModeRepeatsThroughThePlayerUntilStop)
{
    Window().Form_Load();
    OpenArchive();
    Window().tlbMain_ButtonClick(MainWindow::Next);
    Window().findChild<QCheckBox*>("chkLoop")->click();
    Tick();
    EXPECT_TRUE(Window().button(MainWindow::Stop)->isEnabled()) << "ticked box and an entry: Stop is offered";
    Window().tlbMain_ButtonClick(MainWindow::Play);
    EXPECT_TRUE(audio.playing(cp::Voice::Player));
    EXPECT_EQ(device.mode(), cp::WaveDevice::Stopped) << "the device is not used in loop mode";
    QTest::qWait(700); // longer than the entry
    EXPECT_TRUE(audio.playing(cp::Voice::Player));
    Window().findChild<QCheckBox*>("chkLoop")->click(); // any click on the box stops it
    EXPECT_FALSE(audio.playing(cp::Voice::Player));
    Window().findChild<QCheckBox*>("chkLoop")->click();
    Window().tlbMain_ButtonClick(MainWindow::Play);
    Window().tlbMain_ButtonClick(MainWindow::Stop);
    EXPECT_FALSE(audio.playing(cp::Voice::Player));
}

TEST_F(WindowTest, StartUpScanOfANamedSourceAndBatchEnd)
{
    startup.SourceFile = archivePath;
    EXPECT_FALSE(Window().Form_Load()) << "interactive: the window stays";
    EXPECT_EQ(Field("txtEntrycount"), "3");
    window.reset();
    QDir(QString::fromStdString(target)).removeRecursively();
    QDir().mkpath(QString::fromStdString(target));

    startup.TargetGiven = true;
    table = cp::EntryTable();
    EXPECT_EQ(Window().Form_Load(), std::optional<int>(0)) << "a batch run ends with its scan";
    EXPECT_EQ(ListFolder(target).size(), 3u);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
