// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContainerMember.h"

#include "files/FileIo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace cp {

namespace {

using Number = std::optional<std::uint64_t>;

int digitValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// The number written in [p, p + width) in base 8, 10 or 16; blanks may lead
// and blanks or NULs end it, as tar writes its fields. Empty where anything
// else stands there, where no digit is there or where it passes 64 bits.
Number number(const unsigned char* p, std::size_t width, unsigned base)
{
    std::size_t i = 0;
    while (i < width && p[i] == ' ')
        ++i;
    const std::size_t first = i;
    std::uint64_t value = 0;
    for (; i < width && p[i] != 0 && p[i] != ' '; ++i) {
        const unsigned digit = unsigned(digitValue(p[i]));
        if (digit >= base || value > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
            return {};
        value = value * base + digit;
    }
    if (i == first)
        return {};
    for (; i < width; ++i)
        if (p[i] != 0 && p[i] != ' ')
            return {};
    return value;
}

std::uint32_t le16(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}

std::uint64_t le(const unsigned char* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

// A text field of a fixed width: up to its first NUL.
std::string field(const unsigned char* p, std::size_t width)
{
    return std::string(reinterpret_cast<const char*>(p), ::strnlen(reinterpret_cast<const char*>(p), width));
}

constexpr std::size_t kBlock = 512;
constexpr char kPosixMagic[] = {'u', 's', 't', 'a', 'r', '\0', '0', '0'};

std::int64_t clampedSize(std::uint64_t size)
{
    return std::int64_t(std::min<std::uint64_t>(size, std::numeric_limits<std::int64_t>::max()));
}

// Old tars summed the header's bytes as signed chars; both sums are taken.
bool tarChecksumRight(const unsigned char* header)
{
    const Number stored = number(header + 148, 8, 8);
    std::uint64_t sum = 0;
    std::int64_t signedSum = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        const unsigned char c = i >= 148 && i < 156 ? ' ' : header[i];
        sum += c;
        signedSum += static_cast<signed char>(c);
    }
    return stored && (*stored == sum || std::int64_t(*stored) == signedSum);
}

// Octal, or big-endian binary behind a 0x80 byte where octal cannot hold it.
Number tarSize(const unsigned char* header)
{
    const unsigned char* size = header + 124;
    if (!(size[0] & 0x80))
        return number(size, 12, 8);
    if (size[0] != 0x80) // negative
        return {};
    std::uint64_t value = 0;
    for (std::size_t i = 1; i < 12; ++i) {
        if (value >> 56)
            return {};
        value = value << 8 | size[i];
    }
    return value;
}

// A pax extended header's "length key=value\n" records: path and size.
void readPaxRecords(const unsigned char* data, std::size_t size, std::string& path, Number& length)
{
    std::size_t at = 0;
    while (at < size) {
        const auto space = static_cast<const unsigned char*>(std::memchr(data + at, ' ', size - at));
        const Number recordSize = space ? number(data + at, std::size_t(space - data) - at, 10) : Number();
        if (!recordSize || *recordSize > size - at || *recordSize <= std::size_t(space - data) - at + 1)
            return;
        const std::string record(reinterpret_cast<const char*>(space + 1),
                                 std::size_t(data + at + *recordSize - space - 2));
        if (record.rfind("path=", 0) == 0)
            path = record.substr(5);
        else if (record.rfind("size=", 0) == 0)
            length = number(reinterpret_cast<const unsigned char*>(record.data()) + 5, record.size() - 5, 10);
        at += std::size_t(*recordSize);
    }
}

// A GNU long-name entry ('L') or a pax header ('x') right before the header
// at end: the name and size it gives in the header's stead.
void readTarPrefixEntry(const unsigned char* before, std::size_t end, ContainerMember& member)
{
    for (std::size_t blocks = 1; (blocks + 1) * kBlock <= end; ++blocks) {
        const unsigned char* header = before + end - (blocks + 1) * kBlock;
        // Only these two name a member; the type is looked at before the sum,
        // which takes the whole block (the blocks before a header are mostly
        // another member's data). One of theirs that is not this member's
        // does not span the blocks up to its header: see below.
        if ((header[156] != 'L' && header[156] != 'x') || !tarChecksumRight(header))
            continue; // a block of a long name, or of data
        const Number size = tarSize(header);
        if (!size || *size > blocks * kBlock || *size <= (blocks - 1) * kBlock)
            return;
        const unsigned char* data = header + kBlock;
        if (header[156] == 'L') {
            member.name = field(data, std::size_t(*size));
        } else if (header[156] == 'x') {
            Number length;
            readPaxRecords(data, std::size_t(*size), member.name, length);
            if (length)
                member.size = clampedSize(*length);
        }
        return;
    }
}

std::optional<ContainerMember> tarMember(const unsigned char* before, std::size_t size)
{
    if (size < kBlock)
        return {};
    const unsigned char* header = before + size - kBlock;
    const char type = char(header[156]);
    const Number length = tarSize(header);
    const bool intact = tarChecksumRight(header);
    // A v7 header has only its checksum to be known by. Only a file's data can begin after its header.
    if ((!intact && std::memcmp(header + 257, "ustar", 5) != 0) || (type != '0' && type != '\0' && type != '7')
        || !length || header[0] == 0)
        return {};
    ContainerMember member {ContainerMember::Kind::Tar, field(header, 100), {}, false, intact};
    member.size = clampedSize(*length);
    // The old GNU form keeps other things where ustar keeps the name's prefix.
    if (std::memcmp(header + 257, kPosixMagic, sizeof kPosixMagic) == 0 && header[345] != 0)
        member.name = field(header + 345, 155) + "/" + member.name;
    readTarPrefixEntry(before, size - kBlock, member);
    return member;
}

// Where magic starts in the size bytes at before, nearest their end first.
// Found forward with memchr, which skips what cannot start it many bytes at
// a time: most bytes before a tag are another file's data.
std::vector<std::size_t> magicStarts(const unsigned char* before, std::size_t size, std::string_view magic)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at + magic.size() <= size; ++at) {
        const void* first = std::memchr(before + at, magic[0], size - magic.size() + 1 - at);
        if (!first)
            break;
        at = std::size_t(static_cast<const unsigned char*>(first) - before);
        if (std::memcmp(before + at, magic.data(), magic.size()) == 0)
            starts.push_back(at);
    }
    std::reverse(starts.begin(), starts.end());
    return starts;
}

// Where a cpio form keeps what is read of it; every byte after the magic up
// to the name is a digit.
struct CpioForm {
    char magic; // the sixth byte of "07070x"
    unsigned base;
    std::size_t headerSize, alignment;
    std::size_t modeAt, modeWidth, nameSizeAt, nameSizeWidth, fileSizeAt, fileSizeWidth;
};
constexpr CpioForm kCpioForms[] = {
    {'1', 16, 110, 4, 14, 8, 94, 8, 54, 8}, // newc
    {'2', 16, 110, 4, 14, 8, 94, 8, 54, 8}, // newc with a data sum
    {'7', 8, 76, 1, 18, 6, 59, 6, 65, 11},  // odc
};

std::optional<ContainerMember> cpioMemberAt(const unsigned char* header, std::size_t room, const CpioForm& form)
{
    if (room < form.headerSize)
        return {};
    const Number nameSize = number(header + form.nameSizeAt, form.nameSizeWidth, form.base);
    const Number fileSize = number(header + form.fileSizeAt, form.fileSizeWidth, form.base);
    const Number mode = number(header + form.modeAt, form.modeWidth, form.base);
    // Only a file's data can begin after its name.
    if (!nameSize || !fileSize || !mode || *nameSize == 0 || *nameSize > room || (*mode & 0170000) != 0100000)
        return {};
    const std::uint64_t end = (form.headerSize + *nameSize + form.alignment - 1) / form.alignment * form.alignment;
    if (end != room || header[form.headerSize + *nameSize - 1] != 0)
        return {};
    const bool intact = std::all_of(header + 6, header + form.headerSize,
                                    [&](unsigned char c) { return unsigned(digitValue(c)) < form.base; });
    const std::string name(reinterpret_cast<const char*>(header + form.headerSize), std::size_t(*nameSize - 1));
    return ContainerMember {ContainerMember::Kind::Cpio, name, clampedSize(*fileSize), false, intact};
}

// The nearest header that ends right at the tag: a name holding another
// header's bytes is not taken apart. A name ends in its NUL, and newc's
// padding after it is NULs too.
std::optional<ContainerMember> cpioMember(const unsigned char* before, std::size_t size)
{
    if (size == 0 || before[size - 1] != 0)
        return {};
    for (const std::size_t start : magicStarts(before, size, "07070")) {
        if (size - start < 76)
            continue;
        for (const CpioForm& form : kCpioForms)
            if (before[start + 5] == form.magic)
                if (auto member = cpioMemberAt(before + start, size - start, form))
                    return member;
    }
    return {};
}

constexpr std::size_t kZipHeader = 30;

// The sizes of a zip64 extra block, where the header's own say 0xFFFFFFFF.
void readZip64Sizes(const unsigned char* extra, std::size_t size, std::uint64_t& unpacked, std::uint64_t& packed)
{
    for (std::size_t at = 0; at + 4 <= size; at += 4 + le16(extra + at + 2)) {
        const std::size_t length = std::min<std::size_t>(le16(extra + at + 2), size - at - 4);
        if (le16(extra + at) != 0x0001)
            continue;
        const unsigned char* sizes = extra + at + 4;
        std::size_t used = 0;
        for (std::uint64_t* value : {&unpacked, &packed})
            if (*value == 0xFFFFFFFF && used + 8 <= length) {
                *value = le(sizes + used, 8);
                used += 8;
            }
        return;
    }
}

std::optional<ContainerMember> zipMember(const unsigned char* before, std::size_t size)
{
    for (const std::size_t start : magicStarts(before, size, "PK\3\4")) {
        const unsigned char* header = before + start;
        if (size - start < kZipHeader)
            continue;
        const std::size_t nameSize = le16(header + 26), extraSize = le16(header + 28);
        if (kZipHeader + nameSize + extraSize != size - start || le16(header + 8) != 0) // stored only
            continue;
        std::uint64_t unpacked = le(header + 22, 4), packed = le(header + 18, 4);
        readZip64Sizes(header + kZipHeader + nameSize, extraSize, unpacked, packed);
        ContainerMember member {ContainerMember::Kind::Zip,
                                std::string(reinterpret_cast<const char*>(header + kZipHeader), nameSize),
                                {},
                                false,
                                unpacked == packed};
        // Sizes that follow the data are zero here.
        if (!((le16(header + 6) & 0x0008) && unpacked == 0 && packed == 0))
            member.size = clampedSize(unpacked);
        return member;
    }
    return {};
}

} // namespace

std::optional<ContainerMember> parseMemberBefore(const unsigned char* before, std::size_t size, std::int64_t after)
{
    std::optional<ContainerMember> member = tarMember(before, size);
    if (!member)
        member = cpioMember(before, size);
    if (!member)
        member = zipMember(before, size);
    if (member && member->size && *member->size > std::max<std::int64_t>(after, 0)) {
        member->size = std::max<std::int64_t>(after, 0);
        member->sizeCut = true;
    }
    return member;
}

std::optional<ContainerMember> memberBefore(const SourceReader& source, std::int64_t tagOffset,
                                            std::int64_t sourceLength)
{
    const std::int64_t tag = std::clamp<std::int64_t>(tagOffset, 0, std::max<std::int64_t>(sourceLength, 0));
    const std::int64_t start = std::max<std::int64_t>(0, tag - std::int64_t(kMemberHeaderReach));
    const auto size = std::size_t(tag - start);
    const auto before = std::make_unique_for_overwrite<unsigned char[]>(size); // read over at once
    const std::size_t got = source.readAt(before.get(), size, start);
    if (got != size)
        return {};
    return parseMemberBefore(before.get(), got, sourceLength - tag);
}

} // namespace cp
