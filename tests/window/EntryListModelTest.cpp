// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list's model without a window: what each kind of entry shows,
// sorting, the filter and the mismatch choice, from the source and, where
// that is gone, from the entry files.
#include "scan/ScanFixture.h"
#include "support/Fixtures.h"
#include "window/EntryListModel.h"

#include <gtest/gtest.h>

#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

using namespace cptest;

namespace {

struct EntryListModelTest : ::testing::Test {
    TempDir dir;
    std::string source = dir / "Archiv.pak";
    cp::ScanResult scan;
    std::unique_ptr<cp::EntryListModel> model;
    const Bytes title = Chunk("LIST", Concat({Text("INFO"), Chunk("INAM", Text(std::string("Gl\366ckchen\0", 10)))}));

    void SetUp() override
    {
        const Bytes shortWave = MakeWave(8000, 500);
        // The tooltip's kinds: a wave with junk after it, a bare tag, a wave
        // whose title follows 44 KiB of sound, a wave cut short, a film, ADPCM.
        WriteFile(
            source,
            Concat({Junk(1000), MakeWave(11025, 1200), Junk(300, 2), Text("RIFF"),
                    Riff("WAVE", Concat({Chunk("fmt ", Fmt(1, 2, 22050, 8)), Chunk("data", Junk(44100, 3)), title})),
                    Bytes(shortWave.begin(), shortWave.begin() + 3000), Riff("AVI ", title),
                    Riff("WAVE", Concat({Chunk("fmt ", Fmt(0x11, 2, 22050, 4)), Chunk("data", Junk(100, 4))})),
                    Junk(979, 5)}));
        cp::EntryFolder folder {dir / "out"};
        folder.keepsTagPositions = true; // where the entries begin, as a window keeps them
        ::mkdir(folder.path.c_str(), 0755);
        cp::WaveEntryScanner(folder, nullptr).scanFile(source, scan);
        model = std::make_unique<cp::EntryListModel>(scan, cp::NumberStyle::germanStyle());
    }
    std::string Row(int row) const // row -1: the captions
    {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << (row < 0 ? model->headerData(c, Qt::Horizontal, Qt::DisplayRole) : model->index(row, c).data())
                         .toString();
        return cells.join('|').toStdString();
    }
    std::string Order() const // the entries, row by row
    {
        QStringList entries;
        for (int r = 0; r < model->rowCount(); ++r)
            entries << QString::number(model->entryAt(r));
        return entries.join(',').toStdString();
    }
};

TEST_F(EntryListModelTest, EveryKindOfEntryShowsItsColumnsFromTheSourceOrItsFile)
{
    const std::string rows[] = {
        "1|1.001|26.804|WAVE|PCM|1|11.025|16|1,200 s|+300 Byte|",
        "2|27.805|4|kein RIFF-Kopf|||||||",
        "3|27.809|44.174|WAVE|PCM|2|22.050|8|1,000 s|stimmt|Glöckchen",
        "4|71.983|3.000|WAVE|PCM|1|8.000|16|0,184 s|\u22125.044 Byte|",
        "5|74.983|42|AVI||||||stimmt|Glöckchen",
        "6|75.025|1.123|WAVE|IMA-ADPCM|2|22.050|4||+979 Byte|",
    };
    ASSERT_EQ(model->rowCount(), 6);
    EXPECT_EQ(Row(-1), "Nr.|Position|Größe|Form|Format|Kanäle|Rate|Bits|Dauer|Kopf|Titel");
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(Row(r), rows[r]) << "from the source";
    // Kopf is words, left of the free space that parts it from Titel.
    for (const auto& [column, alignment] :
         {std::pair(cp::EntryListModel::Length, Qt::AlignRight), std::pair(cp::EntryListModel::Header, Qt::AlignLeft)})
        EXPECT_EQ(model->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                  alignment | Qt::AlignVCenter)
            << column;
    EXPECT_EQ(model->index(3, 0).data(Qt::ToolTipRole).toString(),
              "Form: WAVE\nFormat: PCM, 1 Kanal, 8.000 Hz, 16 Bit\nGröße: laut Kopf 8.044 Byte, Eintrag 3.000 Byte "
              "(5.044 Byte weniger)");
    EXPECT_EQ(model->index(4, 0).data(Qt::ToolTipRole).toString(),
              "Form: AVI\nGröße: stimmt überein\nTitel: Glöckchen");

    ::unlink(source.c_str()); // the source gone: the same from the entry files
    model->scanChanging();
    model->scanChanged();
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(Row(r), rows[r]) << "from the entry files";
}

TEST_F(EntryListModelTest, SortsByEachKindOfColumnEqualKeysInEntryOrder)
{
    using M = cp::EntryListModel;
    const std::tuple<int, Qt::SortOrder, const char*> sorts[] = {
        {M::Format, Qt::AscendingOrder, "2,5,6,1,3,4"},    {M::Format, Qt::DescendingOrder, "1,3,4,6,2,5"},
        {M::Form, Qt::AscendingOrder, "2,5,1,3,4,6"},      {M::Header, Qt::AscendingOrder, "2,4,3,5,1,6"},
        {M::Length, Qt::DescendingOrder, "3,1,4,6,5,2"},   {M::Title, Qt::AscendingOrder, "1,2,4,6,3,5"},
        {M::Duration, Qt::DescendingOrder, "1,3,4,2,5,6"}, {M::Number, Qt::DescendingOrder, "6,5,4,3,2,1"},
    };
    QString busy;
    model->setLearningNotice([&](bool learning) { busy += learning ? "+" : "-"; });
    for (const auto& [column, order, entries] : sorts) {
        model->sort(column, order);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model->learning(); })) << "column " << column << " learnt";
        EXPECT_EQ(Order(), entries) << "column " << column;
    }
    EXPECT_EQ(busy, "+-") << "busy while the keys are learnt, once";
}

TEST_F(EntryListModelTest, TheFilterMatchesFormFormatAndTitleAndTheChoiceShowsOnlyMismatches)
{
    const std::tuple<const char*, bool, const char*> filters[]
        = {{"pcm", false, "1,3,4,6"},    {"GLÖCK", false, "3,5"}, {"avi", false, "5"}, {"kein", false, "2"},
           {"", true, "1,4,6"},          {"ima", true, "6"},      {"mp3", false, ""},  {"", false, "1,2,3,4,5,6"},
           {"  ", false, "1,2,3,4,5,6"}, {" avi ", false, "5"}};
    model->sort(cp::EntryListModel::Length, Qt::AscendingOrder);
    for (const auto& [text, mismatchesOnly, entries] : filters) {
        model->setFilter(text, mismatchesOnly);
        model->sort(cp::EntryListModel::Number, Qt::AscendingOrder);
        EXPECT_EQ(Order(), entries) << text << " " << mismatchesOnly;
    }
    model->setFilter("", true);
    EXPECT_EQ(model->rowOf(4), 1);
    EXPECT_EQ(model->rowOf(3), -1) << "hidden";
}

TEST(EntryListOrder, TitlesInNaturalOrderDigitRunsByValueRegardlessOfCaseAndAccents)
{
    const char* const ascending[] = {"",          "0",          "ab",        "abc",        "Äpfel",    "b007",
                                     "b8",        "Birnen",     "Wasser 1",  "wasser 1",   "wasser 2", "Wasser 9",
                                     "Wasser 10", "Wasser 10a", "Wasser 70", "Wasser 100", "x2y9",     "x10y1"};
    for (std::size_t i = 0; i < std::size(ascending); ++i)
        for (std::size_t j = 0; j < std::size(ascending); ++j)
            EXPECT_EQ(cp::EntryListModel::naturalCompare(ascending[i], ascending[j]), i < j ? -1 : int(i > j))
                << ascending[i] << " against " << ascending[j];
}

} // namespace
