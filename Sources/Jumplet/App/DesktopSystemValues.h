#pragma once

#include "SystemValues.h"

// The system values on a desktop without the macOS services: no secure keyboard entry, no next-window
// shortcut to switch off and no launcher with a hyper key of its own; the rest comes from Qt.
class DesktopSystemValues : public SystemValues {
public:
    bool isSecureInputEnabled() override;
    bool isNextWindowShortcutOff() override;
    bool isLauncherHyperKeyOnCapsLock() override;
    double doubleClickInterval() override;
    double uptime() override;
    QStringList commandLineArguments() override;
};
