#pragma once

#include "Ports/AppActivatorPort.h"

#include "Logic/NextWindowShortcut.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class AccessibilityServices;
class InstalledAppsPort;
class PreferenceDomains;
class ProcessRunner;
class QuartzEventServices;
class RunningApplication;
class WindowServer;
class Workspace;

// Jumps on macOS: launches the application, brings it forward, or brings its next window forward with a
// script, the system's next-window shortcut or the matching menu item.
class AppActivatorAdapter : public QObject, public AppActivatorPort {
    Q_OBJECT

public:
    // The services must outlive the adapter and any cycling attempt it started; all are callable from any
    // thread except the workspace and the window server, which are used on the main thread only.
    struct Services {
        Workspace& workspace;
        WindowServer& windowServer;
        AccessibilityServices& accessibility;
        QuartzEventServices& events;
        PreferenceDomains& preferences;
        ProcessRunner& processes;
    };
    // The key code that types a character in the current keyboard layout.
    using KeyCodeTyping = std::function<std::optional<PhysicalKeyCode>(const QString& character)>;

    AppActivatorAdapter(InstalledAppsPort& installedApps, Services services, KeyCodeTyping keyCodeTyping,
                        QObject* parent = nullptr);

    QFuture<ActivationOutcome> activateOrCycle(const QString& bundleIdentifier, bool allDesktops) override;

    static const QString& standardScriptedCycle();
    // Scripts that replace the standard one for an application, by bundle identifier.
    static const QHash<QString, QString>& scriptedCycles();
    // The shortcut as the system has it now; nothing when the user switched it off. Never cached.
    static std::optional<NextWindowShortcut> currentNextWindowShortcut(PreferenceDomains& preferences);

private:
    ActivationOutcome launch(const QString& bundleIdentifier);
    ActivationOutcome bringForward(RunningApplication& application);
    std::optional<qint64> frontmostWindowOwner();

    InstalledAppsPort& installedApps;
    Services services;
    KeyCodeTyping keyCodeTyping;
};
