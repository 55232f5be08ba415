#pragma once

#include "PermissionStatus.h"

// The accessibility permission the keyboard hook needs.
class PermissionsPort {
public:
    virtual ~PermissionsPort() = default;

    // Cheap; callable at any time.
    virtual PermissionStatus currentStatus() = 0;
    // Shows the system's own prompt; the outcome is learned later through currentStatus().
    virtual void requestAccessibility() = 0;
    // Opens the settings page where the user grants the permission.
    virtual void openAccessibilitySettings() = 0;
};
