// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "base/CommandLine.h"
#include "window/QtUserDialogs.h"
#include "window/Twips.h"
#include "window/EntryListWindow.h"
#include "window/Icons.h"
#include "window/ModalCloseWatch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace cp {

namespace {

constexpr int kClientWidth = mainWindowLayout::kWidth;
constexpr int kClientHeight = mainWindowLayout::kHeight;

int clampedToInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

void setTextOf(QLineEdit* field, const std::string& text)
{
    const QString shown = QString::fromStdString(text);
    if (field->text() != shown)
        field->setText(shown);
}

} // namespace

MainWindow::MainWindow(Context context)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_placement(*this, context.settings, context.style, {kClientWidth, kClientHeight})
    , m_settings(context.settings)
    , m_style(context.style)
    , m_logic(context, *this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(applicationIcon());
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    m_form.build(*this, [this](Command command) { runCommand(command); });
    connect(m_form.loopBox, &QCheckBox::clicked, this, [this] {
        // Once clicked, the box only knows ticked and unticked.
        m_form.loopBox->setTristate(false);
        m_logic.loopClicked(m_form.loopValue());
    });
    // A double-click on the current entry's group opens the entry list.
    m_form.group[1]->installEventFilter(this);
    for (QWidget* field : m_form.group[1]->findChildren<QWidget*>())
        field->installEventFilter(this);
    setAcceptDrops(true);
    setFixedSize(twipsToPixels(*this, kClientWidth), twipsToPixels(*this, kClientHeight));
    m_modalCloseWatch = std::make_unique<ModalCloseWatch>(*this);
    m_playbackTimer = new QTimer(this);
    m_playbackTimer->setObjectName(QStringLiteral("tmrPlay"));
    m_playbackTimer->setInterval(100);
    connect(m_playbackTimer, &QTimer::timeout, this, [this] { m_logic.showPlayback(); });
}

MainWindow::~MainWindow()
{
    delete m_entryList; // before the scan it shows
}

std::optional<int> MainWindow::start()
{
    m_placement.restore();
    showView(m_logic.view());
    m_playbackTimer->start();
    show();
    QCoreApplication::processEvents();
    m_placement.centreOnFrame();
    return m_logic.start();
}

void MainWindow::showView(const MainWindowView& view)
{
    const QString caption = QString::fromStdString(view.caption);
    if (windowTitle() != caption)
        setWindowTitle(caption);
    for (const FigureRow& row : figureRows())
        setTextOf(m_form.field(row.figure), figureText(view, row.figure));
    m_form.group[1]->setTitle(QString::fromStdString(view.entryTitle));
    setToolTip(QString::fromStdString(view.toolTip));
    m_form.positionSlider->setMaximum(clampedToInt(view.sliderMaximum));
    m_form.positionSlider->setValue(clampedToInt(view.sliderValue));
    m_form.progressBar->setRange(0, view.progressMaximum);
    m_form.progressBar->setValue(view.progress);
    if (view.scanning)
        m_form.progressBar->raise();
    else
        m_form.progressBar->lower();
    if (view.busyPointer != m_busyPointer.has_value()) {
        if (view.busyPointer)
            m_busyPointer.emplace();
        else
            m_busyPointer.reset();
    }
    if (m_form.loopValue() != view.loop)
        m_form.setLoopValue(view.loop);
    for (const CommandInfo& info : windowCommands())
        m_form.action(info.command)->setEnabled(view.isEnabled(info.command));
}

void MainWindow::setToolTip(const QString& text)
{
    if (m_form.group[1]->toolTip() == text)
        return;
    m_form.group[1]->setToolTip(text);
    for (QWidget* field : m_form.group[1]->findChildren<QWidget*>())
        field->setToolTip(text);
}

void MainWindow::keepAnswering()
{
    QCoreApplication::processEvents();
}

void MainWindow::keepRepainting()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::scanChanging()
{
    if (m_entryList)
        m_entryList->scanChanging();
}

void MainWindow::scanChanged()
{
    if (m_entryList)
        m_entryList->scanChanged();
}

void MainWindow::currentEntryChanged(std::int64_t entry)
{
    if (m_entryList)
        m_entryList->followCurrentEntry(entry);
}

void MainWindow::showEntryList()
{
    if (!m_entryList) {
        m_entryList = new EntryListWindow(*this, m_logic.entries(), m_settings, m_style);
        connect(m_entryList, &EntryListWindow::commandChosen, this, [this](Command command) { runCommand(command); });
        connect(m_entryList, &EntryListWindow::entryPicked, this, [this](qint64 entry) { m_logic.pick(entry); });
        connect(m_entryList, &EntryListWindow::saveChosen, this, [this](const std::vector<std::int64_t>& entries) {
            m_logic.saveEntries(entries, DialogOwner::EntryList);
        });
        connect(m_entryList, &EntryListWindow::originalsChosen, this, [this](const std::vector<std::int64_t>& entries) {
            m_logic.saveOriginals(entries, DialogOwner::EntryList);
        });
    }
    m_entryList->open();
}

void MainWindow::windowUnloading()
{
    m_placement.save();
    if (m_entryList) {
        m_entryList->saveLayout();
        m_entryList->hide();
    }
    m_playbackTimer->stop();
}

void MainWindow::endProgram(int status)
{
    hide();
    QCoreApplication::exit(status);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A question or notice still open would keep a signal or the session's end waiting for nobody.
    cancelOpenDialogs();
    if (!m_logic.requestClose()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::exit(0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        runCommand(Command::EntryList);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // Not modal, so that a scan under way goes on; it can take no command then.
    m_form.popUpCommandMenu(event->globalPos(), m_logic.commandsUsable());
}

std::optional<std::string> MainWindow::droppedFile(const QMimeData* mime) const
{
    if (!mime || !mime->hasUrls())
        return std::nullopt;
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return std::nullopt;
    // The path's own bytes: toLocalFile() would pass them through UTF-16 and
    // lose those of a name that is not UTF-8.
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    if (!m_logic.takesDrop(path))
        return std::nullopt;
    return path;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = droppedFile(event->mimeData());
    if (!path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Scanned once the drop is over, so that the file manager is not kept waiting.
    QTimer::singleShot(0, this, [this, file = *path] { m_logic.openDropped(file); });
}

} // namespace cp
