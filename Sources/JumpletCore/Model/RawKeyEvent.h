#pragma once

#include "PhysicalKeyCode.h"

#include <QHashFunctions>

enum class RawKeyEventKind { keyDown, keyUp };

inline size_t qHash(RawKeyEventKind kind, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(kind), seed);
}

struct RawKeyEvent {
    PhysicalKeyCode keyCode = 0;
    RawKeyEventKind kind = RawKeyEventKind::keyDown;
    bool isRepeat = false;

    friend bool operator==(const RawKeyEvent&, const RawKeyEvent&) = default;
};
