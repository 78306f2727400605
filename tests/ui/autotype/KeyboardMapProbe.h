#pragma once

#include <vector>

namespace zorvan::test {

// The key symbols of every keycode on the X display named by DISPLAY, to check
// that typing leaves the keyboard map as it found it. Empty when no display
// answers. Kept apart from Qt code: Xlib's macros clash with Qt's headers.
std::vector<unsigned long> ReadKeyboardMap();

}  // namespace zorvan::test
