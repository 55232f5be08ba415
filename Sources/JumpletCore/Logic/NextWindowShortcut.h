#pragma once

#include "Model/PhysicalKeyCode.h"

#include <QVariant>

#include <cstdint>
#include <optional>

// The system's shortcut that moves the focus to the next window of the front application.
struct NextWindowShortcut {
    std::optional<char32_t> character; // what the shortcut's key types, when the preferences name it
    PhysicalKeyCode keyCode = 0;
    std::uint64_t modifiers = 0; // event flag bits; 0x100000 is Command

    // Command + grave accent, the system's default.
    static NextWindowShortcut standard();

    // Reads the "AppleSymbolicHotKeys" dictionary: nothing when the user switched the shortcut off, the
    // standard shortcut when the entry is missing or malformed.
    static std::optional<NextWindowShortcut> from(const QVariant& symbolicHotKeys);

    friend bool operator==(const NextWindowShortcut&, const NextWindowShortcut&) = default;
};
