#include "KeyBindingList.h"

#include "Logic/LocalizedStandardCompare.h"

#include <algorithm>

std::optional<KeyBinding> KeyBindingList::binding(const QList<KeyBinding>& bindings, PhysicalKeyCode keyCode)
{
    for (const KeyBinding& candidate : bindings) {
        if (candidate.key.keyCode == keyCode)
            return candidate;
    }
    return std::nullopt;
}

BindingLookupTable KeyBindingList::lookupTable(const QList<KeyBinding>& bindings,
                                               std::optional<PhysicalKeyCode> menuKeyCode,
                                               std::optional<PhysicalKeyCode> layoutKeyCode)
{
    BindingLookupTable table;
    table.reserve(bindings.size() + 2);
    if (layoutKeyCode)
        table.insert(*layoutKeyCode, HyperKeyAction::toggleLayout());
    if (menuKeyCode)
        table.insert(*menuKeyCode, HyperKeyAction::showMenu());
    for (const KeyBinding& binding : bindings)
        table.insert(binding.key.keyCode, HyperKeyAction::activate(binding.bundleIdentifier));
    return table;
}

QList<KeyBinding> KeyBindingList::sortedByLabel(QList<KeyBinding> bindings)
{
    std::stable_sort(bindings.begin(), bindings.end(), [](const KeyBinding& a, const KeyBinding& b) {
        return LocalizedStandardCompare::lessThan(a.key.label, b.key.label);
    });
    return bindings;
}

QList<KeyBinding> KeyBindingList::settingBinding(const QList<KeyBinding>& bindings, const KeyBinding& binding)
{
    QList<KeyBinding> result;
    result.reserve(bindings.size() + 1);
    for (const KeyBinding& existing : bindings) {
        if (existing.key.keyCode != binding.key.keyCode)
            result.append(existing);
    }
    result.append(binding);
    return sortedByLabel(std::move(result));
}

QList<KeyBinding> KeyBindingList::movingBinding(const QList<KeyBinding>& bindings,
                                                PhysicalKeyCode fromKeyCode, const BoundKey& target)
{
    if (fromKeyCode == target.keyCode)
        return bindings;
    std::optional<KeyBinding> source = binding(bindings, fromKeyCode);
    if (!source)
        return bindings;

    QList<KeyBinding> result;
    for (const KeyBinding& existing : bindings) {
        if (existing.key.keyCode != fromKeyCode)
            result.append(existing);
    }
    if (std::optional<KeyBinding> occupant = binding(bindings, target.keyCode)) {
        occupant->key = source->key;
        result = settingBinding(result, *occupant);
    }
    source->key = target;
    return settingBinding(result, *source);
}

QList<KeyBinding> KeyBindingList::removingBinding(const QList<KeyBinding>& bindings, const QUuid& id)
{
    QList<KeyBinding> result;
    result.reserve(bindings.size());
    for (const KeyBinding& existing : bindings) {
        if (existing.id != id)
            result.append(existing);
    }
    return result;
}

QList<KeyBinding> KeyBindingList::recordingJump(const QList<KeyBinding>& bindings,
                                                const QString& bundleIdentifier)
{
    QList<KeyBinding> result = bindings;
    for (KeyBinding& binding : result) {
        if (binding.bundleIdentifier == bundleIdentifier) {
            ++binding.jumps;
            break;
        }
    }
    return result;
}
