// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace cp {

class SourceReader;

// The archive member whose data begins at a tag, as told by the member's
// header right before it: a tar header block (ustar, old GNU or v7; a GNU
// long name or a pax header before it names the member in its stead), a cpio
// header with its name (newc or odc) or a zip local file header of a stored
// member. Only a regular file's header counts. Every field is read from the
// bytes before the tag; nothing is taken from the rest of the archive.
struct ContainerMember {
    enum class Kind { Tar, Cpio, Zip };
    Kind kind = Kind::Tar;
    // The name as stored, byte for byte: it may hold "..", a leading '/',
    // control bytes, NULs (cpio, zip) or be of any length; safeMemberName()
    // makes a file name of it.
    std::string name;
    // The member's data size, cut to what the source holds from the tag on:
    // a header that claims more is kept, with sizeCut set, as the member's
    // start is still right. Empty where the header does not tell (a zip
    // member whose sizes follow its data).
    std::optional<std::int64_t> size;
    bool sizeCut = false;
    // The header checks out: tar's checksum is right (a ustar header with a
    // wrong one is still given; a v7 header, having no magic, is found by its
    // checksum alone); cpio's numbers are all
    // well-formed (the crc form's data sum is not checked); zip's two sizes
    // agree, as they must for a stored member.
    bool headerIntact = false;
};

// How far before a tag a member's header is looked for: tar's long names,
// cpio's and zip's names and zip's extra field must fit in it with the header.
inline constexpr std::size_t kMemberHeaderReach = 16 * 1024;

// The member whose header ends right at the end of the size bytes at before,
// with after bytes from there to the source's end. Where several kinds would
// fit, tar goes before cpio before zip.
std::optional<ContainerMember> parseMemberBefore(const unsigned char* before, std::size_t size, std::int64_t after);

// The member whose data begins at tagOffset (0-based) of source, sourceLength
// bytes long; reads at most kMemberHeaderReach bytes. Throws FileError where
// the source cannot be read.
std::optional<ContainerMember> memberBefore(const SourceReader& source, std::int64_t tagOffset,
                                            std::int64_t sourceLength);

} // namespace cp
