#pragma once

#include "SecureEventInput.h"

// Secure keyboard entry switched on and off by the test.
class SimulatedSecureEventInput : public SecureEventInput {
public:
    bool enabled = false;

    bool isSecureEventInputEnabled() override { return enabled; }
};
