// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cp {

// Sets the flag for as long as it lives, so that "a scan or copy is under
// way" is cleared however the work ends.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RaisedFlag() { m_flag = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace cp
