#pragma once

// What the operating system allows the process to do with the keyboard.
struct PermissionStatus {
    bool accessibilityGranted = false;

    friend bool operator==(const PermissionStatus&, const PermissionStatus&) = default;
};
