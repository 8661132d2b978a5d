// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32MainForm.h"

#include "Win32Twips.h"

#include "base/WideText.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace cp {

namespace layout = mainWindowLayout;

namespace {

constexpr int kToolTipId = 1; // the current entry's group, on the window itself

// A key of the command table as a virtual key.
WORD virtualKey(Key key)
{
    switch (key) {
    case Key::O: return 'O';
    case Key::S: return 'S';
    case Key::Left: return VK_LEFT;
    case Key::PageUp: return VK_PRIOR;
    case Key::Return:
    case Key::Enter: return VK_RETURN; // the keypad's Enter is Return with the extended bit
    case Key::Escape: return VK_ESCAPE;
    case Key::Right: return VK_RIGHT;
    case Key::PageDown: return VK_NEXT;
    case Key::Home: return VK_HOME;
    case Key::End: return VK_END;
    case Key::F4: return VK_F4;
    case Key::None: break;
    }
    return 0;
}

HWND child(HWND parent, const wchar_t* type, const std::string& text, DWORD style, const RECT& place, int id = 0)
{
    return ::CreateWindowExW(0, type, wideText(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                             place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                             HMENU(INT_PTR(id)), HINSTANCE(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

RECT offset(RECT place, const RECT& by)
{
    ::OffsetRect(&place, by.left, by.top);
    return place;
}

int textWidth(HWND control, const std::wstring& text)
{
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, HGDIOBJ(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size {};
    ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx;
}

// The slider only shows: clicks and drags go through it to the window.
LRESULT CALLBACK showOnly(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return ::DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

HFONT createLayoutFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    metrics.lfMessageFont.lfHeight = -MulDiv(8, int(dpi), 72);
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

Win32MainForm::~Win32MainForm()
{
    if (m_toolTip) // a popup of the window's, not a child that goes with its controls
        ::DestroyWindow(m_toolTip);
    if (m_keys)
        ::DestroyAcceleratorTable(m_keys);
    if (m_pictures)
        ::ImageList_Destroy(m_pictures);
    if (m_font)
        ::DeleteObject(m_font);
}

void Win32MainForm::build(HWND window, HINSTANCE instance)
{
    m_window = window;
    m_dpi = ::GetDpiForWindow(window);
    m_font = createLayoutFont(m_dpi);
    makeToolbar(instance);
    m_progressBar = child(window, PROGRESS_CLASSW, "", 0, pixelRect(layout::kProgressBar, m_dpi));
    ::ShowWindow(m_progressBar, SW_HIDE);
    child(window, L"STATIC", "", SS_ETCHEDHORZ,
          {0, twipsToPixels(layout::kToolbarLineTop, m_dpi) - 1, twipsToPixels(layout::kToolbarLineWidth, m_dpi),
           twipsToPixels(layout::kToolbarLineTop, m_dpi) + 1});
    const MainWindowView initial;
    for (std::size_t i = 0; i < m_groups.size(); ++i)
        m_groups[i] = child(window, L"BUTTON", i == 0 ? layout::kWholeFileTitle : initial.entryTitle, BS_GROUPBOX,
                            pixelRect(layout::kGroups[i], m_dpi));
    makeFigures();
    // The groups are frames behind their figures.
    for (HWND group : m_groups)
        ::SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The box keeps its whole caption and tick, and stays clear of the group beside it.
    const std::wstring loopText = L"Endlos abspielen";
    m_loopBox = child(window, L"BUTTON", utf8Text(loopText), BS_3STATE | WS_TABSTOP, {}, kLoopBoxId);
    ::SendMessageW(m_loopBox, WM_SETFONT, WPARAM(m_font), FALSE);
    const TwipsRect& box = layout::kLoopBox;
    const int boxWidth = std::max(twipsToPixels(box.width, m_dpi),
                                  textWidth(m_loopBox, loopText) + ::GetSystemMetricsForDpi(SM_CXMENUCHECK, m_dpi) + 8);
    const int boxHeight = twipsToPixels(box.height, m_dpi) + 2;
    const int boxLeft = std::min(twipsToPixels(box.left, m_dpi),
                                 twipsToPixels(layout::kGroups[1].left - layout::kLoopBoxGap, m_dpi) - boxWidth);
    const int boxTop = twipsToPixels(box.top + box.height / 2, m_dpi) - boxHeight / 2;
    ::MoveWindow(m_loopBox, boxLeft, boxTop, boxWidth, boxHeight, FALSE);
    const int lineTop = twipsToPixels(layout::kLoopLine.top, m_dpi);
    child(window, L"STATIC", "", SS_ETCHEDHORZ,
          {twipsToPixels(layout::kLoopLine.left, m_dpi), lineTop - 1, boxLeft - twipsToPixels(30, m_dpi), lineTop + 1});

    m_slider
        = child(window, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, pixelRect(layout::kSlider, m_dpi));
    ::SetWindowSubclass(m_slider, showOnly, 0, 0);

    // Every command's keys, as its button and menu line name them.
    std::vector<ACCEL> keys;
    for (const CommandInfo& info : windowCommands())
        for (const KeyStroke& stroke : info.keys)
            if (WORD key = virtualKey(stroke.key)) {
                BYTE flags = FVIRTKEY;
                if (stroke.modifiers & Control)
                    flags |= FCONTROL;
                if (stroke.modifiers & Shift)
                    flags |= FSHIFT;
                keys.push_back({flags, key, WORD(commandId(info.command))});
            }
    m_keys = ::CreateAcceleratorTableW(keys.data(), int(keys.size()));
    show(initial);
}

void Win32MainForm::makeToolbar(HINSTANCE instance)
{
    m_toolbar = child(m_window, TOOLBARCLASSNAMEW, "",
                      TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                      pixelRect(layout::kToolbar, m_dpi));
    ::SendMessageW(m_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int picture = twipsToPixels(layout::kButtonPicture, m_dpi);
    m_pictures = ::ImageList_Create(picture, picture, ILC_COLOR32 | ILC_MASK, 8, 0);
    std::vector<TBBUTTON> buttons;
    for (const CommandInfo& info : windowCommands()) {
        if (!info.picture)
            continue;
        if (info.separatorBefore)
            buttons.push_back({0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0});
        auto icon = HICON(::LoadImageW(instance, wideText(info.picture).c_str(), IMAGE_ICON, picture, picture, 0));
        const int image = ::ImageList_AddIcon(m_pictures, icon);
        ::DestroyIcon(icon);
        const BYTE state = usableWithoutFile(info.command) ? TBSTATE_ENABLED : 0;
        buttons.push_back({image, commandId(info.command), state, BTNS_BUTTON, {}, 0, 0});
    }
    ::SendMessageW(m_toolbar, TB_SETIMAGELIST, 0, LPARAM(m_pictures));
    ::SendMessageW(m_toolbar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(twipsToPixels(layout::kButtonWidth, m_dpi), twipsToPixels(layout::kButtonHeight, m_dpi)));
    ::SendMessageW(m_toolbar, TB_ADDBUTTONSW, buttons.size(), LPARAM(buttons.data()));
}

void Win32MainForm::makeFigures()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                  m_window, nullptr, nullptr, nullptr);
    ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, twipsToPixels(6000, m_dpi));
    auto addTip = [this](HWND control) {
        TTTOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS | (control ? TTF_IDISHWND : 0);
        tool.hwnd = m_window;
        tool.uId = control ? UINT_PTR(control) : kToolTipId;
        tool.rect = pixelRect(layout::kGroups[1], m_dpi);
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, LPARAM(&tool));
    };
    addTip(nullptr);
    for (const FigureRow& row : figureRows()) {
        const RECT group = pixelRect(layout::kGroups[std::size_t(row.group)], m_dpi);
        const std::size_t i = std::size_t(row.figure);
        RECT label = offset(pixelRect(row.label, m_dpi), group);
        m_labels[i] = child(m_window, L"STATIC", row.caption, SS_LEFT | SS_NOTIFY, label);
        // Fonts here are wider than the layout's; a caption keeps its whole text.
        ::SendMessageW(m_labels[i], WM_SETFONT, WPARAM(m_font), FALSE);
        label.right = std::max(label.right, label.left + textWidth(m_labels[i], wideText(row.caption)) + 2);
        ::MoveWindow(m_labels[i], label.left, label.top, label.right - label.left, label.bottom - label.top, FALSE);
        m_designed[i] = offset(pixelRect(row.field, m_dpi), group);
        m_fields[i] = child(m_window, L"STATIC", "", SS_RIGHT | SS_NOTIFY | SS_NOPREFIX, m_designed[i]);
        if (row.group == 1) {
            addTip(m_labels[i]);
            addTip(m_fields[i]);
        }
    }
    for (HWND control = ::GetWindow(m_window, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT))
        ::SendMessageW(control, WM_SETFONT, WPARAM(m_font), FALSE);
}

void Win32MainForm::show(const MainWindowView& view)
{
    auto changed = [&](const std::string& now, const std::string& before) { return m_firstShow || now != before; };
    if (changed(view.caption, m_shown.caption))
        ::SetWindowTextW(m_window, wideText(view.caption).c_str());
    for (const FigureRow& row : figureRows()) {
        const std::string& text = figureText(view, row.figure);
        if (changed(text, figureText(m_shown, row.figure))) {
            ::SetWindowTextW(field(row.figure), wideText(text).c_str());
            fitToText(row.figure);
        }
    }
    if (changed(view.entryTitle, m_shown.entryTitle))
        ::SetWindowTextW(m_groups[1], wideText(view.entryTitle).c_str());
    if (changed(view.toolTip, m_shown.toolTip)) {
        const std::wstring tip = wideText(view.toolTip);
        TTTOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_window;
        tool.lpszText = const_cast<wchar_t*>(tip.c_str());
        tool.uId = kToolTipId;
        ::SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, LPARAM(&tool));
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            if (figureRows()[i].group != 1)
                continue;
            for (HWND control : {m_labels[i], m_fields[i]}) {
                tool.uId = UINT_PTR(control);
                ::SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, LPARAM(&tool));
            }
        }
    }
    const auto sliderMaximum = LPARAM(std::clamp<std::int64_t>(view.sliderMaximum, 0, INT_MAX));
    if (m_firstShow || view.sliderMaximum != m_shown.sliderMaximum) {
        ::SendMessageW(m_slider, TBM_SETRANGEMAX, FALSE, sliderMaximum);
        // A tick every tenth, as a ruler: one per unit would be a smear on a long sound.
        ::SendMessageW(m_slider, TBM_SETTICFREQ, std::max<LPARAM>(1, sliderMaximum / 10), 0);
    }
    ::SendMessageW(m_slider, TBM_SETPOS, TRUE, LPARAM(std::clamp<std::int64_t>(view.sliderValue, 0, sliderMaximum)));
    ::SendMessageW(m_progressBar, PBM_SETRANGE32, 0, view.progressMaximum);
    ::SendMessageW(m_progressBar, PBM_SETPOS, WPARAM(view.progress), 0);
    if (m_firstShow || view.scanning != m_shown.scanning) {
        ::ShowWindow(m_progressBar, view.scanning ? SW_SHOW : SW_HIDE);
        if (view.scanning)
            ::SetWindowPos(m_progressBar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    if (view.loop != m_loop || m_firstShow)
        setLoop(view.loop);
    for (const CommandInfo& info : windowCommands())
        if (info.picture)
            ::SendMessageW(m_toolbar, TB_ENABLEBUTTON, commandId(info.command), view.isEnabled(info.command));
    m_shown = view;
    m_firstShow = false;
}

// Widens a figure's field to its text, so that a large figure never reads as
// another number with its first digits cut off: to the left as far as its caption.
void Win32MainForm::fitToText(Figure figure)
{
    const std::size_t i = std::size_t(figure);
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(m_fields[i], text, int(std::size(text)));
    const int needed = textWidth(m_fields[i], std::wstring(text, std::size_t(length))) + 5;
    RECT place = m_designed[i];
    if (needed > place.right - place.left) {
        RECT caption {};
        ::GetWindowRect(m_labels[i], &caption);
        ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&caption), 2);
        place.left = std::max(caption.left + textWidth(m_labels[i], L"Qualität: "), place.right - needed);
    }
    ::MoveWindow(m_fields[i], place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

void Win32MainForm::setLoop(int value)
{
    m_loop = value;
    const WPARAM state = value == 2 ? BST_INDETERMINATE : value == 1 ? BST_CHECKED : BST_UNCHECKED;
    ::SendMessageW(m_loopBox, BM_SETCHECK, state, 0);
}

int Win32MainForm::toggleLoop()
{
    // Once clicked, the box only knows ticked and unticked.
    setLoop(m_loop == 1 ? 0 : 1);
    return m_loop;
}

std::optional<Command> Win32MainForm::popUpCommandMenu(POINT at, bool usable, const MainWindowView& view) const
{
    HMENU menu = ::CreatePopupMenu();
    for (const CommandInfo& info : windowCommands()) {
        if (info.separatorBefore)
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const bool enabled = (usable || info.command == Command::EntryList) && view.isEnabled(info.command);
        const std::wstring line = wideText(std::string(info.text) + "\t" + info.keysShown);
        ::AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), UINT_PTR(commandId(info.command)), line.c_str());
    }
    const int chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_window, nullptr);
    ::DestroyMenu(menu);
    if (!isCommandId(chosen))
        return std::nullopt;
    return commandOf(chosen);
}

bool Win32MainForm::onEntryGroup(POINT client) const
{
    const RECT group = pixelRect(layout::kGroups[1], m_dpi);
    return ::PtInRect(&group, client);
}

} // namespace cp
