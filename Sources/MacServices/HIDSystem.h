#pragma once

#include <cstdint>
#include <optional>

// The HID system service and its modifier lock state.
class HIDSystem {
public:
    using Object = std::uint32_t; // 0 is no object

    virtual ~HIDSystem() = default;

    // The "IOHIDSystem" service, or 0.
    virtual Object getMatchingService() = 0;
    // A connection of the given type, or 0 when refused.
    virtual Object open(Object service, std::uint32_t type) = 0;
    // The lock state behind a selector (1: Caps Lock), or nothing when the read fails.
    virtual std::optional<bool> getModifierLockState(Object connection, int selector) = 0;
    virtual bool setModifierLockState(Object connection, int selector, bool state) = 0;
    virtual void close(Object connection) = 0;
    virtual void release(Object service) = 0;
};
