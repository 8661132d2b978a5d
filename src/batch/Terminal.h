// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace cp {

// The terminal a stream shows, for a line redrawn in place. One
// implementation per platform, picked by the build: TerminalPosix.cpp,
// TerminalWin32.cpp.
class Terminal {
public:
    // Not open when stream is null or no terminal.
    explicit Terminal(std::FILE* stream);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool isOpen() const { return m_native != kNone; }
    // Characters per line; 0 when the terminal does not say.
    int columns() const;
    // Writes what the terminal takes without waiting longer than patienceMs;
    // the rest is dropped.
    void write(const char* data, std::size_t size, int patienceMs) noexcept;

private:
    // A file descriptor here, a handle on Windows; -1 (INVALID_HANDLE_VALUE) for none.
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_native = kNone;
};

} // namespace cp
