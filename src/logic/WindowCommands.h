// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

namespace cp {

// Everything the user can tell the main window to do.
enum class Command { Open, SaveAll, Previous, Play, Stop, Save, Next, First, Last, EntryList };
constexpr std::size_t kCommandCount = 10;

// A key as the faces map it onto their own.
enum class Key { None, O, S, Left, PageUp, Return, Enter, Escape, Right, PageDown, Home, End, F4 };
enum KeyModifier { NoModifier = 0, Control = 1, Shift = 2 };
struct KeyStroke {
    Key key = Key::None;
    int modifiers = NoModifier;
};

// One command as the window offers it: its button (if it has one), its keys
// and its line in the context menu.
struct CommandInfo {
    Command command;
    const char* text;       // the button's tooltip and the menu's line
    const char* picture;    // the button's picture; nullptr: no button
    const char* objectName; // the button's name, as settings and tests see it
    const char* keysShown;  // the keys as the menu spells them out
    std::array<KeyStroke, 2> keys;
    bool separatorBefore; // in the toolbar (where it has a button) and in the menu
};

// The commands in the order of the toolbar and the menu.
const std::array<CommandInfo, kCommandCount>& windowCommands();

// The commands that can be used before the first scan.
inline constexpr bool usableWithoutFile(Command command)
{
    return command == Command::Open || command == Command::EntryList;
}

} // namespace cp
