#include "MainWindow.h"

#include "dialogs/UserDialogs.h"
#include "playback/WaveDevice.h"
#include "scan/ScanError.h"
#include "scan/WaveEntryScanner.h"
#include "startup/BatchRun.h"
#include "startup/CommandLine.h"
#include "startup/ErrorReport.h"
#include "startup/NumberFormat.h"
#include "startup/PathHelpers.h"
#include "startup/SettingsStore.h"
#include "window/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>

namespace cp {

namespace {

constexpr int kClientWidth = 6465; // twips
constexpr int kClientHeight = 2655;
constexpr int kDisplayIntervalMs = 40; // how often a scan refreshes its figures

} // namespace

MainWindow::MainWindow(Context context)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(ApplicationIcon());
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    buildControls();
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));

    m_tmrPlay = new QTimer(this);
    m_tmrPlay->setObjectName(QStringLiteral("tmrPlay"));
    m_tmrPlay->setInterval(100);
    connect(m_tmrPlay, &QTimer::timeout, this, [this] { tmrPlay_Timer(); });
}

MainWindow::~MainWindow() = default;

double MainWindow::twipsPerPixel() const
{
    // 15 at 96 dots per inch.
    return 1440.0 / logicalDpiX();
}

int MainWindow::twipsToPixels(int twips) const
{
    return qRound(double(twips) / twipsPerPixel());
}

QLineEdit* MainWindow::valueField(QWidget* parent, const char* name, int left, int top, int width, const char* text)
{
    auto* field = new QLineEdit(QString::fromUtf8(text), parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFrame(false);
    field->setTextMargins(0, 0, 0, 0);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    // Looks like a label on the button face; transparent so that a wide
    // caption beside it is never painted over.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    field->setPalette(palette);
    field->setAutoFillBackground(false);
    field->setGeometry(twipsToPixels(left), twipsToPixels(top) - 1, twipsToPixels(width), twipsToPixels(195) + 2);
    return field;
}

void MainWindow::buildControls()
{
    auto at = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
    };
    auto label = [&](QWidget* parent, int index, const char* text, int left, int top, int width) {
        auto* l = new QLabel(QString::fromUtf8(text), parent);
        l->setObjectName(QStringLiteral("Label(%1)").arg(index));
        at(l, left, top, width, 195);
        // Fonts here are wider than the layout's; a caption keeps its whole text.
        l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
        return l;
    };

    // The progress bar lies in the toolbar strip, behind the toolbar until a scan raises it.
    m_pgbParsing = new QProgressBar(this);
    m_pgbParsing->setObjectName(QStringLiteral("pgbParsing"));
    m_pgbParsing->setRange(0, 100);
    m_pgbParsing->setValue(0);
    m_pgbParsing->setTextVisible(false);
    at(m_pgbParsing, 15, 30, 6405, 330);

    m_tlbMain = new QToolBar(this);
    m_tlbMain->setObjectName(QStringLiteral("tlbMain"));
    m_tlbMain->setMovable(false);
    m_tlbMain->setFloatable(false);
    m_tlbMain->setIconSize(QSize(16, 16));
    m_tlbMain->setContentsMargins(0, 0, 0, 0);
    m_tlbMain->layout()->setContentsMargins(1, 1, 1, 1);
    m_tlbMain->layout()->setSpacing(0);
    m_tlbMain->setAutoFillBackground(true);
    at(m_tlbMain, 0, 0, 6465, 390);
    const struct {
        const char* tooltip;
        const char* icon;
    } buttons[] = {
        {"Datei öffnen", "open"},
        {"Alle gefundenen Einträge speichern", "saveall"},
        {nullptr, nullptr},
        {"zum vorhergehenden Eintrag springen", "previous"},
        {"Eintrag abspielen", "play"},
        {"Stoppen", "stop"},
        {"aktuellen Eintrag speichern", "save"},
        {"zum nächsten Eintrag springen", "next"},
    };
    for (int i = 1; i <= 8; ++i) {
        const auto& b = buttons[i - 1];
        if (!b.tooltip) {
            m_buttons[std::size_t(i)] = m_tlbMain->addSeparator();
            continue;
        }
        QAction* action = m_tlbMain->addAction(ButtonIcon(QString::fromLatin1(b.icon)), QString());
        action->setToolTip(QString::fromUtf8(b.tooltip));
        action->setObjectName(QStringLiteral("Button%1").arg(i));
        if (QWidget* w = m_tlbMain->widgetForAction(action)) {
            w->setFixedSize(23, 22);
            w->setObjectName(QStringLiteral("Button%1").arg(i));
            w->setAccessibleName(QString::fromUtf8(b.tooltip));
        }
        connect(action, &QAction::triggered, this, [this, i] { tlbMain_ButtonClick(i); });
        m_buttons[std::size_t(i)] = action;
    }
    // Before the first scan only Open can be used.
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        m_buttons[std::size_t(i)]->setEnabled(false);
    m_pgbParsing->lower();

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, twipsToPixels(375) - 1, twipsToPixels(6450), 2);

    m_frame[0] = new QGroupBox(QStringLiteral("gesamte Datei"), this);
    m_frame[0]->setObjectName(QStringLiteral("Frame(0)"));
    at(m_frame[0], 225, 465, 2940, 1230);
    m_frame[1] = new QGroupBox(QStringLiteral("aktueller Eintrag"), this);
    m_frame[1]->setObjectName(QStringLiteral("Frame(1)"));
    at(m_frame[1], 3330, 465, 2940, 1545);

    // One row a figure: caption left, value field right, in twips within its group.
    const struct {
        int frame, labelIndex;
        const char* caption;
        int labelLeft, labelTop, labelWidth;
        QLineEdit* MainWindow::*field;
        const char* name;
        int left, top, width;
        const char* text;
    } rows[] = {
        {0, 0, "Größe:", 180, 300, 480, &MainWindow::m_txtFilesize, "txtFilesize", 945, 300, 1815, "0 Byte"},
        {0, 1, "Einträge:", 180, 570, 630, &MainWindow::m_txtEntrycount, "txtEntrycount", 2205, 577, 555, "0"},
        {0, 2, "nicht erkannte Daten:", 180, 855, 1545, &MainWindow::m_txtUnknownData, "txtUnknownData", 1860, 855,
         900, "0%"},
        {1, 5, "Größe:", 150, 285, 480, &MainWindow::m_txtEntrysize, "txtEntrysize", 915, 285, 1815, "0 Byte"},
        {1, 4, "Länge:", 150, 560, 495, &MainWindow::m_txtEntryLength, "txtEntryLength", 660, 555, 2070, "0"},
        {1, 3, "Qualität:", 150, 840, 585, &MainWindow::m_txtQuality, "txtQuality", 855, 840, 1875, "mies"},
        {1, 6, "Status:", 150, 1110, 495, &MainWindow::m_txtStatus, "txtStatus", 735, 1110, 1995, "angehalten"},
    };
    for (const auto& row : rows) {
        label(m_frame[row.frame], row.labelIndex, row.caption, row.labelLeft, row.labelTop, row.labelWidth);
        this->*row.field = valueField(m_frame[row.frame], row.name, row.left, row.top, row.width, row.text);
    }

    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(twipsToPixels(240), twipsToPixels(1905) - 1, twipsToPixels(1620 - 240), 2);

    m_chkLoop = new QCheckBox(QStringLiteral("Endlos abspielen"), this);
    m_chkLoop->setObjectName(QStringLiteral("chkLoop"));
    at(m_chkLoop, 1650, 1815, 1515, 195);
    m_chkLoop->resize(std::max(m_chkLoop->width(), m_chkLoop->sizeHint().width()), m_chkLoop->height());
    connect(m_chkLoop, &QCheckBox::clicked, this, [this] { chkLoop_Click(); });

    // Display only: nothing reads the slider, so it takes neither focus nor drags.
    m_sldTime = new QSlider(Qt::Horizontal, this);
    m_sldTime->setObjectName(QStringLiteral("sldTime"));
    m_sldTime->setFocusPolicy(Qt::NoFocus);
    m_sldTime->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_sldTime->setTickPosition(QSlider::TicksBelow);
    m_sldTime->setRange(0, 10);
    at(m_sldTime, 60, 2055, 6360, 510);
}

// ---- start and end

std::optional<int> MainWindow::Form_Load()
{
    setWindowTitle(QString::fromUtf8(kApplicationTitle));

    // Positions are kept in twips, the program's unit for them.
    const double perPixel = twipsPerPixel();
    const QRect screenArea = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry();
    const auto centre = [&](int screenPixels, int windowTwips) {
        return (qRound(screenPixels * perPixel) - windowTwips) / 2;
    };
    double x = 0, y = 0;
    const QLocale locale;
    if (!SettingToNumber(m_context.settings.GetRegSetting("WindowPosX", centre(screenArea.width(), kClientWidth)),
                         locale, &x))
        x = centre(screenArea.width(), kClientWidth);
    if (!SettingToNumber(m_context.settings.GetRegSetting("WindowPosY", centre(screenArea.height(), kClientHeight)),
                         locale, &y))
        y = centre(screenArea.height(), kClientHeight);
    move(screenArea.left() + qRound(float(x) / perPixel), screenArea.top() + qRound(float(y) / perPixel));

    m_context.device.setTimeFormat(0);
    double loop = 0;
    SettingToNumber(m_context.settings.GetRegSetting("Loop", 0), locale, &loop);
    if (int(loop) == 2) {
        m_chkLoop->setTristate(true);
        m_chkLoop->setCheckState(Qt::PartiallyChecked);
    } else {
        m_chkLoop->setCheckState(int(loop) == 1 ? Qt::Checked : Qt::Unchecked);
    }

    m_tmrPlay->start();
    show();
    QCoreApplication::processEvents();

    const StartupState& startup = m_context.startup;
    if (m_closeRequested) // closed before anything was scanned
        return startup.TargetGiven ? 130 : 0;
    if (startup.SourceFile.empty())
        return std::nullopt;
    try {
        ScanFile(QString::fromStdString(startup.SourceFile));
    } catch (const ScanStopped&) {
        if (startup.TargetGiven)
            return 130; // the batch was broken off; what it completed stays
        Form_Unload();
        return 0;
    } catch (const ScanError& error) {
        if (startup.TargetGiven) {
            std::fprintf(stderr, "%s: %s\n", kApplicationTitle, error.what());
            return 1;
        }
        ReportError(QStringLiteral("Form_Load"), ErrorNumberForSystemError(error.systemError()),
                    QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        if (startup.TargetGiven)
            return 1;
        ReportError(QStringLiteral("Form_Load"), ErrorNumber::OutOfMemory, QStringLiteral("Nicht genügend Speicher"));
    }
    if (startup.TargetGiven) {
        // A batch run ends with its scan; the entry files stay.
        const QString summary = BatchSummary(m_context.table.EntryCount, m_scanLength, m_firstTag,
                                             startup.TargetFolder, m_finalShare, QLocale());
        std::printf("%s\n", summary.toLocal8Bit().constData());
        std::fflush(stdout);
        return 0;
    }
    if (m_closeRequested) {
        Form_Unload();
        return 0;
    }
    return std::nullopt;
}

void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_context.settings.SaveRegSetting("WindowPosX", QString::number(qRound(pos().x() * twipsPerPixel())));
    m_context.settings.SaveRegSetting("WindowPosY", QString::number(qRound(pos().y() * twipsPerPixel())));
    m_context.settings.SaveRegSetting("Loop", QString::number(loopValue()));
    m_context.settings.sync();
    ReleaseEntryFiles(m_context.table, &m_context.device);
    m_context.device.command("Close");
    m_context.player.stop();
    m_tmrPlay->stop();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_scanning) {
        // The scan notices at its next step, removes what it half wrote, and unwinds.
        m_closeRequested = true;
        event->ignore();
        return;
    }
    // Remembered so that a start-up still under way ends instead of scanning.
    m_closeRequested = true;
    event->accept();
    if (!m_context.startup.TargetGiven) // a batch run's entry files are its output
        Form_Unload();
    QCoreApplication::exit(0);
}

// ---- toolbar

void MainWindow::tlbMain_ButtonClick(int index)
{
    // The progress bar covers the toolbar during a scan; this makes sure of it.
    if (m_scanning || m_unloaded)
        return;
    try {
        switch (index) {
        case Open: OpenCommand(); break;
        case Previous: PreviousCommand(); break;
        case Play: PlayCommand(); break;
        case Stop: StopCommand(); break;
        case Next: NextCommand(); break;
        case SaveAll: // the saving commands are not part of this version yet
        case Save:
        default: break;
        }
    } catch (const CommandError& error) {
        if (error.number() == ErrorNumber::DialogCancelled)
            ; // a cancelled dialog ends the command silently
        else if (error.number() == ErrorNumber::DivisionByZero)
            m_txtQuality->setText(QStringLiteral("mies"));
        else
            ReportError(QStringLiteral("tlbMain_ButtonClick"), error.number(), error.description());
    } catch (const ScanStopped&) {
        // The window was closed during the scan; it ends below.
    } catch (const ScanError& error) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumberForSystemError(error.systemError()),
                    QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumber::OutOfMemory,
                    QStringLiteral("Nicht genügend Speicher"));
    } catch (const std::exception& error) {
        ReportError(QStringLiteral("tlbMain_ButtonClick"), ErrorNumber::Internal, QString::fromUtf8(error.what()));
    }
    if (m_closeRequested && !m_scanning) {
        Form_Unload();
        hide();
        QCoreApplication::exit(0);
    }
}

void MainWindow::ApplyStartFolderRule(const QString& settingName, QString* initialDir)
{
    const QString folder = m_context.settings.GetRegSetting(settingName, m_context.programFolder);
    if (PathExists(folder.toStdString())) {
        QDir::setCurrent(folder);
        *initialDir = folder;
    }
}

void MainWindow::OpenCommand()
{
    UserDialogs::OpenFile request;
    request.filter = QString::fromUtf8(kOpenFilter);
    ApplyStartFolderRule(QStringLiteral("FFLDir"), &request.initialDir);
    double filter = 0;
    SettingToNumber(m_context.settings.GetRegSetting("Filter", "0"), QLocale(), &filter);
    request.filterIndex = std::int16_t(filter);
    request.fileName = m_lastOpenFileName;

    const auto chosen = m_context.dialogs.openFile(this, request);
    if (!chosen || m_closeRequested) // a signal may have closed the window meanwhile
        throw CommandError(ErrorNumber::DialogCancelled, QStringLiteral("Abbruch"));
    m_lastOpenFileName = chosen->fileName;

    m_context.settings.SaveRegSetting("Filter", QString::number(std::int16_t(chosen->filterIndex)));
    // Like the system's dialog, leave the chosen file's folder as the current one.
    QDir::setCurrent(QFileInfo(chosen->fileName).absolutePath());
    m_context.settings.SaveRegSetting("FFLDir", QDir::currentPath());
    ReleaseEntryFiles(m_context.table, &m_context.device);
    ScanFile(chosen->fileName);
}

void MainWindow::PreviousCommand()
{
    EntryTable& table = m_context.table;
    if (table.EntryCount < 1)
        return;
    m_context.device.command("Close");
    if (--table.CurrentEntry < 1)
        table.CurrentEntry = table.EntryCount;
    LoadCurrentEntry();
    ShowCurrentEntry(QStringLiteral("nicht so toll"));
}

void MainWindow::NextCommand()
{
    EntryTable& table = m_context.table;
    if (table.EntryCount < 1)
        return;
    m_context.device.command("Close");
    if (++table.CurrentEntry > table.EntryCount)
        table.CurrentEntry = 1;
    LoadCurrentEntry();
    setButton(Previous, true);
    setButton(Save, true);
    ShowCurrentEntry(QStringLiteral("ganz schlecht"));
}

void MainWindow::PlayCommand()
{
    const EntryTable& table = m_context.table;
    if (table.CurrentEntry < 1 || table.CurrentEntry > table.EntryCount)
        return;
    if (loopValue() != 0) {
        m_context.player.loop(table.entryFile(table.CurrentEntry));
    } else {
        m_context.device.command("Prev");
        m_context.device.command("Play");
    }
}

void MainWindow::StopCommand()
{
    m_context.device.command("Stop");
    m_context.device.command("Prev");
    m_context.player.stop();
}

// ---- current entry

void MainWindow::LoadCurrentEntry()
{
    WaveDevice& device = m_context.device;
    device.setDeviceType("WaveAudio");
    device.setFileName(m_context.table.entryFile(m_context.table.CurrentEntry));
    device.command("Open");
    device.command("Set");
}

void MainWindow::ShowCurrentEntry(const QString& zeroLengthWord)
{
    const EntryTable& table = m_context.table;
    m_frame[1]->setTitle(QStringLiteral("aktueller Eintrag: %1/%2").arg(table.CurrentEntry).arg(table.EntryCount));

    const std::string& path = table.entryFile(table.CurrentEntry);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw CommandError(ErrorNumberForSystemError(error.value()),
                           QString::fromStdString(error.message()) + QStringLiteral(": ")
                               + QString::fromStdString(path));
    const QLocale locale;
    m_txtEntrysize->setText(FormatGrouped(std::int64_t(size), locale) + QStringLiteral(" Byte"));

    const std::int64_t lengthMs = m_context.device.length();
    m_txtEntryLength->setText(FormatOneDecimal(double(lengthMs) / 1000.0, locale) + QStringLiteral(" Sekunden"));
    if (lengthMs != 0) {
        m_sldTime->setMaximum(int(std::min<std::int64_t>(lengthMs, std::numeric_limits<int>::max())));
        const double rate = double(size) / double(lengthMs) * 1000.0;
        m_txtQuality->setText(FormatGrouped(std::int64_t(std::llround(rate)), locale) + QStringLiteral(" Byte/Sek"));
    } else {
        m_txtQuality->setText(zeroLengthWord);
    }
}

// ---- playback

QString MainWindow::GetStringOfNumber(int mode)
{
    return QString::fromStdString(cp::GetStringOfNumber(mode));
}

int MainWindow::loopValue() const
{
    switch (m_chkLoop->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void MainWindow::tmrPlay_Timer()
{
    const PlaybackTick tick = TickPlayback(m_context.device, m_context.table.CurrentEntry, loopValue());
    m_sldTime->setValue(int(std::min<std::int64_t>(tick.sliderValue, std::numeric_limits<int>::max())));
    m_txtStatus->setText(QString::fromStdString(tick.status));
    setButton(Play, tick.playEnabled);
    setButton(Stop, tick.stopEnabled);
}

void MainWindow::chkLoop_Click()
{
    // Once clicked, the box only knows ticked and unticked.
    m_chkLoop->setTristate(false);
    m_context.player.stop();
}

// ---- scan

void MainWindow::ScanFile(const QString& path)
{
    m_scanning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset {m_scanning};
    WaveEntryScanner scanner(m_context.table, m_context.startup, &m_context.device, this);
    scanner.ScanFile(path.toStdString());
}

void MainWindow::SetBusy()
{
    if (++m_busyDepth == 1)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

void MainWindow::SetBusy(bool)
{
    if (m_busyDepth > 0 && --m_busyDepth == 0)
        QGuiApplication::restoreOverrideCursor();
}

void MainWindow::setButton(int index, bool enabled)
{
    m_buttons.at(std::size_t(index))->setEnabled(enabled);
}

int MainWindow::progressUnits(std::int64_t position) const
{
    // A progress bar counts in int; longer files are shown to scale.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (m_scanLength <= kMax)
        return int(std::clamp<std::int64_t>(position, 0, kMax));
    return int(double(position) / double(m_scanLength) * double(kMax));
}

void MainWindow::scanStarting(const std::string& path)
{
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        setButton(i, false);
    setWindowTitle(QString::fromStdString(GetFileName(path)) + QStringLiteral(" - ") + QString::fromUtf8(kApplicationTitle));
    m_txtEntrycount->setText(QStringLiteral("0"));
    m_frame[1]->setTitle(QStringLiteral("aktueller Eintrag: keiner"));
    m_txtEntryLength->setText(QStringLiteral("0 Sekunden"));
    m_txtEntrysize->setText(QStringLiteral("0 Byte"));
    m_txtQuality->setText(QStringLiteral("mies"));
    m_txtUnknownData->setText(QStringLiteral("100%"));
    SetBusy();
    m_scanLength = 0;
    m_shownHits = -1;
    m_pendingHits = 0;
    m_anyHit = false;
    m_displayClock.start();
}

void MainWindow::fileOpened(std::int64_t length)
{
    m_scanLength = length;
    m_txtFilesize->setText(FormatGrouped(length, QLocale()) + QStringLiteral(" Byte"));
    m_pgbParsing->setRange(0, std::max(1, progressUnits(length)));
    m_pgbParsing->setValue(0);
    m_pgbParsing->raise();
    m_pendingProgress = 0;
    flushScanDisplay();
    QCoreApplication::processEvents();
}

void MainWindow::blockStarted(std::int64_t position)
{
    m_pendingProgress = position;
}

void MainWindow::tagFound(std::int64_t hitCount, std::int64_t position, double runningShare)
{
    m_pendingHits = hitCount;
    m_pendingShare = runningShare;
    m_pendingProgress = position;
    m_anyHit = true;
}

void MainWindow::flushScanDisplay()
{
    if (m_anyHit && m_pendingHits != m_shownHits) {
        m_txtEntrycount->setText(QString::number(m_pendingHits));
        m_txtUnknownData->setText(FormatShare(m_pendingShare, QLocale()));
        m_shownHits = m_pendingHits;
    }
    m_pgbParsing->setValue(progressUnits(m_pendingProgress));
}

void MainWindow::searchFinished(std::int64_t entryCount, std::int64_t firstTag, double finalShare)
{
    m_firstTag = firstTag;
    flushScanDisplay();
    m_txtEntrycount->setText(QString::number(entryCount));
    m_finalShare = entryCount > 0 ? finalShare : 1.0;
    if (entryCount > 0)
        m_txtUnknownData->setText(FormatShare(finalShare, QLocale()));
}

bool MainWindow::stopRequested()
{
    if (m_displayClock.elapsed() >= kDisplayIntervalMs) {
        flushScanDisplay();
        QCoreApplication::processEvents();
        m_displayClock.restart();
    }
    return m_closeRequested;
}

void MainWindow::scanEnded(bool completed) noexcept
{
    if (completed && m_context.table.EntryCount > 0) {
        setButton(Next, true);
        setButton(SaveAll, true);
    }
    m_pgbParsing->lower();
    SetBusy(true);
}

void MainWindow::ReportError(const QString& procedure, int number, const QString& description)
{
    m_context.dialogs.message(this, ReportErrorCaption(number), ReportErrorText(procedure, description));
}

} // namespace cp
