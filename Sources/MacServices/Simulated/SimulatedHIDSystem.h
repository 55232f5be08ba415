#pragma once

#include "HIDSystem.h"

// The HID system service with a Caps Lock state; the test sets which steps fail.
class SimulatedHIDSystem : public HIDSystem {
public:
    bool hasService = true;
    bool refusesConnection = false;
    bool readFails = false;
    bool setFails = false;
    bool capsLock = false;

    int openConnections = 0;
    int retainedServices = 0;
    std::uint32_t lastConnectionType = 0;

    Object getMatchingService() override;
    Object open(Object service, std::uint32_t type) override;
    std::optional<bool> getModifierLockState(Object connection, int selector) override;
    bool setModifierLockState(Object connection, int selector, bool state) override;
    void close(Object connection) override;
    void release(Object service) override;
};
