// SPDX-License-Identifier: GPL-3.0-or-later
// The default application's line in mimeapps.list, the user's own file:
// everything else in it stays as it was, down to its line ends.
#include "XdgFileTypeRegistry.h"

#include <algorithm>

namespace cp {

std::string withDefaultApplication(const std::string& list, const std::string& mimeType, const std::string& desktopId)
{
    const std::string wanted = mimeType + "=" + desktopId + ";";
    auto trimmed = [](std::string text) {
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
            text.pop_back();
        const auto first = text.find_first_not_of(" \t");
        return first == std::string::npos ? std::string() : text.substr(first);
    };
    // A line added takes the end of the line before it (else the file's first), so a CR LF file stays one.
    auto endBefore = [&](std::size_t at) {
        auto nl = at == 0 ? std::string::npos : list.rfind('\n', at - 1);
        nl = nl == std::string::npos ? list.find('\n') : nl;
        return nl != std::string::npos && nl > 0 && list[nl - 1] == '\r' ? std::string("\r\n") : std::string("\n");
    };
    bool inGroup = false, groupSeen = false;
    std::size_t insertAt = std::string::npos; // after the group's last line that is not blank
    // An editor's byte-order mark stays, but is no part of the first line.
    for (std::size_t start = list.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; start < list.size();) {
        const auto end = std::min(list.find('\n', start), list.size());
        const std::string line = trimmed(list.substr(start, end - start));
        const std::size_t next = end < list.size() ? end + 1 : end;
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[Default Applications]";
            groupSeen = groupSeen || inGroup;
            if (inGroup)
                insertAt = next;
        } else if (inGroup && !line.empty()) {
            insertAt = next;
            const auto equals = line.find('=');
            if (equals != std::string::npos && trimmed(line.substr(0, equals)) == mimeType) {
                if (line == wanted)
                    return list;
                const bool crlf = list[end - 1] == '\r'; // the line is not empty
                return list.substr(0, start) + wanted + (crlf ? "\r" : "") + list.substr(end);
            }
        }
        start = next;
    }
    if (groupSeen) {
        const std::string eol = endBefore(insertAt);
        const bool needsBreak = insertAt == list.size() && list.back() != '\n'; // the group makes it not empty
        return list.substr(0, insertAt) + (needsBreak ? eol : "") + wanted + eol + list.substr(insertAt);
    }
    const std::string eol = endBefore(list.size());
    std::string out = list;
    if (!out.empty() && out.back() != '\n')
        out += eol;
    return out + (out.empty() ? "" : eol) + "[Default Applications]" + eol + wanted + eol;
}

} // namespace cp
