#pragma once

#include <QHashFunctions>
#include <QString>

// One reason why the hyper key does not work as the user expects.
struct SetupIssue {
    enum class Kind {
        menuKeyShadowed, // appName: the application whose binding takes the menu key
        hyperKeyOff,
        accessibilityMissing,
        capsLockRemappedBySystem,
        nextWindowShortcutOff,
        secureInputBlocked
    };

    Kind kind = Kind::hyperKeyOff;
    QString appName; // only for menuKeyShadowed

    static SetupIssue menuKeyShadowed(const QString& appName) { return {Kind::menuKeyShadowed, appName}; }
    static SetupIssue hyperKeyOff() { return {Kind::hyperKeyOff, {}}; }
    static SetupIssue accessibilityMissing() { return {Kind::accessibilityMissing, {}}; }
    static SetupIssue capsLockRemappedBySystem() { return {Kind::capsLockRemappedBySystem, {}}; }
    static SetupIssue nextWindowShortcutOff() { return {Kind::nextWindowShortcutOff, {}}; }
    static SetupIssue secureInputBlocked() { return {Kind::secureInputBlocked, {}}; }

    friend bool operator==(const SetupIssue&, const SetupIssue&) = default;
};

inline size_t qHash(const SetupIssue& issue, size_t seed = 0) noexcept
{
    return qHashMulti(seed, static_cast<int>(issue.kind), issue.appName);
}
