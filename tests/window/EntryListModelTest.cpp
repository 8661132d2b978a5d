// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list's Qt model: the rows' texts, alignment and tooltips in
// their roles, and a sort through the view's header that learns playing
// times from the event loop and keeps the current row on its entry.
#include "scan/ScanFixture.h"
#include "support/Fixtures.h"
#include "window/EntryListModel.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <sys/stat.h>

using namespace cptest;

namespace {

TEST(EntryListModel, ShowsTheRowsInTheirRolesAndSortsThroughTheHeader)
{
    TempDir dir;
    const std::string source = dir / "Archiv.pak";
    WriteFile(source, Concat({Junk(1000), MakeWave(11025, 300), Junk(300, 2), MakeWave(8000, 500), Text("RIFF")}));
    cp::EntryFolder folder {dir / "out"};
    folder.keepsTagPositions = true;
    ::mkdir(folder.path.c_str(), 0755);
    cp::ScanResult scan;
    cp::WaveEntryScanner(folder, nullptr).scanFile(source, scan);
    cp::EntryListModel model(scan, cp::NumberStyle::germanStyle());
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(cp::EntryListModel::Length, Qt::Horizontal, Qt::DisplayRole).toString(), "Größe");
    EXPECT_EQ(model.index(0, cp::EntryListModel::Header).data().toString(), "+300 Byte");
    EXPECT_EQ(
        model.index(1, 0).data(Qt::ToolTipRole).toString(),
        "Form: WAVE\nFormat: PCM, 1 Kanal, 8.000 Hz, 16 Bit\nGröße: stimmt überein\nBefund: ganz (Länge laut Kopf)");
    for (const auto& [column, alignment] : {std::pair(cp::EntryListModel::Length, Qt::AlignRight),
                                            std::pair(cp::EntryListModel::Header, Qt::AlignLeft)}) {
        EXPECT_EQ(model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  alignment | Qt::AlignVCenter)
            << column;
        EXPECT_EQ(model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  alignment | Qt::AlignVCenter)
            << column;
    }

    QTableView view;
    view.setModel(&model);
    view.setSortingEnabled(true);
    view.setCurrentIndex(model.index(1, 0));
    QString busy;
    model.setLearningNotice([&](bool learning) { busy += learning ? "+" : "-"; });
    view.horizontalHeader()->setSortIndicator(cp::EntryListModel::Duration, Qt::DescendingOrder);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !model.learning(); })) << "learnt between events";
    EXPECT_EQ(busy, "+-");
    EXPECT_EQ(model.entryAt(0), 2);
    EXPECT_EQ(model.entryAt(1), 1);
    EXPECT_EQ(model.entryAt(2), 3) << "no playing time: last";
    EXPECT_EQ(model.entryAt(view.currentIndex().row()), 2) << "the current row stays on its entry";
    view.horizontalHeader()->setSortIndicator(cp::EntryListModel::Number, Qt::AscendingOrder);
    EXPECT_EQ(model.entryAt(0), 1) << "the first column sorts as well";
}

} // namespace
