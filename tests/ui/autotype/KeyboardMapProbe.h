#pragma once

#include <cstdint>
#include <vector>

// Requests of the auto-type tests to the X display named by DISPLAY, on a
// connection of their own. Kept apart from Qt code: Xlib's macros clash with
// Qt's headers.
namespace zorvan::test {

// Lets threads use Xlib connections side by side; called before any other
// Xlib call of the process.
void AllowXThreads();

// The key symbols of every keycode, to check that typing leaves the keyboard
// map as it found it. Empty when no display answers.
std::vector<unsigned long> ReadKeyboardMap();

// Gives the keyboard focus to a window, as a window manager would.
bool GiveFocus(std::uint64_t window);

}  // namespace zorvan::test
