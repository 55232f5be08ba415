#pragma once

#include "Model/PhysicalKeyCode.h"

#include <QHash>
#include <QString>

namespace LetterKeyCode {

// The upper-case letters A to Z and the keys that type them on QWERTY.
const QHash<QString, PhysicalKeyCode>& codes();

} // namespace LetterKeyCode
