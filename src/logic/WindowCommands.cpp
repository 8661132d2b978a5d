// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowCommands.h"

namespace cp {

namespace {

// The buttons keep the names their places had on the first toolbar, where a
// separator took the third; the key names are spelled out in German whatever
// translations are installed.
constexpr std::array<CommandInfo, kCommandCount> kCommands {{
    {Command::Open, "Datei öffnen", "open", "Button1", "Strg+O", {{{Key::O, Control}}}, false},
    {Command::SaveAll,
     "Alle gefundenen Einträge speichern",
     "saveall",
     "Button2",
     "Strg+Umschalt+S",
     {{{Key::S, Control | Shift}}},
     false},
    {Command::Previous,
     "zum vorhergehenden Eintrag springen",
     "previous",
     "Button4",
     "Links, Bild auf",
     {{{Key::Left}, {Key::PageUp}}},
     true},
    {Command::Play, "Eintrag abspielen", "play", "Button5", "Eingabe", {{{Key::Return}, {Key::Enter}}}, false},
    {Command::Stop, "Stoppen", "stop", "Button6", "Esc", {{{Key::Escape}}}, false},
    {Command::Save, "aktuellen Eintrag speichern", "save", "Button7", "Strg+S", {{{Key::S, Control}}}, false},
    {Command::Next,
     "zum nächsten Eintrag springen",
     "next",
     "Button8",
     "Rechts, Bild ab",
     {{{Key::Right}, {Key::PageDown}}},
     false},
    {Command::First, "zum ersten Eintrag springen", nullptr, "", "Pos1", {{{Key::Home}}}, true},
    {Command::Last, "zum letzten Eintrag springen", nullptr, "", "Ende", {{{Key::End}}}, false},
    {Command::EntryList, "Einträge", nullptr, "", "F4", {{{Key::F4}}}, true},
}};

} // namespace

const std::array<CommandInfo, kCommandCount>& windowCommands()
{
    return kCommands;
}

} // namespace cp
