#pragma once

// Makes the Caps Lock key arrive as the hyper trigger while the engine runs.
class CapsLockRemapperPort {
public:
    virtual ~CapsLockRemapperPort() = default;

    // Remaps Caps Lock to the trigger; true on success.
    virtual bool apply() = 0;
    // Maps Caps Lock back to itself; true on success.
    virtual bool remove() = 0;
    // Whether the last successful call was apply().
    virtual bool isApplied() const = 0;
    // Whether the user's keyboard settings map Caps Lock to something else.
    virtual bool isCapsLockRemappedBySystem() = 0;
    // Flips the Caps Lock lock state; true on success.
    virtual bool toggleCapsLock() = 0;
};
