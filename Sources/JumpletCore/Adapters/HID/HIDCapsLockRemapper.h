#pragma once

#include "Ports/CapsLockRemapperPort.h"

#include <cstdint>

class HIDSystem;
class PreferenceDomains;
class ProcessRunner;

// The Caps Lock remap of macOS: a HID key mapping set with hidutil, and the lock state of the HID system.
class HIDCapsLockRemapper : public CapsLockRemapperPort {
public:
    static constexpr std::int64_t capsLockUsage = 0x700000039;
    static constexpr std::int64_t f18Usage = 0x70000006D;

    HIDCapsLockRemapper(ProcessRunner& processes, PreferenceDomains& preferences, HIDSystem& hid);

    bool apply() override;
    bool remove() override;
    bool isApplied() const override { return applied; }
    bool isCapsLockRemappedBySystem() override;
    bool toggleCapsLock() override;

private:
    bool run(std::int64_t destinationUsage);

    ProcessRunner& processes;
    PreferenceDomains& preferences;
    HIDSystem& hid;
    bool applied = false;
};
