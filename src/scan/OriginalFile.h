// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ContainerMember.h"
#include "RiffStructure.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cp {

class SourceReader;

// A file name made of a stored member name, for writing into a folder of the
// user's: the last path component only ('/' and '\\' both separate, trailing
// ones are dropped); NULs and control bytes become '_'; other bytes are kept
// as they are, UTF-8 or not; at most kMemberNameMost bytes, cut before the
// extension (up to 16 bytes of it) and never inside a UTF-8 sequence. Empty
// where no usable name remains ("", ".", ".."): the caller names it itself.
inline constexpr std::size_t kMemberNameMost = 200; // leaves room for a numbering
std::string safeMemberName(const std::string& stored);

// How an entry is to be written when the user wants the original file back
// rather than the cut: each part may be asked for on its own.
struct OriginalOptions {
    bool trim = false;  // the original's length rather than the entry's
    bool names = false; // a name from the data rather than the number's
    bool types = false; // the form's extension rather than ".wav"

    bool any() const { return trim || names || types; }
};

// What an entry's original file is, as far as its bytes and the archive
// header right before its tag tell.
//
// Length, with trim: where an intact tar, cpio or stored zip header right
// before the tag gives the member's size, that size (never more than the
// entry); otherwise the RIFF structure's trimmed length, which keeps the
// entry whole where its claim cannot be trusted. Without trim the entry's.
//
// Name, with names: the member's name, else the entry's title, else the
// number's; made a file name (safeMemberName, and on Windows the names
// Windows refuses: see portableFileName). The extension: with types the
// form's (riffExtension), which a member's name gets added unless it ends in
// it already; without, a member's name is kept as stored and the others end
// in ".wav".
struct OriginalFile {
    enum class LengthFrom { Entry, Member, Structure };
    enum class NameFrom { Number, Member, Title };
    RiffStructure structure;
    std::optional<ContainerMember> member;
    std::int64_t length = 0; // the bytes to write, from the tag on
    LengthFrom lengthFrom = LengthFrom::Entry;
    std::string name; // a file name, before any numbering for a name taken
    NameFrom nameFrom = NameFrom::Number;
};

// The original of the length bytes at offset (0-based) of source, whose
// Parts' name (without folder and extension, "Sound001 aus x.pak") is
// numberStem. Reads a few KiB; throws ScanError or FileError where the source
// cannot be read.
OriginalFile planOriginal(const SourceReader& source, std::int64_t offset, std::int64_t length,
                          const std::string& numberStem, OriginalOptions options);

// Why the length is what it is, in German, for a manifest.
std::string lengthReasonText(const OriginalFile& original);

// The name for the attempt'th try when the name is taken: "door.wav",
// "door (2).wav", "door (3).wav"; the number goes before the extension.
std::string numberedName(const std::string& name, int attempt);

// A name Windows accepts as it stands, made from a name already free of
// separators and control bytes: bytes that are no UTF-8 read as Latin-1,
// < > : " | ? * as '_', trailing dots and blanks dropped, and a device name
// (CON, NUL, COM1, ...; with any extension) given a leading '_'. Empty stays
// empty.
std::string portableFileName(const std::string& name);

} // namespace cp
