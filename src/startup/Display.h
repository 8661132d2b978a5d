#pragma once

namespace cp {

// Whether a window can be shown at all: an X or Wayland display, or a Qt
// platform chosen explicitly (offscreen in tests). Windows always has one.
bool HasDisplay();

} // namespace cp
