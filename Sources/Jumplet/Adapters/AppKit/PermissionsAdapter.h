#pragma once

#include "Ports/PermissionsPort.h"

#include <QString>

class AccessibilityServices;
class Workspace;

// The accessibility permission of macOS.
class PermissionsAdapter : public PermissionsPort {
public:
    PermissionsAdapter(AccessibilityServices& accessibility, Workspace& workspace);

    PermissionStatus currentStatus() override;
    void requestAccessibility() override;
    void openAccessibilitySettings() override;

private:
    void open(const QString& url);

    AccessibilityServices& accessibility;
    Workspace& workspace;
};
