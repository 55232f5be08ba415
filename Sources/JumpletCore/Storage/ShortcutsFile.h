#pragma once

#include "Model/KeyBinding.h"

#include <QByteArray>
#include <QList>

// The file the user exports all bindings to and imports them from: a compact JSON array of bindings whose
// "createdAt" is seconds since 2001-01-01T00:00:00Z.
namespace ShortcutsFile {

QByteArray encode(const QList<KeyBinding>& bindings);

// Throws JSONFile::Error for anything but a list of bindings in that form (ISO date strings included).
QList<KeyBinding> decode(const QByteArray& bytes);

// Reads and decodes a file; throws JSONFile::TooLarge above JSONFile::maxSize bytes.
QList<KeyBinding> read(const QString& path);

struct Import {
    QList<KeyBinding> bindings;             // the merged list, sorted by label
    QList<PhysicalKeyCode> removedKeyCodes; // keys whose binding files must go
};

// Each imported binding replaces any binding on its key, in file order, into the current bindings or, when
// replacing all, into an empty list.
Import importBindings(const QList<KeyBinding>& current, const QList<KeyBinding>& imported, bool replacingAll);

} // namespace ShortcutsFile
