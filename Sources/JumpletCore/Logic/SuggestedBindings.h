#pragma once

#include "Model/SuggestedBinding.h"

#include <QList>
#include <QSet>

// Letter keys proposed for applications.
namespace SuggestedBindings {

// The free A-Z letters of a name in order of first appearance; without any, the first three free letters
// of the alphabet. Empty only when every letter key is excluded.
QList<BoundKey> freeLetters(const QString& name, const QSet<PhysicalKeyCode>& excluded);

// One letter per application, names in alphabetical order winning contested letters; no two share a key.
QList<SuggestedBinding> assign(const QList<AppInfo>& apps, const QSet<PhysicalKeyCode>& reserving);

} // namespace SuggestedBindings
