// SPDX-License-Identifier: GPL-3.0-or-later
// The window offscreen, in German on a 144 dpi screen (so nothing may assume
// 96), on the real engine, settings and audio (dummy driver); the dialogs
// answer from the test, except where Qt's own file dialog is the subject.
#include "base/PathHelpers.h"
#include "window/QtUserDialogs.h"
#include "playback/SdlAudioOutput.h"
#include "playback/EntryPlayer.h"
#include "playback/WaveDevice.h"
#include "logic/SettingsStore.h"
#include "logic/ShownScan.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "window/EntryListWindow.h"
#include "window/QtSettings.h"
#include "window/MainWindow.h"
#include "window/NoticeDialog.h"
#include "window/QtNumberStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QMenu>
#include <QMimeData>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cstring>
#include <functional>
#include <tuple>

#include <sys/stat.h>

using namespace cptest;
using cp::Command;
using cp::MainWindow;

namespace {

// Answers the file dialog about to open, once it is up.
void WhenDialogOpens(const std::function<void(QFileDialog*)>& answer)
{
    QTimer::singleShot(0, [answer] {
        ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }));
        answer(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
    });
}

// Calls act once with each modal dialog that opens while it lives.
struct ModalWatch : QTimer {
    QPointer<QWidget> last;
    explicit ModalWatch(const std::function<void(QWidget*)>& act)
    {
        connect(this, &QTimer::timeout, [this, act] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != last) {
                last = modal;
                act(modal);
            }
        });
        start(20);
    }
};

// A window closed before has told the application to quit, which ends every
// later dialog at once; the program's next start begins without that.
void AnotherStart()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// First: a window closed later asks the application to quit, and from then
// on no dialog's own event loop would run in this process.
TEST(RealFileDialogs, OpenRemembersTheFilterSaveAddsTheSuffixThePickerStartsInTheFolder)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    WriteFile(dir / "sound.uax", Text("RIFF"));
    WhenDialogOpens([](QFileDialog* dialog) {
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        EXPECT_EQ(types->currentIndex(), 1) << "the stored filter is preselected";
        types->setCurrentIndex(2);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(cp::nameFiltersFromPairs("Alle (*.*)|*.*|Wave|*.wav;*.wave").join("|"),
              "Alle (*.*) (*)|Wave (*.wav *.wave)")
        << "any file, also one without a dot; several patterns";
    cp::QtUserDialogs dialogs;
    const auto chosen = dialogs.openFile(cp::DialogOwner::MainWindow,
                                         {folder.toStdString(), cp::MainWindowLogic::kOpenFilter, 2, "sound.uax"});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->fileName + std::to_string(chosen->filterIndex), folder.toStdString() + "/sound.uax3")
        << "the name the last use left";
    WhenDialogOpens([](QFileDialog* dialog) { QMetaObject::invokeMethod(dialog, "reject"); });
    EXPECT_FALSE(dialogs.openFile(cp::DialogOwner::MainWindow,
                                  {folder.toStdString(), cp::MainWindowLogic::kOpenFilter, 2, "sound.uax"}))
        << "cancelled";

    WhenDialogOpens([](QFileDialog* dialog) {
        dialog->selectFile("sound");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(dialogs.saveFile(cp::DialogOwner::MainWindow,
                               {folder.toStdString(), "Wave-Dateien (*.wav)|*.wav", "wav", "x.wav"}),
              folder.toStdString() + "/sound.wav");
    WriteFile(dir / "da.wav", {}); // replacing is the copy's question, not the dialog's
    WhenDialogOpens([](QFileDialog* dialog) { QMetaObject::invokeMethod(dialog, "accept"); });
    EXPECT_EQ(dialogs.saveFile(cp::DialogOwner::MainWindow, {folder.toStdString(), "", "wav", "da.wav"}),
              folder.toStdString() + "/da.wav");

    const QString target = folder + "/Ziel"; // not where the last dialog was
    ::mkdir((dir / "Ziel").c_str(), 0755);
    for (const bool confirm : {true, false}) {
        WhenDialogOpens([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle() + dialog->directory().path() + QString::number(dialog->fileMode())
                          + QString::number(dialog->testOption(QFileDialog::ShowDirsOnly)),
                      "Zielverzeichnis" + target + QString::number(QFileDialog::Directory) + "1")
                << "folders only";
            QMetaObject::invokeMethod(dialog, confirm ? "accept" : "reject");
        });
        EXPECT_EQ(cp::browseForFolder(nullptr, "Zielverzeichnis", target), confirm ? target : QString());
    }
}

TEST(RealFileDialogs, TheNoticeShowsItsTextAndTellsWhetherTheBoxWasTickedWhenConfirmed)
{
    // The key that ends it (none: a click on OK), the box ticked, what it returns, "never again".
    const std::tuple<int, bool, int, bool> ways[] = {{0, true, QDialog::Accepted, true},
                                                     {Qt::Key_Return, false, QDialog::Accepted, false},
                                                     {Qt::Key_Escape, true, QDialog::Rejected, false}};
    for (const auto& [key, ticked, result, neverAgain] : ways) {
        cp::NoticeDialog notice;
        notice.setText("Zeile eins\r\nZeile zwei");
        EXPECT_EQ(notice.findChild<QPlainTextEdit*>("Label")->toPlainText(), "Zeile eins\nZeile zwei");
        QTimer::singleShot(0, [&] {
            notice.findChild<QCheckBox*>("chkShowAgain")->setChecked(ticked);
            if (key == 0)
                QTest::mouseClick(notice.findChild<QPushButton*>("bttnOK"), Qt::LeftButton);
            else
                QTest::keyClick(&notice, Qt::Key(key));
            if (notice.isVisible())
                notice.done(-1); // nothing ended it
        });
        EXPECT_EQ(notice.exec(), result) << key;
        EXPECT_EQ(notice.neverAgain(), neverAgain) << key;
    }
}

class WindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir / "temp", archivePath = dir / "Spiel daten.ffl";
    cp::StartupState startup {"", target, false};
    cp::EntryFolder entryFolder {target};
    QSettings qsettings {QString::fromStdString(dir / "settings.conf"), QSettings::IniFormat};
    cp::QtSettings backend {qsettings};
    cp::SettingsStore settings {backend};
    cp::SdlAudioOutput audio;
    cp::WaveDevice device {&audio};
    cp::SoundPlayer looper {&audio};
    cp::EntryPlayer player {device, looper};
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    // 1,000 bytes of header, a 1.2 s wave, junk, a bare RIFF form, a 250 ms wave.
    Bytes archive = Concat({Junk(1000), MakeWave(11025, 1200), Junk(300, 2), Text("RIFF"), MakeWave(8000, 250)});

    void SetUp() override
    {
        ::mkdir(target.c_str(), 0755);
        WriteFile(archivePath, archive);
    }
    MainWindow& Window()
    {
        if (!window)
            window.reset(new MainWindow(
                {entryFolder, startup, settings, player, dialogs, dir.path(), cp::numberStyleOf(QLocale())}));
        return *window;
    }
    std::string EntryFile(std::int64_t entry) { return Window().logic().entries().entryFile(entry); }
    // The toolbar's buttons by their places, the separator's third among them.
    QAction* Button(int place)
    {
        const Command commands[] = {Command::Open, Command::Open, Command::SaveAll, Command::Open, Command::Previous,
                                    Command::Play, Command::Stop, Command::Save,    Command::Next};
        return Window().action(commands[place]);
    }
    QString Field(const char* name) { return Window().findChild<QLineEdit*>(name)->text(); }
    QString EntryCaption() { return Window().findChild<QGroupBox*>("Frame(1)")->title(); }
    QCheckBox* LoopBox() { return Window().findChild<QCheckBox*>("chkLoop"); }
    QString Enabled() // the enabled buttons' numbers
    {
        QString on;
        for (int i : {1, 2, 4, 5, 6, 7, 8})
            on += Button(i)->isEnabled() ? QString::number(i) : "";
        return on;
    }
    QString MenuEnabled() // the same for the menu's commands; 9 and 10 go to the first and the last entry
    {
        const QStringList numbers {"1", "2", "4", "5", "6", "7", "8", "9", "10"};
        QString on;
        int n = 0;
        for (QAction* item : Window().commandMenu()->actions())
            on += item->isSeparator() ? QString() : numbers.value(n++).repeated(item->isEnabled());
        return on;
    }
    void Press(QKeyCombination key) { QTest::keyClick(&Window(), key.key(), key.keyboardModifiers()); }
    // The commands the menu that shows offers (as MenuEnabled); "-" where none shows or
    // the whole menu is disabled, which X11 does not show at all.
    std::string RightClick(QWidget* on)
    {
        QContextMenuEvent click(QContextMenuEvent::Mouse, {3, 3}, on->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(on, &click);
        std::string usable = "-";
        if (Window().commandMenu()->isVisible() && Window().commandMenu()->isEnabled())
            usable = MenuEnabled().toStdString();
        Window().commandMenu()->hide();
        QCoreApplication::processEvents(); // offscreen, the menu's activation would come after this
        QApplication::setActiveWindow(&Window());
        return usable;
    }
    // Drags the files from the file manager over the window and drops them;
    // which of entering, moving and dropping it takes, a 1 or 0 each.
    QString Drag(const std::vector<std::string>& paths)
    {
        QByteArray list;
        for (const auto& path : paths)
            list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
        QMimeData mime;
        mime.setData("text/uri-list", list);
        QDragEnterEvent enter({20, 20}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDragMoveEvent move({20, 20}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QString taken;
        for (QDropEvent* event : std::initializer_list<QDropEvent*> {&enter, &move, &dropped}) {
            QApplication::sendEvent(&Window(), event);
            taken += event->isAccepted() ? "1" : "0";
        }
        return taken;
    }
    void Click(Command command) { Window().runCommand(command); }
    void Open(const std::string& path = {})
    {
        dialogs.files.push_back(cp::UserDialogs::OpenFileResult {path.empty() ? archivePath : path, 5});
        Click(Command::Open);
    }
};

TEST_F(WindowTest, DesignTextsAndALayoutThatScales)
{
    ASSERT_FALSE(Window().start());
    QString captions;
    for (int i = 0; i < 7; ++i)
        captions += Window().findChild<QLabel*>(QStringLiteral("Label(%1)").arg(i))->text();
    EXPECT_EQ(captions, "Größe:Einträge:nicht erkannte Daten:Qualität:Länge:Größe:Status:");
    QString groups; // each figure in its group
    for (const char* name : {"txtFilesize", "txtEntrycount", "txtUnknownData", "txtEntrysize", "txtEntryLength",
                             "txtQuality", "txtStatus"})
        groups += Window().findChild<QLineEdit*>(name)->parentWidget()->objectName().mid(6, 1); // Frame(n)
    EXPECT_EQ(groups, "0001111");
    EXPECT_EQ(Field("txtUnknownData") + Enabled(), "0%1");
    EXPECT_EQ(Button(1)->icon().pixmap(24).toImage().pixelColor(0, 0).alpha(), 0) << "see-through corners";
    // A disabled button's picture is grey and half see-through.
    const QImage shown = Button(7)->icon().pixmap(24).toImage();
    const QImage greyed = Button(7)->icon().pixmap(24, QIcon::Disabled).toImage();
    int opaque = 0;
    for (int i = 0; i < 24 * 24; ++i) {
        const QRgb was = shown.pixel(i % 24, i / 24), is = greyed.pixel(i % 24, i / 24);
        opaque += qAlpha(was) == 255;
        EXPECT_EQ(qAlpha(is), qAlpha(was) / 2) << "pixel " << i;
        EXPECT_EQ(is & 0xFFFFFFu, qBlue(is) * 0x010101u) << "grey: pixel " << i;
    }
    EXPECT_GT(opaque, 0);
    auto* toolbar = Window().findChild<QToolBar*>("tlbMain");
    EXPECT_EQ(QList<QSize>({Window().size(), toolbar->widgetForAction(Button(1))->size(), toolbar->iconSize()}),
              QList<QSize>({{647, 266}, {35, 33}, {24, 24}}))
        << "window, buttons and pictures grow with the resolution";
    for (int i : {1, 2, 4, 5, 6, 7, 8})
        EXPECT_EQ(toolbar->widgetForAction(Button(i))->accessibleName(), Button(i)->toolTip()) << "read out: " << i;
    // The loop box keeps its whole tick and caption, clear of the group beside it.
    EXPECT_TRUE(LoopBox()->size().expandedTo(LoopBox()->sizeHint()) == LoopBox()->size());
    EXPECT_LT(LoopBox()->geometry().right(), Window().findChild<QGroupBox*>("Frame(1)")->x());
    // A figure is never cut: a field takes its text, two pixels' margin each side and the cursor's one.
    const std::pair<const char*, const char*> widest[] = {
        {"txtEntrycount", "10000000"},
        {"txtFilesize", "26.843.545.600 Byte"},
        {"txtEntrysize", "26.843.545.600 Byte"},
        {"txtEntryLength", "2.147.483,6 Sekunden"},
        {"txtQuality", "26.843.545.600.000 Byte/Sek"},
        {"txtUnknownData", "100,0%"},
    };
    for (const auto& [name, text] : widest) {
        auto* field = Window().findChild<QLineEdit*>(name);
        field->setText(text);
        EXPECT_LE(field->fontMetrics().horizontalAdvance(text) + 5, field->width()) << name << " " << text;
    }
    // Wider still, a field grows to the left up to a space from its caption, then its type shrinks.
    auto* count = Window().findChild<QLineEdit*>("txtEntrycount");
    count->setText(QString(40, '8'));
    EXPECT_EQ(count->x() - Window().findChild<QLabel*>("Label(1)")->geometry().right() - 1,
              QFontMetrics(count->parentWidget()->font()).horizontalAdvance(' '));
    EXPECT_LT(count->font().pointSizeF(), 8.0);
    auto* size = Window().findChild<QLineEdit*>("txtFilesize");
    size->selectAll();
    EXPECT_FALSE(size->hasSelectedText()) << "a figure cannot be marked";
    EXPECT_EQ(Window().font().pointSizeF(), 8.0) << "the design's small type";
    EXPECT_EQ(Window().frameGeometry().center(), Window().screen()->geometry().center()) << "a first start, framed";
    qsettings.setValue("WindowPosX", "1500");
    qsettings.setValue("WindowPosY", "2000");
    window.reset();
    ASSERT_FALSE(Window().start());
    EXPECT_EQ(Window().pos(), QPoint(150, 200)) << "where the last start left it, in twips";
    Window().move(170, 220);
    Window().close();
    EXPECT_EQ(qsettings.value("WindowPosX").toString() + "," + qsettings.value("WindowPosY").toString(), "1700,2200");
}

// The view as the form draws it, and playback through the audio system and the clock.
TEST_F(WindowTest, DrawsTheViewAndPlaysStopsAndRewinds)
{
    Window().start();
    Open();
    Click(Command::Next);
    const cp::MainWindowView& view = Window().logic().view();
    const std::pair<const char*, std::string> fields[] = {
        {"txtEntrycount", view.entryCount}, {"txtFilesize", view.fileSize},       {"txtUnknownData", view.unknownData},
        {"txtEntrysize", view.entrySize},   {"txtEntryLength", view.entryLength}, {"txtQuality", view.quality}};
    for (const auto& [name, text] : fields)
        EXPECT_EQ(Field(name).toStdString(), text) << name;
    EXPECT_EQ((Window().windowTitle() + "|" + EntryCaption()).toStdString(), view.caption + "|" + view.entryTitle);
    EXPECT_EQ(Window().findChild<QSlider*>("sldTime")->maximum(), 1200);
    EXPECT_EQ(Window().findChild<QLineEdit*>("txtEntrysize")->toolTip().toStdString(), view.toolTip);
    EXPECT_EQ(Window().findChild<QGroupBox*>("Frame(1)")->toolTip().toStdString(), view.toolTip)
        << "the frame around the entry's figures shows it too";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Enabled() == "124578"; })) << Enabled().toStdString();
    Click(Command::Play);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Window().findChild<QSlider*>("sldTime")->value() > 0; })) << "it plays";
    EXPECT_EQ(Field("txtStatus") + Enabled(), "wird abgespielt1245678");
    Click(Command::Next); // stepping on ends the sound
    EXPECT_FALSE(audio.playing(cp::Voice::Device));
    Click(Command::Previous);
    Click(Command::Play);
    Click(Command::Stop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Field("txtStatus") == "angehalten"; })) << "Stop ends the sound";
    auto* slider = Window().findChild<QSlider*>("sldTime");
    EXPECT_EQ(slider->value(), 0) << "Stop rewinds";
    EXPECT_NE(slider->parentWidget()->childAt(slider->geometry().center()), slider) << "it only shows: clicks pass";
    LoopBox()->click();
    Click(Command::Play);
    ASSERT_TRUE(audio.playing(cp::Voice::Player)) << "looped";
    Window().close();
    EXPECT_FALSE(audio.playing(cp::Voice::Player)) << "the loop ends with the window";
}

// While a scan runs the face keeps answering: the progress bar covers the toolbar, the pointer is busy,
// and neither a click, a key, the menu nor a drop starts anything.
TEST_F(WindowTest, ALongScanRunsUnderTheProgressBarAndNothingElseStarts)
{
    Bytes big = Junk(3'500'000); // block mode, a tag every 10,000 bytes
    for (std::size_t at = 0; at < big.size(); at += 10'000)
        std::memcpy(&big[at], "RIFF", 4);
    WriteFile(archivePath, big);
    Window().start();
    const QPoint open = Window().findChild<QToolBar*>("tlbMain")->widgetForAction(Button(1))->geometry().center();
    int probes = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!Window().logic().scanning())
            return;
        ++probes;
        EXPECT_EQ(Window().childAt(open), Window().findChild<QProgressBar*>("pgbParsing"));
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << "busy while scanning";
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        QTest::mouseClick(&Window(), Qt::LeftButton, {}, open); // must not start a second Open
        Press(Qt::CTRL | Qt::Key_O);                            // nor may its keys, the menu or a drop
        EXPECT_EQ(RightClick(&Window()), "") << "a menu shows, every command greyed";
        EXPECT_EQ(Drag({archivePath}), "000");
    });
    probe.start(0);
    QApplication::setActiveWindow(&Window());
    Open();
    EXPECT_GT(probes, 0) << "answering while it scans";
    EXPECT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(Window().childAt(open)->objectName(), "Button1");
    EXPECT_EQ(Field("txtEntrycount"), "350");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the pointer as before once the scan is over";
}

TEST_F(WindowTest, KeysAndTheContextMenuWorkExactlyWhenTheButtonsDo)
{
    Window().start();
    QApplication::setActiveWindow(&Window());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window().isActiveWindow(); }));
    QStringList texts;
    for (QAction* item : Window().commandMenu()->actions())
        texts << item->text();
    EXPECT_EQ(texts.join("|"),
              "Datei öffnen\tStrg+O|Alle gefundenen Einträge speichern\tStrg+Umschalt+S||"
              "zum vorhergehenden Eintrag springen\tLinks, Bild auf|Eintrag abspielen\tEingabe|Stoppen\tEsc|"
              "aktuellen Eintrag speichern\tStrg+S|zum nächsten Eintrag springen\tRechts, Bild ab||"
              "zum ersten Eintrag springen\tPos1|zum letzten Eintrag springen\tEnde||Einträge\tF4");
    auto* toolbar = Window().findChild<QToolBar*>("tlbMain");
    EXPECT_EQ(toolbar->widgetForAction(Window().action(Command::Save))->toolTip(), "aktuellen Eintrag speichern");
    EXPECT_EQ(RightClick(Window().findChild<QLineEdit*>("txtStatus")), "1") << "anywhere in the window";
    EXPECT_EQ(RightClick(toolbar), "1");

    // No file, then three entries: the keys run what the buttons do, and only then.
    for (const bool entries : {false, true}) {
        if (entries) {
            dialogs.files.push_back({archivePath, 1});
            Press(Qt::CTRL | Qt::Key_O);
        }
        EXPECT_EQ(Field("txtEntrycount"), entries ? "3" : "0");
        EXPECT_TRUE(QTest::qWaitFor([&] { return MenuEnabled() == (entries ? "128910" : "1"); }))
            << MenuEnabled().toStdString();
        // a key, the entry it shows
        const std::pair<QKeyCombination, const char*> steps[]
            = {{Qt::Key_End, "3"},   {Qt::Key_Home, "1"}, {Qt::Key_PageDown, "2"},
               {Qt::Key_Right, "3"}, {Qt::Key_Left, "2"}, {Qt::Key_PageUp, "1"}};
        for (const auto& [key, shown] : steps) {
            Press(key);
            EXPECT_EQ(EntryCaption(), entries ? "aktueller Eintrag: " + QString(shown) + "/3" : "aktueller Eintrag");
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return MenuEnabled() == (entries ? "124578910" : "1"); }))
            << MenuEnabled().toStdString();
        EXPECT_EQ(Enabled() + (entries ? "910" : ""), MenuEnabled());
        Press(Qt::Key_Return);
        EXPECT_EQ(device.mode(), entries ? cp::WaveDevice::Playing : cp::WaveDevice::NotOpen);
        EXPECT_TRUE(QTest::qWaitFor([&] { return MenuEnabled() == (entries ? "1245678910" : "1"); }));
        Press(Qt::Key_Escape);
        EXPECT_NE(device.mode(), cp::WaveDevice::Playing);
        Press(Qt::CTRL | Qt::Key_S); // both dialogs cancelled
        Press(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        EXPECT_EQ(dialogs.saved.size(), entries ? 1u : 0u) << "Save's dialog";
        EXPECT_EQ(dialogs.folderStarts.size(), entries ? 1u : 0u) << "Save all's folder picker";
        dialogs.saved.clear();
        dialogs.folderStarts.clear();
    }
    Window().commandMenu()->actions().constFirst()->trigger(); // open, from the menu
    EXPECT_EQ(dialogs.opened.size(), 2u);
    LoopBox()->setFocus();
    QTest::keyClick(LoopBox(), Qt::Key_Space);
    EXPECT_TRUE(LoopBox()->isChecked()) << "Space stays the box's";
}

TEST_F(WindowTest, ADroppedFileIsOpenedByItsBytesAFolderIsRefused)
{
    Window().start();
    const std::string latin = dir / "T\xf6ne \xff.ffl"; // no UTF-8, as old archives are named
    WriteFile(latin, archive);
    EXPECT_EQ(Drag({dir.path(), latin}), "000") << "a folder first";
    EXPECT_EQ(Drag({latin, dir / "weg.ffl"}), "111");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Field("txtEntrycount") == "3"; }));
    EXPECT_EQ(Window().logic().entries().scan().sourceFile, latin) << "the first file, by its bytes";
}

TEST_F(WindowTest, TheEntryListPicksAndFollowsTheCurrentEntryAndSavesASelection)
{
    Window().start();
    QApplication::setActiveWindow(&Window());
    Press(Qt::Key_F4);
    cp::EntryListWindow* list = Window().entryList();
    ASSERT_TRUE(list);
    ASSERT_TRUE(list->isVisible());
    EXPECT_GT(list->y(), Window().frameGeometry().bottom()) << "first opened below the main window";
    const int screenWide = list->screen()->availableGeometry().width() - 40;
    EXPECT_GE(list->width(), std::min(list->view()->horizontalHeader()->length(), screenWide))
        << "as wide as its columns, where the screen has room";
    EXPECT_EQ(list->view()->horizontalHeader()->sortIndicatorSection(), -1) << "in entry order at first";
    EXPECT_TRUE(list->view()->horizontalHeader()->isSortIndicatorShown());
    QAction* saveOriginals = list->findChild<QAction*>("mnuSaveOriginals");
    EXPECT_FALSE(saveOriginals->isEnabled()) << "nothing selected";
    EXPECT_EQ(list->windowTitle().toStdString() + std::to_string(list->model().rowCount()), "Einträge0")
        << "empty before a scan";
    Open();
    ASSERT_EQ(list->model().rowCount(), 3) << "follows the scan";
    list->scanChanging();
    EXPECT_EQ(list->model().rowCount(), 0) << "nothing of a scan being replaced";
    list->scanChanged();
    QItemSelectionModel* selection = list->view()->selectionModel();
    selection->setCurrentIndex(list->model().index(1, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(EntryCaption(), "aktueller Eintrag: 2/3") << "a row picks the entry";
    Click(Command::Next);
    EXPECT_EQ(list->selectedEntries(), std::vector<std::int64_t> {3}) << "stepping moves the row";
    QApplication::setActiveWindow(list);
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_EQ(device.mode(), cp::WaveDevice::Playing);
    QTest::keyClick(list->view(), Qt::Key_Escape);
    EXPECT_NE(device.mode(), cp::WaveDevice::Playing);
    QTest::keyClick(list->findChild<QLineEdit*>(), Qt::Key_Return);
    EXPECT_NE(device.mode(), cp::WaveDevice::Playing) << "Return in the filter box only filters";
    for (int c = 0; c + 1 < cp::EntryListModel::ColumnCount; ++c)
        EXPECT_GE(list->view()->columnWidth(c), static_cast<QAbstractItemView*>(list->view())->sizeHintForColumn(c))
            << "column " << c << " is cut";

    const std::string folder = dir / "Auswahl";
    ::mkdir(folder.c_str(), 0755);
    dialogs.folders = {folder};
    list->view()->selectAll();
    QTest::keyClick(list->view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.folderStarts, std::vector<std::string> {"Zielverzeichnis:"}) << "Save all's folder picker";
    ASSERT_EQ(ListFolder(folder).size(), 3u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(ReadFile(folder + "/" + cp::fileNamePart(EntryFile(i))), ReadFile(EntryFile(i))) << "entry " << i;
    const std::string originals = dir / "Originale";
    ::mkdir(originals.c_str(), 0755);
    dialogs.folders = {originals};
    saveOriginals->trigger();
    EXPECT_EQ(ListFolder(originals).size(), 3u) << "the selection's originals";

    QTest::keyClicks(list->findChild<QLineEdit*>(), "mp3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->model().rowCount() == 0; })) << "filtered once the typing pauses";
    list->close();
    EXPECT_FALSE(settings.value("EntryListColumns", "").empty()) << "its column widths are kept";
    auto* frame = Window().findChild<QGroupBox*>("Frame(1)");
    for (QWidget* spot : {(QWidget*)frame, (QWidget*)frame->findChild<QLineEdit*>()}) {
        list->close();
        QTest::mouseDClick(spot, Qt::LeftButton);
        EXPECT_TRUE(list->isVisible()) << "a double-click on the current entry opens it again";
    }
}

TEST_F(WindowTest, TheEntryListFirstOpensOverTheWindowWhereFewRowsFitBelowIt)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    qsettings.setValue("WindowPosY", QString::number((screen.bottom() - 266 - 60) * 10)); // twips
    Window().start();
    QApplication::setActiveWindow(&Window());
    Press(Qt::Key_F4);
    cp::EntryListWindow* list = Window().entryList();
    ASSERT_TRUE(list);
    EXPECT_GE(list->height(), 8 * list->view()->verticalHeader()->defaultSectionSize());
    EXPECT_LT(list->y(), Window().frameGeometry().bottom());
}

// Qt's own question, failure message, notice and progress window. Answered
// late, none of them lies under a progress window; closed (as by a signal)
// while one waits, it goes as a cancel and the window ends as it always does.
TEST_F(WindowTest, NoProgressWindowCoversAQuestionAndACloseEndsOneThatWaits)
{
    cp::QtUserDialogs qt(true);
    dialogs.boxes = &qt;
    const std::string taken = dir / "da.wav", folder = dir / "alle";
    WriteFile(taken, Text("alt"));
    ::mkdir(folder.c_str(), 0755);
    // The button, the name or folder picked, the windows seen, whether the window is closed at the first.
    const std::tuple<Command, std::string, std::string, bool> rows[]
        = {{Command::SaveAll, folder, "Datei ersetzen|Chunk Picker", false},
           {Command::Save, taken, "Datei ersetzen", true},
           {Command::Save, dir / "nirgends/x.wav", "Chunk Picker", true},
           {Command::Save, dir / "neu.wav", "Chunk PickerfrmMessage", true}};
    for (const auto& [button, as, shown, closes] : rows) {
        AnotherStart();
        window.reset();
        qsettings.remove("Loop");
        Window().start();
        qt.setOwner(cp::DialogOwner::MainWindow, &Window());
        Open();
        Click(Command::Next);
        const std::string second = folder + "/" + cp::fileNamePart(EntryFile(2));
        WriteFile(second, Text("alt"));
        ::unlink(EntryFile(3).c_str()); // entry 3 fails, told at the end
        QStringList seen;
        ModalWatch watch([&](QWidget* modal) {
            seen << modal->windowTitle() + modal->objectName();
            if (qobject_cast<QMessageBox*>(modal)) {
                EXPECT_EQ(modal->parentWidget(), &Window()) << "over the window";
            }
            if (closes) {
                Window().close();
                return QTimer::singleShot(5000, modal, [modal] {
                    ADD_FAILURE() << "still open after the close";
                    modal->close();
                });
            }
            QTest::qWait(1500); // past the second after which a copy shows its progress
            int covering = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                covering += qobject_cast<QProgressDialog*>(w) && w->isVisible();
            EXPECT_EQ(covering, 0) << "a progress window over " << seen.join("|").toStdString();
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box && box->button(QMessageBox::No)) {
                EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No)) << "Enter keeps the old file";
            }
            if (box)
                box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
            else
                modal->close();
        });
        dialogs.saveAs = {as};
        dialogs.folders = {as};
        Click(button);
        EXPECT_EQ(seen.join("|").toStdString(), shown);
        EXPECT_EQ(ListFolder(target).empty(), closes) << shown << ": the entry files go with the window";
        EXPECT_EQ(settings.value("Loop", "x"), closes ? "0" : "x") << shown << ": the settings are written";
        EXPECT_EQ(ReadFile(second), closes ? Text("alt") : ReadFile(EntryFile(2))) << "Ja replaces";
    }
    EXPECT_EQ(ReadFile(taken), Text("alt"));
    const auto progress = qt.progress(cp::DialogOwner::MainWindow, "Der Eintrag wird kopiert …");
    std::string values; // the bar counts in thousandths
    for (const auto& [done, total] : {std::pair(0, 0), {1, 4}, {1, 1}}) {
        progress->update(done, total);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* bar = qobject_cast<QProgressDialog*>(w))
                values += std::to_string(bar->value()) + "|";
    }
    EXPECT_EQ(values, "0|250|1000|");
}

// The e2e-ish paths of the face: a file named at start is scanned; closed before its scan, the program ends.
TEST_F(WindowTest, ScansTheFileNamedAtStartAndEndsWhenClosedBeforeItsScan)
{
    startup.sourceFile = archivePath;
    qsettings.setValue("Loop", "2"); // the box's third state, which only a setting can bring
    EXPECT_FALSE(Window().start()) << "interactive: the window stays";
    EXPECT_EQ(Field("txtEntrycount"), "3");
    EXPECT_EQ(LoopBox()->checkState(), Qt::PartiallyChecked);
    std::string clicked; // once clicked, the box knows ticked and clear only
    for (int i = 0; i < 3; ++i) {
        LoopBox()->click();
        clicked += std::to_string(Window().logic().view().loop);
    }
    EXPECT_EQ(clicked, "101");
    for (const bool batch : {true, false}) {
        startup.targetGiven = batch;
        window.reset();
        QTimer::singleShot(0, [&] { window->close(); });
        EXPECT_EQ(Window().start(), std::optional<int>(batch ? 130 : 0)) << "closed before its scan, batch " << batch;
    }
    qsettings.sync();
    EXPECT_EQ(QSettings(QString::fromStdString(dir / "settings.conf"), QSettings::IniFormat).value("Loop"), "2")
        << "written for the next start";
}

} // namespace

int main(int argc, char** argv)
{
    TempDir config;
    WriteFile(config / "screen.json", Text(R"({"screens": [{"name": "Bildschirm", "x": 0, "y": 0, "width": 1600,
        "height": 1200, "logicalDpi": 144, "logicalBaseDpi": 144, "dpr": 1}]})"));
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QByteArray::fromStdString(config / "screen.json"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
