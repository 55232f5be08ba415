#pragma once

#include "DesktopSystemValues.h"

class PreferenceDomains;
class SecureEventInput;

// The system values on macOS, read through the system services: secure keyboard entry, the next-window
// shortcut in the symbolic hot keys, and Raycast's own hyper key. Timing and arguments come from Qt.
class MacSystemValues : public DesktopSystemValues {
public:
    MacSystemValues(SecureEventInput& secureEventInput, PreferenceDomains& preferences);

    bool isSecureInputEnabled() override;
    bool isNextWindowShortcutOff() override;
    // Raycast's "raycast_hyperKey_state": enabled, and on key code 57 (Caps Lock).
    bool isLauncherHyperKeyOnCapsLock() override;

private:
    SecureEventInput& m_secureEventInput;
    PreferenceDomains& m_preferences;
};
