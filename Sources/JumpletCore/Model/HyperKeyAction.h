#pragma once

#include <QString>

// What a hyper chord or a tap asks the application to do.
struct HyperKeyAction {
    enum class Kind { activate, showMenu, toggleLayout, toggleCapsLock };

    Kind kind = Kind::showMenu;
    QString bundleIdentifier; // only for activate

    static HyperKeyAction activate(const QString& bundleIdentifier)
    {
        return {Kind::activate, bundleIdentifier};
    }
    static HyperKeyAction showMenu() { return {Kind::showMenu, {}}; }
    static HyperKeyAction toggleLayout() { return {Kind::toggleLayout, {}}; }
    static HyperKeyAction toggleCapsLock() { return {Kind::toggleCapsLock, {}}; }

    friend bool operator==(const HyperKeyAction& a, const HyperKeyAction& b)
    {
        return a.kind == b.kind && (a.kind != Kind::activate || a.bundleIdentifier == b.bundleIdentifier);
    }
};
