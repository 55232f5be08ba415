#pragma once

#include "HyperKeyAction.h"
#include "KeyBinding.h"

#include <QHash>
#include <QList>

#include <optional>

using BindingLookupTable = QHash<PhysicalKeyCode, HyperKeyAction>;

// Pure operations on an ordered list of bindings; each returns a new value and leaves its input untouched.
// A binding's key code always means its key.keyCode.
namespace KeyBindingList {

// The first binding on that key code.
std::optional<KeyBinding> binding(const QList<KeyBinding>& bindings, PhysicalKeyCode keyCode);

// Layout key, then menu key, then every binding in order; later entries replace earlier ones.
BindingLookupTable lookupTable(const QList<KeyBinding>& bindings, std::optional<PhysicalKeyCode> menuKeyCode,
                               std::optional<PhysicalKeyCode> layoutKeyCode);

// Replaces every binding on the new binding's key code, then sorts by label.
QList<KeyBinding> settingBinding(const QList<KeyBinding>& bindings, const KeyBinding& binding);

// Moves the binding on one key to another, swapping with a binding already there.
QList<KeyBinding> movingBinding(const QList<KeyBinding>& bindings, PhysicalKeyCode fromKeyCode,
                                const BoundKey& target);

QList<KeyBinding> removingBinding(const QList<KeyBinding>& bindings, const QUuid& id);

// One more jump on the first binding of that application.
QList<KeyBinding> recordingJump(const QList<KeyBinding>& bindings, const QString& bundleIdentifier);

// Stable sort by label with the localized standard comparison.
QList<KeyBinding> sortedByLabel(QList<KeyBinding> bindings);

} // namespace KeyBindingList
