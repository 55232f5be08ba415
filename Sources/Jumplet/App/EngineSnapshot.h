#pragma once

#include "Model/KeyBindingList.h"

#include <atomic>
#include <memory>

// What the keyboard path reads from the model. The keyboard may be read on a thread of its own, so the model
// publishes these values here, each safe to read from any thread without a lock, and replaces the table
// whole.
struct EngineSnapshot {
    std::atomic<bool> isModelAlive = true;
    std::atomic<bool> sendsEscapeWhenTapped = false;
    std::atomic<bool> togglesCapsLockOnDoubleTap = true;
    std::atomic<std::shared_ptr<const BindingLookupTable>> bindingLookup =
        std::make_shared<const BindingLookupTable>();
};
