#pragma once

#include "Model/ActivationOutcome.h"

#include <QFuture>
#include <QString>

// Jumps to an application: launch it, bring it forward, or bring its next window forward.
class AppActivatorPort {
public:
    virtual ~AppActivatorPort() = default;

    // Called on the main thread; the future completes there. allDesktops selects the scripted cycle.
    virtual QFuture<ActivationOutcome> activateOrCycle(const QString& bundleIdentifier, bool allDesktops) = 0;
};
