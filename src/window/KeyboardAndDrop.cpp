// SPDX-License-Identifier: GPL-3.0-or-later
// The commands from the keyboard and from a context menu, and a file dropped
// onto the window.
#include "MainWindow.h"

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

#include <filesystem>

namespace cp {

namespace {

constexpr int kFirst = 9, kLast = 10; // commands of the keyboard and the menu only

const struct {
    int command;      // a toolbar button's index, or kFirst, kLast
    const char* text; // for the two without a button; the others' are their tooltips
    const char* keysShown;
    QKeyCombination keys[2];
} kCommands[] = {
    {MainWindow::Open, nullptr, "Strg+O", {Qt::CTRL | Qt::Key_O}},
    {MainWindow::SaveAll, nullptr, "Strg+Umschalt+S", {Qt::CTRL | Qt::SHIFT | Qt::Key_S}},
    {MainWindow::Previous, nullptr, "Links, Bild auf", {Qt::Key_Left, Qt::Key_PageUp}},
    {MainWindow::Play, nullptr, "Eingabe", {Qt::Key_Return, Qt::Key_Enter}},
    {MainWindow::Stop, nullptr, "Esc", {Qt::Key_Escape}},
    {MainWindow::Save, nullptr, "Strg+S", {Qt::CTRL | Qt::Key_S}},
    {MainWindow::Next, nullptr, "Rechts, Bild ab", {Qt::Key_Right, Qt::Key_PageDown}},
    {kFirst, "zum ersten Eintrag springen", "Pos1", {Qt::Key_Home}},
    {kLast, "zum letzten Eintrag springen", "Ende", {Qt::Key_End}},
};

} // namespace

void MainWindow::buildKeyboardCommands()
{
    m_commandMenu = new QMenu(this);
    m_commandMenu->setObjectName(QStringLiteral("mnuCommands"));
    for (const auto& c : kCommands) {
        // A button's own action takes its keys, so they work exactly when it does.
        QAction* action = c.command <= Next ? button(c.command) : new QAction(this);
        if (c.command > Next) {
            addAction(action);
            // First and last step like Next, and can whenever it can.
            action->setEnabled(button(Next)->isEnabled());
            connect(button(Next), &QAction::enabledChanged, action, &QAction::setEnabled);
            connect(action, &QAction::triggered, this, [this, last = c.command == kLast] {
                runCommand([this, last] { goToEntry(last ? m_entries.count() : 1); });
            });
        }
        QList<QKeySequence> keys;
        for (const QKeyCombination key : c.keys)
            if (key.key() != Qt::Key_unknown)
                keys << QKeySequence(key);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);

        if (c.command == Previous || c.command == kFirst)
            m_commandMenu->addSeparator();
        // The key names are spelled out here, in German whatever translations are installed.
        const QString text = c.text ? QString::fromUtf8(c.text) : action->toolTip();
        QAction* item = m_commandMenu->addAction(text + QLatin1Char('\t') + QString::fromUtf8(c.keysShown));
        item->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, item, &QAction::setEnabled);
        connect(item, &QAction::triggered, action, &QAction::trigger);
    }
    // The entry list, after the commands: a window of its own, not a command on the entries.
    auto* list = new QAction(this);
    list->setShortcut(QKeySequence(Qt::Key_F4));
    list->setShortcutContext(Qt::WindowShortcut);
    addAction(list);
    connect(list, &QAction::triggered, this, [this] { openEntryList(); });
    m_commandMenu->addSeparator();
    connect(m_commandMenu->addAction(QStringLiteral("Einträge\tF4")), &QAction::triggered, list, &QAction::trigger);
    m_group[1]->installEventFilter(this);
    for (QWidget* field : m_group[1]->findChildren<QWidget*>())
        field->installEventFilter(this);
    setAcceptDrops(true);
}

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
    m_commandMenu->setEnabled(!m_scans->running() && !m_saver.copying());
    m_commandMenu->popup(event->globalPos());
    event->accept();
}

std::optional<std::string> MainWindow::droppedFile(const QMimeData* mime) const
{
    if (busy() || !mime || !mime->hasUrls())
        return std::nullopt;
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return std::nullopt;
    // The path's own bytes: toLocalFile() would pass them through UTF-16 and
    // lose those of a name that is not UTF-8.
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(path, error))
        return std::nullopt;
    return path;
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
