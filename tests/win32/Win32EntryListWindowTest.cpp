// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows entry list under wine, driven through window messages as the
// user's clicks and keys reach it: cells, sorting, the filter, keys, picking
// and its place in the settings.
#include "base/WideText.h"
#include "logic/SettingsStore.h"
#include "playback/SoundFile.h"
#include "scan/WaveEntryScanner.h"
#include "support/Fixtures.h"
#include "support/MemorySettings.h"
#include "win32/Win32EntryListWindow.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>
#include <map>

using namespace cptest;

namespace {

struct Recorder : cp::Win32EntryListWindow::Listener {
    std::vector<std::string> heard;
    void commandChosen(cp::Command command) override
    {
        heard.push_back(command == cp::Command::Play ? "Play" : "Stop");
    }
    void entryPicked(std::int64_t entry) override { heard.push_back("pick " + std::to_string(entry)); }
    void saveChosen(const std::vector<std::int64_t>& entries) override
    {
        std::string text = "save";
        for (const std::int64_t entry : entries)
            text += " " + std::to_string(entry);
        heard.push_back(text);
    }
    void originalsChosen(const std::vector<std::int64_t>&) override { heard.push_back("originals"); }
};

// A wave of the rate, mono 16-bit, playing so long, with a title where one is given.
Bytes Wave(std::uint32_t rate, std::size_t milliseconds, const std::string& title = "")
{
    const Bytes info = Chunk("LIST", Concat({Text("INFO"), Chunk("INAM", Text(title))}));
    return Riff("WAVE",
                Concat({Chunk("fmt ", Fmt(1, 1, rate, 16)), Chunk("data", Junk(rate / 500 * milliseconds)),
                        title.empty() ? Bytes() : info}));
}

struct Win32EntryListWindowTest : ::testing::Test {
    TempDir dir;
    cp::ShownScan shown;
    MemorySettings backend;
    cp::SettingsStore settings {backend};
    Recorder listener;
    HWND main = CreateWindowExW(0, WC_STATICW, L"Chunk Picker", WS_OVERLAPPEDWINDOW, 40, 30, 500, 200, nullptr, nullptr,
                                nullptr, nullptr);
    std::unique_ptr<cp::Win32EntryListWindow> list;

    void SetUp() override
    {
        Scan({Wave(22050, 300), Wave(8000, 100, "Zug"), Wave(11025, 1200), Wave(44100, 500, "Amsel")});
        list = std::make_unique<cp::Win32EntryListWindow>(main, shown, settings, cp::NumberStyle::germanStyle(),
                                                          listener);
    }
    void TearDown() override
    {
        list.reset();
        DestroyWindow(main);
    }
    void Scan(std::initializer_list<Bytes> entries)
    {
        static int scans = 0;
        const std::string source = dir / ("Archiv" + std::to_string(++scans) + ".pak");
        WriteFile(source, Concat(entries));
        cp::EntryFolder folder {dir / ("out" + std::to_string(scans))};
        folder.keepsTagPositions = true;
        std::filesystem::create_directory(native(folder.path));
        cp::ScanResult scan;
        cp::WaveEntryScanner(folder).scanFile(source, scan);
        shown.replace(std::move(scan));
    }
    HWND View() const { return list->list(); }
    int Count() const { return int(SendMessageW(View(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const
    {
        wchar_t text[300] {};
        LVITEMW item {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 300;
        SendMessageW(View(), LVM_GETITEMTEXTW, row, LPARAM(&item));
        return cp::utf8Text(text);
    }
    std::string Entries() const // the "Nr." column, row by row
    {
        std::string entries;
        for (int row = 0; row < Count(); ++row)
            entries += (row > 0 ? "," : "") + Cell(row, cp::EntryListRows::Number);
        return entries;
    }
    LRESULT Notify(int code, int item, int column = 0)
    {
        NMLISTVIEW notice {};
        notice.hdr = {View(), UINT_PTR(GetDlgCtrlID(View())), UINT(code)};
        notice.iItem = item;
        notice.iSubItem = column;
        return SendMessageW(list->handle(), WM_NOTIFY, notice.hdr.idFrom, LPARAM(&notice));
    }
    int SortArrow(int column) const
    {
        HDITEMW item {};
        item.mask = HDI_FORMAT;
        SendMessageW(ListView_GetHeader(View()), HDM_GETITEMW, column, LPARAM(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    bool Key(HWND to, WPARAM key, bool control = false)
    {
        BYTE keys[256] {};
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message {to, WM_KEYDOWN, key, 0, 0, {}};
        return list->takesMessage(message);
    }
    void Select(int row, UINT state)
    {
        LVITEMW item {};
        item.stateMask = state;
        item.state = state;
        SendMessageW(View(), LVM_SETITEMSTATE, row, LPARAM(&item));
    }
    bool PumpUntil(const std::function<bool()>& done)
    {
        return WaitUntil([&] {
            MSG message {};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            return done();
        });
    }
};

TEST_F(Win32EntryListWindowTest, ShowsEveryCellTooltipAndCaptionAsTheRowsSayThem)
{
    const cp::EntryListRows rows(shown.scan(), cp::NumberStyle::germanStyle(), cp::soundLengthMs);
    ASSERT_EQ(Count(), 4);
    for (int c = 0; c < cp::EntryListRows::ColumnCount; ++c) {
        wchar_t caption[50] {};
        LVCOLUMNW column {};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = caption;
        column.cchTextMax = 50;
        SendMessageW(View(), LVM_GETCOLUMNW, c, LPARAM(&column));
        EXPECT_EQ(cp::utf8Text(caption), cp::EntryListRows::caption(c));
        const bool number = cp::EntryListRows::alignment(c) == cp::EntryListRows::Alignment::Number;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, number ? LVCFMT_RIGHT : LVCFMT_LEFT) << "column " << c;
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(Cell(row, c), rows.text(row, c)) << "row " << row << ", column " << c;
    }
    EXPECT_EQ(Cell(3, cp::EntryListRows::Title), "Amsel");
    wchar_t tip[1000] {};
    NMLVGETINFOTIPW notice {};
    notice.hdr = {View(), UINT_PTR(GetDlgCtrlID(View())), UINT(LVN_GETINFOTIPW)};
    notice.pszText = tip;
    notice.cchTextMax = 1000;
    notice.iItem = 1;
    SendMessageW(list->handle(), WM_NOTIFY, notice.hdr.idFrom, LPARAM(&notice));
    EXPECT_EQ(cp::utf8Text(tip), rows.toolTip(1));
    EXPECT_NE(rows.toolTip(1), "");
}

TEST_F(Win32EntryListWindowTest, AColumnSortsAscendingAgainDescendingAndTheFocusStaysWithItsEntry)
{
    list->followCurrentEntry(1);
    Notify(LVN_COLUMNCLICK, -1, cp::EntryListRows::Rate);
    EXPECT_EQ(Entries(), "2,3,1,4");
    EXPECT_EQ(SortArrow(cp::EntryListRows::Rate), HDF_SORTUP);
    Notify(LVN_COLUMNCLICK, -1, cp::EntryListRows::Rate);
    EXPECT_EQ(Entries(), "4,1,3,2");
    EXPECT_EQ(SortArrow(cp::EntryListRows::Rate), HDF_SORTDOWN);
    EXPECT_EQ(SendMessageW(View(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 1) << "entry 1's row";
    // The playing times are learned between messages first.
    Notify(LVN_COLUMNCLICK, -1, cp::EntryListRows::Duration);
    EXPECT_EQ(SortArrow(cp::EntryListRows::Rate), 0);
    EXPECT_TRUE(PumpUntil([&] { return Entries() == "2,1,4,3"; })) << Entries();
    EXPECT_EQ(listener.heard, std::vector<std::string>()) << "sorting picks nothing";
}

TEST_F(Win32EntryListWindowTest, TheFilterNarrowsAfterTypingAtOnceOnReturnAndOverANewScan)
{
    SetWindowTextW(list->filterBox(), L" amsel ");
    EXPECT_EQ(Count(), 4) << "not at every key";
    EXPECT_TRUE(PumpUntil([&] { return Count() == 1; }));
    EXPECT_EQ(Entries(), "4");
    SetWindowTextW(list->filterBox(), L"ZUG");
    EXPECT_TRUE(Key(list->filterBox(), VK_RETURN));
    EXPECT_EQ(Entries(), "2");
    EXPECT_EQ(listener.heard, std::vector<std::string>()) << "Return in the box plays nothing";
    list->scanChanging();
    Scan({Wave(8000, 100, "Zugvogel"), Wave(8000, 100), Wave(8000, 100, "Zug")});
    list->scanChanged();
    EXPECT_EQ(Entries(), "1,3");
}

TEST_F(Win32EntryListWindowTest, KeysPlayStopAndSaveTheSelectionInTheListsOrder)
{
    Notify(LVN_COLUMNCLICK, -1, cp::EntryListRows::Rate);
    Select(0, LVIS_SELECTED);
    Select(2, LVIS_SELECTED);
    const struct {
        HWND to;
        WPARAM key;
        bool control;
        const char* heard;
    } keys[] = {{View(), VK_RETURN, false, "Play"},
                {View(), VK_ESCAPE, false, "Stop"},
                {View(), 'S', true, "save 2 1"},
                {list->mismatchesBox(), 'S', true, "save 2 1"}};
    for (const auto& key : keys) {
        listener.heard.clear();
        EXPECT_TRUE(Key(key.to, key.key, key.control));
        EXPECT_EQ(listener.heard, std::vector<std::string> {key.heard}) << key.heard;
    }
    listener.heard.clear();
    Notify(NM_DBLCLK, 1);
    EXPECT_EQ(listener.heard, std::vector<std::string> {"Play"});
}

TEST_F(Win32EntryListWindowTest, MovingToARowPicksItsEntryFollowingTheMainWindowDoesNot)
{
    Select(2, LVIS_FOCUSED | LVIS_SELECTED);
    EXPECT_EQ(listener.heard, std::vector<std::string> {"pick 3"});
    listener.heard.clear();
    list->followCurrentEntry(2);
    EXPECT_EQ(listener.heard, std::vector<std::string>());
    EXPECT_EQ(SendMessageW(View(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 1);
    EXPECT_EQ(SendMessageW(View(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

TEST_F(Win32EntryListWindowTest, OpensBelowTheMainWindowFirstThenWhereItWasWithItsColumnWidths)
{
    list->open();
    RECT place {}, beside {};
    GetWindowRect(list->handle(), &place);
    GetWindowRect(main, &beside);
    EXPECT_GE(place.top, beside.bottom);
    // At the main window's left, or as far left of it as the screen's width asks (a small test screen).
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    const bool atItsLeft = place.left == beside.left;
    EXPECT_TRUE(atItsLeft || (place.left < beside.left && place.right + 20 >= monitor.rcWork.right))
        << place.left << "-" << place.right << " below " << beside.left << " on " << monitor.rcWork.right;
    SetWindowPos(list->handle(), nullptr, 120, 140, 520, 330, SWP_NOZORDER);
    ListView_SetColumnWidth(View(), cp::EntryListRows::Title, 150);
    list->saveLayout();
    EXPECT_EQ(backend.values["EntryListPlacement"], "120,140,520,330");
    list = std::make_unique<cp::Win32EntryListWindow>(main, shown, settings, cp::NumberStyle::germanStyle(), listener);
    list->open();
    GetWindowRect(list->handle(), &place);
    EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}),
              std::vector<LONG>({120, 140, 640, 470}));
    EXPECT_EQ(ListView_GetColumnWidth(View(), cp::EntryListRows::Title), 150);
    EXPECT_TRUE(IsWindowVisible(list->handle()));
    SendMessageW(list->handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(list->handle()));
    EXPECT_TRUE(IsWindow(list->handle())) << "hidden, not gone";
}

} // namespace
