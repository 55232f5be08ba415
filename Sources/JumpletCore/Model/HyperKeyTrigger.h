#pragma once

#include "PhysicalKeyCode.h"

// Caps Lock is remapped to F18, so the hyper key arrives as this code.
namespace HyperKeyTrigger {
inline constexpr PhysicalKeyCode virtualKeyCode = 79;
}
