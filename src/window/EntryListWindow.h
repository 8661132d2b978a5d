// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logic/ShownScan.h"
#include "logic/WindowCommands.h"
#include "window/OverridePointer.h"
#include "window/EntryListModel.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class QTableView;
class QTimer;

namespace cp {

class SettingsStore;

// Every entry of the last scan at a glance, beside the main window: a row
// picks the main window's current entry, and the main window's stepping
// moves the row. Not modal; it remembers its place and column widths. What
// the user picks or asks for it signals; the window's logic acts on it.
class EntryListWindow final : public QWidget {
    Q_OBJECT
public:
    // beside: the main window, which it opens below the first time.
    EntryListWindow(QWidget& beside, const ShownScan& entries, SettingsStore& settings, const NumberStyle& style);
    ~EntryListWindow() override;

    // Shows the list where it was last, in front.
    void open();
    // Marks the entry's row (none where the filter hides it) without picking it again.
    void followCurrentEntry(std::int64_t entry);
    // The scan shown is about to be replaced, and has been: the rows start afresh.
    void scanChanging();
    void scanChanged();
    // Writes place and column widths to the settings.
    void saveLayout();

    EntryListModel& model() { return m_model; }
    QTableView* view() const { return m_view; }
    QMenu* contextMenu() const { return m_menu; }
    // The entry numbers of the selected rows, in the list's order.
    std::vector<std::int64_t> selectedEntries() const;

signals:
    // Play (Return, a double-click) or Stop (Escape), as in the main window.
    void commandChosen(cp::Command command);
    // The user moved to a row: its entry is to become the current one.
    void entryPicked(qint64 entry);
    // The selected entries, in the list's order, are to be saved.
    void saveChosen(const std::vector<std::int64_t>& entries);
    // The same, as their original files.
    void originalsChosen(const std::vector<std::int64_t>& entries);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void restoreLayout();
    void applyFilter();
    void rowPicked(int row);
    // Long passes over every header show the busy pointer.
    void busy(const std::function<void()>& work);

    const ShownScan& m_entries;
    SettingsStore& m_settings;
    std::optional<OverridePointer> m_learningPointer; // while the model learns playing times
    EntryListModel m_model;
    QTableView* m_view = nullptr;
    QLineEdit* m_filter = nullptr;
    QCheckBox* m_mismatches = nullptr;
    QTimer* m_filterDelay = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveOriginals = nullptr;
    bool m_layoutRestored = false;
};

} // namespace cp
