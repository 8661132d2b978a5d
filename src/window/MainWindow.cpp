// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "core/ErrorReport.h"
#include "core/SettingsStore.h"
#include "dialogs/Twips.h"
#include "dialogs/UserDialogs.h"
#include "playback/EntryPlayer.h"
#include "scan/ScanError.h"
#include "window/EntryListWindow.h"
#include "window/Icons.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <new>

namespace cp {

namespace {

constexpr int kClientWidth = 6465; // twips
constexpr int kClientHeight = 2655;
constexpr int kFrameWaitMs = 300; // how long a first start waits to learn its frame

} // namespace

MainWindow::MainWindow(Context context)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_saver(
          {m_entries, context.settings, context.dialogs, context.programFolder, [this] { return m_closeRequested; }})
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(applicationIcon());
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    buildControls();
    buildKeyboardCommands();
    setFixedSize(twipsToPixels(*this, kClientWidth), twipsToPixels(*this, kClientHeight));
    m_scans = std::make_unique<ScanController>(
        ScanController::Widgets {m_progressBar, m_fileSize, m_entryCount, m_unknownData},
        [this] { return m_closeRequested; });

    m_playbackTimer = new QTimer(this);
    m_playbackTimer->setObjectName(QStringLiteral("tmrPlay"));
    m_playbackTimer->setInterval(100);
    connect(m_playbackTimer, &QTimer::timeout, this, [this] { showPlayback(); });
}

MainWindow::~MainWindow()
{
    delete m_entryList; // before the positions it shows
    // The entry files are this window's; a batch run's output is not kept here.
    m_entries.release(&m_context.player.device());
}

std::optional<int> MainWindow::start()
{
    setWindowTitle(QString::fromUtf8(kApplicationTitle));

    // Positions are kept in twips, the program's unit for them.
    const double perPixel = twipsPerPixel(*this);
    const QRect screenArea = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry();
    const auto centre
        = [&](int screenPixels, int windowTwips) { return (qRound(screenPixels * perPixel) - windowTwips) / 2; };
    double x = 0, y = 0;
    const QLocale locale;
    // A first start, or a position that is no number, is centred: roughly now,
    // exactly with the frame once the window is up.
    const bool centreX = !settingToNumber(m_context.settings.value("WindowPosX", ""), locale, &x);
    const bool centreY = !settingToNumber(m_context.settings.value("WindowPosY", ""), locale, &y);
    if (centreX)
        x = centre(screenArea.width(), kClientWidth);
    if (centreY)
        y = centre(screenArea.height(), kClientHeight);
    move(screenArea.left() + qRound(float(x) / perPixel), screenArea.top() + qRound(float(y) / perPixel));

    double loop = 0;
    settingToNumber(m_context.settings.value("Loop", 0), locale, &loop);
    if (int(loop) == 2) {
        m_loopBox->setTristate(true);
        m_loopBox->setCheckState(Qt::PartiallyChecked);
    } else {
        m_loopBox->setCheckState(int(loop) == 1 ? Qt::Checked : Qt::Unchecked);
    }

    m_playbackTimer->start();
    show();
    QCoreApplication::processEvents();
    centreOnFrame(centreX, centreY);

    const StartupState& startup = m_context.startup;
    if (m_closeRequested && !startup.targetGiven) // closed before anything was scanned
        return 0;
    if (startup.sourceFile.empty())
        return std::nullopt;
    if (startup.targetGiven) {
        // A batch run ends with its scan, however it went; the entry files
        // stay. The window only shows how it goes.
        showScanStarting(startup.sourceFile);
        return m_scans->runBatch(startup);
    }
    try {
        openFile(startup.sourceFile);
    } catch (const ScanStopped&) {
        unload();
        return 0;
    } catch (const ScanError& error) {
        reportError(QStringLiteral("Form_Load"), errorNumberForSystemError(error.systemError()),
                    QString::fromStdString(error.what()));
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("Form_Load"), ErrorNumber::OutOfMemory, QStringLiteral("Nicht genügend Speicher"));
    }
    if (m_closeRequested) {
        unload();
        return 0;
    }
    return std::nullopt;
}

void MainWindow::centreOnFrame(bool horizontally, bool vertically)
{
    if (!horizontally && !vertically)
        return;
    // The window manager tells the frame's size only once the window is up.
    QElapsedTimer waited;
    waited.start();
    while (frameGeometry().size() == size() && waited.elapsed() < kFrameWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const QRect area = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry();
    const QSize frame = frameGeometry().size();
    move(horizontally ? area.left() + (area.width() - frame.width()) / 2 : x(),
         vertically ? area.top() + (area.height() - frame.height()) / 2 : y());
}

void MainWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_context.settings.setValue("WindowPosX", QString::number(qRound(pos().x() * twipsPerPixel(*this))));
    m_context.settings.setValue("WindowPosY", QString::number(qRound(pos().y() * twipsPerPixel(*this))));
    m_context.settings.setValue("Loop", QString::number(loopValue()));
    if (m_entryList) {
        m_entryList->saveLayout();
        m_entryList->hide();
    }
    m_context.settings.sync();
    m_entries.release(&m_context.player.device());
    m_context.player.stop();
    m_context.player.unload();
    m_playbackTimer->stop();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A question or notice still open would keep a signal or the session's end waiting for nobody.
    cancelOpenDialogs();
    if (m_scans->running() || m_saver.copying()) {
        // The scan or copy notices at its next step, removes what it half wrote, and unwinds.
        m_closeRequested = true;
        event->ignore();
        return;
    }
    // Remembered so that a start-up still under way ends instead of scanning.
    m_closeRequested = true;
    event->accept();
    if (!m_context.startup.targetGiven) // a batch run's entry files are its output
        unload();
    QCoreApplication::exit(0);
}

void MainWindow::setButton(int index, bool enabled)
{
    m_buttons.at(std::size_t(index))->setEnabled(enabled);
}

void MainWindow::reportError(const QString& procedure, int number, const QString& description)
{
    m_context.dialogs.message(this, reportErrorCaption(number), reportErrorText(procedure, description));
}

} // namespace cp
