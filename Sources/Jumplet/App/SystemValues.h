#pragma once

#include <QStringList>

// What the model reads from the system without a port. Each platform supplies one; tests script every value.
class SystemValues {
public:
    virtual ~SystemValues() = default;

    // Secure keyboard entry is on in some application, so the hyper key cannot see the keyboard.
    virtual bool isSecureInputEnabled() = 0;
    // The system shortcut that moves focus to the next window is off, so window cycling cannot work.
    virtual bool isNextWindowShortcutOff() = 0;
    // A launcher has its own hyper key on Caps Lock.
    virtual bool isLauncherHyperKeyOnCapsLock() = 0;
    // Seconds within which a second tap counts as a double tap.
    virtual double doubleClickInterval() = 0;
    // Seconds on a monotonic clock; may be called from the keyboard thread.
    virtual double uptime() = 0;
    virtual QStringList commandLineArguments() = 0;
};
