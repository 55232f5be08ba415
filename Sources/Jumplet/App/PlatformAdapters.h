#pragma once

#include "Ports/AppActivatorPort.h"
#include "Ports/CapsLockRemapperPort.h"
#include "Ports/HyperKeyEventTapPort.h"
#include "Ports/InstalledAppsPort.h"
#include "Ports/PermissionsPort.h"
#include "SystemValues.h"

#include <memory>

// The system side of the model for one platform: the composition root fills it, tests fill it with doubles.
struct PlatformAdapters {
    // Shared with the activator, which looks applications up in it.
    std::shared_ptr<InstalledAppsPort> installedApps;
    std::unique_ptr<AppActivatorPort> activator;
    std::unique_ptr<PermissionsPort> permissions;
    std::unique_ptr<CapsLockRemapperPort> remapper;
    std::unique_ptr<HyperKeyEventTapPort> eventTap;
    // Shared with the running engine, whose clock may outlive the model.
    std::shared_ptr<SystemValues> systemValues;
};
