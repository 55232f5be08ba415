#pragma once

#include "Model/KeyBinding.h"
#include "Model/PhysicalKeyCode.h"

#include <QList>

#include <functional>

// Where the bindings of one profile are kept. No operation reports failure; the store logs it.
class KeyBindingStorePort {
public:
    virtual ~KeyBindingStorePort() = default;

    // Every readable binding, each with 0 jumps.
    virtual QList<KeyBinding> load() = 0;
    // Makes the store hold these bindings; bindings missing from the list are not removed.
    virtual void save(const QList<KeyBinding>& bindings) = 0;
    virtual void remove(PhysicalKeyCode keyCode) = 0;

    // Called when the stored bindings may have changed; an empty function means none.
    virtual std::function<void()> onExternalChange() const = 0;
    // Setting always re-arms the watch, even with the same callback; an empty function stops it.
    virtual void setOnExternalChange(std::function<void()> callback) = 0;
};
