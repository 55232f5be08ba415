#pragma once

#include "Model/PhysicalKeyCode.h"

#include <QString>

#include <functional>
#include <optional>

// Captions of keys, following the keyboard layout the user has selected.
namespace KeyLabel {

// What a key types in the current layout with no modifier held, or nothing when the layout cannot say.
using LayoutTranslation = std::function<std::optional<QString>(PhysicalKeyCode)>;

// The platform installs its translation at start; without one every caption falls back to QWERTY.
void installLayoutTranslation(LayoutTranslation translation);

// The caption of a key of the keyboard picture: the layout's, then QWERTY's, then "Key <code>".
QString label(PhysicalKeyCode keyCode);

// The caption of a key the user has just pressed, from its code and its characters ignoring modifiers.
QString label(PhysicalKeyCode keyCode, const QString& charactersIgnoringModifiers);

// The key code (0 to 127) that types this character in the current layout.
std::optional<PhysicalKeyCode> keyCode(const QString& typing);

} // namespace KeyLabel
