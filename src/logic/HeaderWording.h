// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/NumberFormat.h"
#include "scan/EntryHeader.h"
#include "scan/RiffStructure.h"

#include <cstdint>
#include <string>

namespace cp {

// The words for what an entry's header says, shared by the current entry's
// tooltip and the entry list, so that both speak alike.

// The form as shown, or "kein RIFF-Kopf".
std::string formWords(const EntryHeader& header);
// "PCM", "IMA-ADPCM", …; empty without a wave format.
std::string formatWords(const EntryHeader& header);
// How the cut compares with the size the header claims (difference = cut
// minus claimed). Short, for a column: "stimmt", "+979 Byte", "−3.044 Byte";
// long, for a sentence: "stimmt überein", "979 Byte mehr", "3.044 Byte weniger".
std::string sizeAgreementWords(std::int64_t difference, bool shortForm, const NumberStyle& style);
// The whole tooltip of an entry of size bytes.
std::string entryToolTipText(const EntryHeader& header, std::int64_t size, const NumberStyle& style);
// How the entry compares with the RIFF file its header claims: "ganz",
// "aufgefüllt", "abgeschnitten", "keine Struktur".
std::string verdictWords(RiffVerdict verdict);
// A playing time in seconds with one decimal, as the window shows it: "1,2
// Sekunden"; short, for a column, to the millisecond, "1,200 s", so that two
// sounds that sort apart never look alike there.
std::string secondsWords(std::int64_t milliseconds, bool shortForm, const NumberStyle& style);

} // namespace cp
