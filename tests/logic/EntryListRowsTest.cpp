// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list's rows without a toolkit: what each kind of entry shows,
// sorting, the filter and the mismatch choice, from the source and, where
// that is gone, from the entry files; the order of texts.
#include "logic/EntryListRows.h"
#include "logic/HeaderWording.h"
#include "logic/NaturalKey.h"
#include "playback/SoundFile.h"
#include "scan/ScanFixture.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cptest;
using Rows = cp::EntryListRows;

namespace {

struct EntryListRowsTest : ::testing::Test {
    TempDir dir;
    std::string source = dir / "Archiv.pak";
    cp::ScanResult scan;
    std::unique_ptr<Rows> rows;
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
        Scan(cp::soundLengthMs);
    }
    void Scan(cp::SoundLengthMs decoder)
    {
        rows.reset();
        Rescan();
        rows = std::make_unique<Rows>(scan, cp::NumberStyle::germanStyle(), decoder);
    }
    void Rescan() // into the scan the rows show
    {
        static int scans = 0;
        cp::EntryFolder folder {dir / ("out" + std::to_string(++scans))};
        folder.keepsTagPositions = true; // where the entries begin, as a window keeps them
        std::filesystem::create_directory(native(folder.path));
        scan = cp::ScanResult();
        cp::WaveEntryScanner(folder, nullptr).scanFile(source, scan);
    }
    std::string Sorted(int column, bool ascending)
    {
        rows->sort(column, ascending);
        for (int slice = 0; slice < 10000 && rows->learning(); ++slice)
            if (rows->learnSlice())
                rows->sort(rows->sortColumn(), rows->sortAscending());
        return Order();
    }
    std::string Row(int row) const // row -1: the captions
    {
        std::string cells;
        for (int c = 0; c < Rows::ColumnCount; ++c)
            cells += (c > 0 ? "|" : "") + (row < 0 ? Rows::caption(c) : rows->text(row, c));
        return cells;
    }
    std::string Order() const // the entries, row by row
    {
        std::string entries;
        for (int r = 0; r < rows->rowCount(); ++r)
            entries += (r > 0 ? "," : "") + std::to_string(rows->entryAt(r));
        return entries;
    }
};

TEST_F(EntryListRowsTest, EveryKindOfEntryShowsItsColumnsFromTheSourceOrItsFile)
{
    const std::string expected[] = {
        "1|1.001|26.804|WAVE|PCM|1|11.025|16|1,200 s|+300 Byte||aufgefüllt|Sound001 aus Archiv.pak.wav",
        "2|27.805|4|kein RIFF-Kopf||||||||keine Struktur|Sound002 aus Archiv.pak.riff",
        "3|27.809|44.174|WAVE|PCM|2|22.050|8|1,000 s|stimmt|Glöckchen|ganz|Glöckchen.wav",
        "4|71.983|3.000|WAVE|PCM|1|8.000|16|0,184 s|\u22125.044 Byte||abgeschnitten|Sound004 aus Archiv.pak.wav",
        "5|74.983|42|AVI||||||stimmt|Glöckchen|ganz|Glöckchen.avi",
        "6|75.025|1.123|WAVE|IMA-ADPCM|2|22.050|4||+979 Byte||aufgefüllt|Sound006 aus Archiv.pak.wav",
    };
    ASSERT_EQ(rows->rowCount(), 6);
    EXPECT_EQ(Row(-1), "Nr.|Position|Größe|Form|Format|Kanäle|Rate|Bits|Dauer|Kopf|Titel|Befund|Name");
    // Kopf is words, left of the free space that parts it from Titel (numbers: the Qt model's test).
    for (const int words : {Rows::Header, Rows::Verdict, Rows::Name})
        EXPECT_EQ(Rows::alignment(words), Rows::Alignment::Words) << words;
    EXPECT_EQ(rows->toolTip(3),
              "Form: WAVE\nFormat: PCM, 1 Kanal, 8.000 Hz, 16 Bit\n"
              "Größe: laut Kopf 8.044 Byte, Eintrag 3.000 Byte (5.044 Byte weniger)\n"
              "Befund: abgeschnitten (Eintrag endet vor dem Ende laut Kopf)");
    EXPECT_EQ(rows->toolTip(4), "Form: AVI\nGröße: stimmt überein\nTitel: Glöckchen\nBefund: ganz (Länge laut Kopf)");

    // From the source, then from the entry files where the source has another length now, or is gone.
    const std::function<void()> changes[]
        = {[] {}, [&] { WriteFile(source, Junk(1000)); }, [&] { std::filesystem::remove(native(source)); }};
    for (std::size_t k = 0; k < std::size(changes); ++k) {
        changes[k]();
        rows->scanChanging();
        rows->scanChanged();
        for (int r = 0; r < 6; ++r)
            EXPECT_EQ(Row(r), expected[r]) << "case " << k;
    }
}

TEST_F(EntryListRowsTest, SortsByEachKindOfColumnEqualKeysInEntryOrder)
{
    const std::tuple<int, bool, const char*> sorts[] = {
        {Rows::Format, true, "2,5,6,1,3,4"},    {Rows::Format, false, "1,3,4,6,2,5"},
        {Rows::Form, true, "2,5,1,3,4,6"},      {Rows::Header, true, "2,4,3,5,1,6"},
        {Rows::Length, false, "3,1,4,6,5,2"},   {Rows::Title, true, "1,2,4,6,3,5"},
        {Rows::Duration, false, "1,3,4,2,5,6"}, {Rows::Number, false, "6,5,4,3,2,1"},
        {Rows::Verdict, true, "4,1,6,3,5,2"},   {Rows::Name, true, "5,3,1,2,4,6"},
    };
    std::string busy;
    rows->setLearningNotice([&](bool learning) { busy += learning ? "+" : "-"; });
    for (const auto& [column, ascending, entries] : sorts)
        EXPECT_EQ(Sorted(column, ascending), entries) << "column " << column;
    for (const int none : {-1, int(Rows::ColumnCount)})
        EXPECT_EQ(Sorted(none, true), "5,3,1,2,4,6") << "no such column: the order stays";
    EXPECT_EQ(busy, "+-") << "busy while the keys are learnt, once";
}

TEST_F(EntryListRowsTest, ANewScanInTheSameRowsShowsItsOwnNamesAndFormsSortByAllFourLetters)
{
    EXPECT_EQ(rows->text(2, Rows::Name), "Glöckchen.wav");
    WriteFile(source, Concat({Riff("WAVE", {}), Riff("WAVA", {}), Riff("WAVE", Chunk("data", {}))}));
    rows->scanChanging();
    Rescan();
    rows->scanChanged();
    EXPECT_EQ(rows->text(2, Rows::Name), "Sound003 aus Archiv.pak.wav");
    EXPECT_EQ(Sorted(Rows::Form, true), "2,1,3");
}

TEST_F(EntryListRowsTest, TheFilterMatchesFormFormatAndTitleAndTheChoiceShowsOnlyMismatches)
{
    const std::tuple<const char*, bool, const char*> filters[]
        = {{"pcm", false, "1,3,4,6"},    {"GLÖCK", false, "3,5"}, {"avi", false, "5"},
           {"kein", false, "2"},         {"", true, "1,2,4,6"},   {"ima", true, "6"},
           {"mp3", false, ""},           {"glock", false, ""},    {"", false, "1,2,3,4,5,6"},
           {"  ", false, "1,2,3,4,5,6"}, {"\tavi ", false, "5"},  {"\u00a0avi\u3000", false, "5"},
           {"abgeschnitten", false, "4"}};
    rows->sort(Rows::Length, true);
    for (const auto& [text, mismatchesOnly, entries] : filters) {
        rows->setFilter(text, mismatchesOnly);
        rows->sort(Rows::Number, true);
        EXPECT_EQ(Order(), entries) << text << " " << mismatchesOnly;
    }
    rows->setFilter("", true);
    EXPECT_EQ(rows->rowOf(4), 2);
    EXPECT_EQ(rows->rowOf(3), -1) << "hidden";
}

TEST_F(EntryListRowsTest, PlayingTimesGoByTheHeaderWhereItSaysLessAndAFilmsByItsOwn)
{
    // A decoder that takes every byte for a millisecond of sound, the padding after a placeholder size too.
    const cp::SoundLengthMs everyByte
        = [](const cp::SourceReader&, std::int64_t, std::int64_t length) { return std::optional(length); };
    const Bytes avih = Chunk("avih", Concat({Le(40000, 4), Bytes(12, 0), Le(50, 4), Bytes(36, 0)}));
    const Bytes fmt = Chunk("fmt ", Fmt(1, 1, 8000, 16)), slowFmt = Chunk("fmt ", Fmt(1, 1, 100, 8));
    const Bytes fastFmt = Chunk("fmt ", Fmt(1, 1, 100000, 8)); // an average rate, wrong for this whole file
    const Bytes film = Riff("AVI ", Chunk("LIST", Concat({Text("hdrl"), avih})));
    WriteFile(source,
              Concat({Riff("WAVE", Concat({fmt, Chunk("data", Junk(1600))}), 0x7FFFFFFF), Bytes(16000, 0),
                      Riff("WAVE", Concat({slowFmt, Chunk("data", Junk(300))})),
                      Riff("WAVE", Concat({fastFmt, Chunk("data", Junk(300))})), film}));
    Scan(everyByte);
    std::string times;
    for (int r = 0; r < 4; ++r)
        times += rows->text(r, Rows::Duration) + "|";
    EXPECT_EQ(times, "0,100 s|0,344 s|0,344 s|2,000 s|")
        << "the header's, the decoder's where less or the file whole, the film's";
}

TEST(EntryListOrder, TitlesInNaturalOrderDigitRunsByValueRegardlessOfCaseAndAccents)
{
    // Five bytes that are no UTF-8 are five U+FFFD: less than any character beyond them; a lead byte
    // without its continuation is one U+FFFD, and the byte after it is read as itself.
    const char* const ascending[]
        = {"",          "0",          "ab",        "abc",        "Ærø",      "Äpfel",    "b007",
           "b8",        "Birnen",     "Čz",        "Da",         "Łódź",     "Øl",       "ſehr",
           "Strasse",   "Straße",     "Strassen",  "Wasser 1",   "wasser 1", "wasser 2", "Wasser 9",
           "Wasser 10", "Wasser 10a", "Wasser 70", "Wasser 100", "x2y9",     "x10y1",    "ωa",
           "Ωz",        "ж",          "ѐa",        "Ѐz",         "€",        "\xc3z",    "\xff\xff\xff\xff\xff",
           "😀"};
    for (std::size_t i = 0; i < std::size(ascending); ++i)
        for (std::size_t j = 0; j < std::size(ascending); ++j)
            EXPECT_EQ(cp::naturalCompare(ascending[i], ascending[j]), i < j ? -1 : int(i > j))
                << ascending[i] << " against " << ascending[j];
}

TEST(EntryListOrder, TheHeadersSizeAgreementAndPlayingTimesInWords)
{
    const cp::NumberStyle german = cp::NumberStyle::germanStyle();
    EXPECT_EQ(cp::secondsWords(1'234'567, true, german), "1.234,567 s");
    EXPECT_EQ(cp::secondsWords(0, true, german), "0,000 s");
    EXPECT_EQ(cp::sizeAgreementWords(1, true, german), "+1 Byte");
    EXPECT_EQ(cp::sizeAgreementWords(-1234, true, german), "\u22121.234 Byte");
    EXPECT_EQ(cp::sizeAgreementWords(1, false, german), "1 Byte mehr");
    EXPECT_EQ(cp::sizeAgreementWords(0, false, german), "stimmt überein");
}

} // namespace
