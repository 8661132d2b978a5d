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
#include "window/ModalCloseWatch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <new>

namespace cp {

namespace {

constexpr int kClientWidth = 6465; // twips
constexpr int kClientHeight = 2655;

} // namespace

MainWindow::MainWindow(Context context)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_placement(*this, context.settings, {kClientWidth, kClientHeight})
    , m_saver(
          {m_entries, context.settings, context.dialogs, context.programFolder, [this] { return m_closeRequested; }})
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(applicationIcon());
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    m_form.build(*this, [this](int index) { clickButton(index); });
    m_form.buildKeyboardCommands(
        *this, [this](bool last) { runCommand([this, last] { goToEntry(last ? m_entries.count() : 1); }); },
        [this] { openEntryList(); });
    connect(m_form.loopBox, &QCheckBox::clicked, this, [this] { loopBoxClicked(); });
    // A double-click on the current entry's group opens the entry list.
    m_form.group[1]->installEventFilter(this);
    for (QWidget* field : m_form.group[1]->findChildren<QWidget*>())
        field->installEventFilter(this);
    setAcceptDrops(true);
    setFixedSize(twipsToPixels(*this, kClientWidth), twipsToPixels(*this, kClientHeight));
    m_scans = std::make_unique<ScanController>(
        ScanController::Widgets {m_form.progressBar, m_form.fileSize, m_form.entryCount, m_form.unknownData},
        [this] { return m_closeRequested; });

    m_modalCloseWatch = std::make_unique<ModalCloseWatch>(*this);

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

    m_placement.restore();
    const QLocale locale;
    double loop = 0;
    settingToNumber(m_context.settings.value("Loop", 0), locale, &loop);
    m_form.setLoopValue(int(loop));

    m_playbackTimer->start();
    show();
    QCoreApplication::processEvents();
    m_placement.centreOnFrame();

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
    } catch (...) {
        showFailure(QStringLiteral("Form_Load"), std::current_exception());
    }
    if (m_closeRequested) {
        unload();
        return 0;
    }
    return std::nullopt;
}

void MainWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_placement.save();
    m_context.settings.setValue("Loop", QString::number(m_form.loopValue()));
    if (m_entryList) {
        m_entryList->saveLayout();
        m_entryList->hide();
    }
    m_context.settings.sync();
    m_entries.release(&m_context.player.device());
    m_context.player.stop();
    m_context.player.unload();
    m_playbackTimer->stop();
    waitForEntryFiles();
}

void MainWindow::waitForEntryFiles()
{
    EntryFileRemover& remover = m_entries.remover();
    if (remover.waitFor(std::chrono::milliseconds(0)))
        return;
    // The files must be gone when the program ends; on a slow disk that takes
    // a while, and the window says why it has not gone yet.
    const QString waiting = QStringLiteral("Die Zwischendateien werden gelöscht …");
    setWindowTitle(waiting + QStringLiteral(" - ") + QString::fromUtf8(kApplicationTitle));
    // The status field is narrow: the whole sentence there would be set too small to read.
    m_form.status->setText(QStringLiteral("Aufräumen …"));
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    while (!remover.waitFor(std::chrono::milliseconds(50)))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
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
    m_form.buttons.at(std::size_t(index))->setEnabled(enabled);
}

void MainWindow::reportError(const QString& procedure, int number, const QString& description)
{
    m_context.dialogs.message(this, reportErrorCaption(number), reportErrorText(procedure, description));
}

} // namespace cp
