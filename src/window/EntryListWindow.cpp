// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryListWindow.h"

#include "scan/ScanResult.h"
#include "logic/SettingsStore.h"
#include "window/OverridePointer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace cp {

namespace {

constexpr int kFilterDelayMs = 200; // typing on does not filter 100,000 rows at every key
const char* const kGeometryKey = "EntryListGeometry";
const char* const kColumnsKey = "EntryListColumns";

} // namespace

EntryListWindow::EntryListWindow(QWidget& beside, const ShownScan& entries, SettingsStore& settings,
                                 const NumberStyle& style)
    : QWidget(&beside, Qt::Window)
    , m_entries(entries)
    , m_settings(settings)
    , m_model(entries.scan(), style)
{
    setObjectName(QStringLiteral("frmEntries"));
    setWindowTitle(QStringLiteral("Einträge"));
    buildControls();
}

EntryListWindow::~EntryListWindow()
{
    delete m_view; // before the model it shows, which is a member
}

void EntryListWindow::buildControls()
{
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("txtFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Form, Format oder Titel"));
    m_filter->setClearButtonEnabled(true);
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    label->setBuddy(m_filter);
    m_mismatches = new QCheckBox(QStringLiteral("nur Abweichungen"), this);
    m_mismatches->setObjectName(QStringLiteral("chkMismatches"));
    m_filterDelay = new QTimer(this);
    m_filterDelay->setSingleShot(true);
    m_filterDelay->setInterval(kFilterDelayMs);
    connect(m_filterDelay, &QTimer::timeout, this, [this] { applyFilter(); });
    connect(m_filter, &QLineEdit::textChanged, m_filterDelay, qOverload<>(&QTimer::start));
    // Return in the filter box filters at once rather than playing.
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::returnPressed, this, [this] { applyFilter(); });
    connect(m_mismatches, &QCheckBox::toggled, this, [this] { applyFilter(); });

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("lvwEntries"));
    m_view->setModel(&m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    // One height for every row: nothing is measured per row, however many there are.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* columns = m_view->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(true);
    // Each column as wide as the longest text it commonly holds.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 12;
    for (int c = 0; c < EntryListModel::ColumnCount; ++c)
        m_view->setColumnWidth(
            c, fontMetrics().horizontalAdvance(QString::fromStdString(EntryListRows::widestText(c))) + margins);
    m_model.setLearningNotice([this](bool learning) {
        if (learning)
            m_learningPointer.emplace();
        else
            m_learningPointer.reset();
    });
    connect(columns, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        busy([&] { m_model.sort(column, order); });
        m_view->scrollTo(m_view->currentIndex());
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { rowPicked(current.isValid() ? current.row() : -1); });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { emit commandChosen(Command::Play); });

    // Return plays and Escape stops, as in the main window; Ctrl+S saves the selection.
    auto* play = new QAction(this);
    play->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(play, &QAction::triggered, this, [this] { emit commandChosen(Command::Play); });
    auto* stop = new QAction(this);
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(stop, &QAction::triggered, this, [this] { emit commandChosen(Command::Stop); });
    m_save = new QAction(QStringLiteral("Auswahl speichern …\tStrg+S"), this);
    m_save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_save->setEnabled(false);
    connect(m_save, &QAction::triggered, this, [this] { emit saveChosen(selectedEntries()); });
    m_saveOriginals = new QAction(QStringLiteral("Als Originale speichern …"), this);
    m_saveOriginals->setObjectName(QStringLiteral("mnuSaveOriginals"));
    m_saveOriginals->setEnabled(false);
    connect(m_saveOriginals, &QAction::triggered, this, [this] { emit originalsChosen(selectedEntries()); });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_save->setEnabled(m_view->selectionModel()->hasSelection());
        m_saveOriginals->setEnabled(m_save->isEnabled());
    });
    addActions({play, stop, m_save});
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuEntries"));
    m_menu->addActions({m_save, m_saveOriginals});
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_view->viewport()->mapToGlobal(at)); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(m_filter, 1);
    bar->addWidget(m_mismatches);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
}

void EntryListWindow::open()
{
    if (!m_layoutRestored) {
        m_layoutRestored = true;
        restoreLayout();
    }
    show();
    raise();
    activateWindow();
    followCurrentEntry(m_entries.current());
}

void EntryListWindow::restoreLayout()
{
    const QByteArray geometry = QByteArray::fromBase64(QByteArray::fromStdString(m_settings.value(kGeometryKey, "")));
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // A first opening: below the main window, about as wide as the columns, on the screen.
        const QWidget& beside = *parentWidget();
        const QRect screen = beside.screen()->availableGeometry();
        QRect place(
            beside.frameGeometry().bottomLeft() + QPoint(0, 8),
            QSize(m_view->horizontalHeader()->length() + 40, 24 * m_view->verticalHeader()->defaultSectionSize()));
        place.setSize(place.size().boundedTo(screen.size() - QSize(40, 80)));
        // Shorter rather than over the main window, where there is room below it for some rows.
        const int roomBelow = screen.bottom() - 40 - place.top();
        if (roomBelow >= 8 * m_view->verticalHeader()->defaultSectionSize())
            place.setHeight(std::min(place.height(), roomBelow));
        place.moveRight(std::min(place.right(), screen.right() - 20));
        place.moveBottom(std::min(place.bottom(), screen.bottom() - 40));
        place.moveTopLeft(QPoint(std::max(place.left(), screen.left()), std::max(place.top(), screen.top())));
        resize(place.size());
        move(place.topLeft());
    }
    const QStringList widths
        = QString::fromStdString(m_settings.value(kColumnsKey, "")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int c = 0; c < widths.size() && c < EntryListModel::ColumnCount; ++c)
        if (const int width = widths[c].toInt(); width > 0)
            m_view->setColumnWidth(c, width);
}

void EntryListWindow::saveLayout()
{
    if (!m_layoutRestored)
        return; // never opened: nothing of its own to keep
    m_settings.setValue(kGeometryKey, saveGeometry().toBase64().toStdString());
    QStringList widths;
    for (int c = 0; c < EntryListModel::ColumnCount; ++c)
        widths << QString::number(m_view->columnWidth(c));
    m_settings.setValue(kColumnsKey, widths.join(QLatin1Char(',')).toStdString());
}

void EntryListWindow::closeEvent(QCloseEvent* event)
{
    saveLayout();
    event->accept();
}

bool EntryListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept(); // the box takes the key before the shortcut does
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EntryListWindow::busy(const std::function<void()>& work)
{
    const OverridePointer pointer;
    work();
}

void EntryListWindow::applyFilter()
{
    m_filterDelay->stop();
    busy([this] { m_model.setFilter(m_filter->text(), m_mismatches->isChecked()); });
    followCurrentEntry(m_entries.current());
}

void EntryListWindow::scanChanging()
{
    m_model.scanChanging();
}

void EntryListWindow::scanChanged()
{
    m_model.scanChanged();
    followCurrentEntry(m_entries.current());
}

void EntryListWindow::rowPicked(int row)
{
    // The row the main window moves to names the current entry already: no pick back.
    if (row < 0)
        return;
    const std::int64_t entry = m_model.entryAt(row);
    if (entry != m_entries.current())
        emit entryPicked(entry);
}

void EntryListWindow::followCurrentEntry(std::int64_t entry)
{
    const int row = m_model.rowOf(entry);
    if (row >= 0 && m_view->currentIndex().row() == row)
        return; // picked here: a selection being made stays
    if (row < 0) {
        m_view->selectionModel()->clear();
    } else {
        const QModelIndex index = m_model.index(row, 0);
        m_view->selectionModel()->setCurrentIndex(index,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    }
}

std::vector<std::int64_t> EntryListWindow::selectedEntries() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<std::int64_t> entries;
    for (const int row : rows)
        entries.push_back(m_model.entryAt(row));
    return entries;
}

} // namespace cp
