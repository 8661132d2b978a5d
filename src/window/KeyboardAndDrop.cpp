// SPDX-License-Identifier: GPL-3.0-or-later
// The commands from the keyboard and from a context menu, and a file dropped
// onto the window.
#include "MainWindow.h"

#include "files/PathChecks.h"

#include "playback/WaveDevice.h"
#include "window/EntryListWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace cp {

namespace {

// The first dropped file's path bytes; none for a folder or anything not local.
std::optional<std::string> localFileOf(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return std::nullopt;
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return std::nullopt;
    // The path's own bytes: toLocalFile() would pass them through UTF-16 and
    // lose those of a name that is not UTF-8.
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    if (path.empty() || folderExists(path))
        return std::nullopt;
    return path;
}

} // namespace

void MainWindow::openEntryList()
{
    if (m_unloaded)
        return;
    if (!m_entryList)
        m_entryList = new EntryListWindow(*this, m_entries, m_positions, m_context.settings);
    m_entryList->open();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        openEntryList();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    // Not modal, so that a scan under way goes on; it can take no command then.
    m_form.popUpCommandMenu(event->globalPos(), !m_scans->running() && !m_saver.copying());
}

std::optional<std::string> MainWindow::droppedFile(const QMimeData* mime) const
{
    return busy() ? std::nullopt : localFileOf(mime);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
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
    // Scanned once the drop is over, so that the file manager is not kept
    // waiting; as Open does, without its dialog and the settings it writes.
    QTimer::singleShot(0, this, [this, file = *path] { runCommand([this, &file] { openFile(file); }); });
}

} // namespace cp
