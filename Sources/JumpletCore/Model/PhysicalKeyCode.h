#pragma once

#include <cstdint>

// A macOS virtual key code: the position of a key, independent of the keyboard layout.
// Every platform stores and compares keys in this form.
using PhysicalKeyCode = std::uint16_t;
