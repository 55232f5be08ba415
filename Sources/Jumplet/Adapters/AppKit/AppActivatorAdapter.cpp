#include "AppActivatorAdapter.h"

#include "AccessibilityServices.h"
#include "PreferenceDomains.h"
#include "ProcessRunner.h"
#include "QuartzEventServices.h"
#include "WindowServer.h"
#include "Workspace.h"

#include "CGEventTap/CGEventTapHyperKeyEngine.h"
#include "Logic/PropertyListValue.h"
#include "Ports/InstalledAppsPort.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QtConcurrent>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcAppActivatorAdapter, "AppActivatorAdapter")

namespace {

constexpr float messagingTimeout = 1.0f;
constexpr std::uint32_t onScreenOnlyExcludingDesktop = 17;
constexpr std::uint32_t hidEventTap = 0;
const QString graveAccent = u"`"_s;

// Piece 1 of the standard script: the eligible window ids and the front window's id.
const QString standardWindowIds = uR"(on run argv
    tell application id (item 1 of argv)
        set windowIDs to {}
        repeat with candidate in windows
            try
                if visible of candidate and id of candidate > 0 then
                    -- Minimised windows stay minimised. Not every app has the property.
                    set isMinimised to false
                    try
                        set isMinimised to miniaturized of candidate
                    end try
                    if not isMinimised then set end of windowIDs to id of candidate
                end if
            end try
        end repeat
        if (count of windowIDs) < 2 then return ""
        set frontID to id of window 1
    end tell
    )"_s;

// Shared by every script: the smallest id above the front one, else the smallest of all.
const QString pickNextWindow = uR"(set nextID to missing value
set lowestID to item 1 of windowIDs
repeat with windowID in windowIDs
    set windowID to contents of windowID
    if windowID < lowestID then set lowestID to windowID
    if windowID > frontID and (nextID is missing value or windowID < nextID) then set nextID to windowID
end repeat
if nextID is missing value then set nextID to lowestID)"_s;

const QString standardRaise = uR"(
    tell application id (item 1 of argv)
        set index of window id nextID to 1
        activate
    end tell
    return nextID
end run)"_s;

const QString ghosttyBundleIdentifier = u"com.mitchellh.ghostty"_s;

// The Ghostty terminal's cycle, used instead of the standard one; it ignores the argument.
const QString ghosttyWindowIds = uR"(tell application id "com.mitchellh.ghostty"
    set windowIDs to id of windows
    if (count of windowIDs) < 2 then return ""
    set frontID to id of front window
end tell
)"_s;

const QString ghosttyRaise = uR"(
tell application id "com.mitchellh.ghostty" to activate window (window id nextID)
return nextID)"_s;

bool setFrontmost(AccessibilityServices& accessibility, qint64 pid)
{
    const AccessibilityElement element = accessibility.createApplication(pid);
    accessibility.setMessagingTimeout(element, messagingTimeout);
    return accessibility.setAttributeValue(element, u"AXFrontmost"_s, true);
}

QList<AccessibilityElement> children(AccessibilityServices& accessibility,
                                     const AccessibilityElement& element)
{
    const AccessibilityValue value = accessibility.copyAttributeValue(element, u"AXChildren"_s);
    if (const auto* list = std::get_if<QList<AccessibilityElement>>(&value))
        return *list;
    return {};
}

// What runs off the main thread: it holds copies of everything it needs and no reference to the adapter.
struct CycleAttempt {
    AppActivatorAdapter::Services services;
    std::optional<QString> script;
    QString bundleIdentifier;
    qint64 pid = 0;
    PhysicalKeyCode keyCode = 0;
    std::uint64_t modifiers = 0;
    bool shortcutAbsent = false;

    bool run() const
    {
        if (script && runScript(*script, {bundleIdentifier}))
            return true;
        if (shortcutAbsent)
            return pressCycleMenuItem();
        return postShortcut();
    }

    bool runScript(const QString& text, const QStringList& arguments) const
    {
        const ProcessRunner::Result result = services.processes.run(
            u"/usr/bin/osascript"_s, QStringList{u"-e"_s, text} + arguments, ProcessRunner::Output::capture);
        return result.started && result.exitStatus == 0 &&
               !QString::fromUtf8(result.standardOutput).trimmed().isEmpty();
    }

    bool pressCycleMenuItem() const
    {
        AccessibilityServices& accessibility = services.accessibility;
        const AccessibilityElement application = accessibility.createApplication(pid);
        accessibility.setMessagingTimeout(application, messagingTimeout);
        const AccessibilityValue menuBar = accessibility.copyAttributeValue(application, u"AXMenuBar"_s);
        const auto* bar = std::get_if<AccessibilityElement>(&menuBar);
        if (!bar || !*bar)
            return false;
        for (const AccessibilityElement& barItem : children(accessibility, *bar)) {
            for (const AccessibilityElement& menu : children(accessibility, barItem)) {
                for (const AccessibilityElement& item : children(accessibility, menu)) {
                    const AccessibilityValue command =
                        accessibility.copyAttributeValue(item, u"AXMenuItemCmdChar"_s);
                    const auto* character = std::get_if<QString>(&command);
                    if (character && *character == graveAccent)
                        return accessibility.performAction(item, u"AXPress"_s);
                }
            }
        }
        return false;
    }

    bool postShortcut() const
    {
        for (const bool keyDown : {true, false}) {
            QuartzEvent* event = services.events.eventCreateKeyboardEvent(keyCode, keyDown);
            if (!event)
                return false;
            services.events.eventSetFlags(event, modifiers);
            services.events.eventSetIntegerValueField(event, CGEventTapHyperKeyEngine::sourceUserDataField,
                                                      CGEventTapHyperKeyEngine::syntheticEventMarker);
            services.events.eventPost(hidEventTap, event);
            services.events.release(event);
        }
        return true;
    }
};

} // namespace

AppActivatorAdapter::AppActivatorAdapter(InstalledAppsPort& installedApps, Services services,
                                         KeyCodeTyping keyCodeTyping, QObject* parent)
    : QObject(parent), installedApps(installedApps), services(services),
      keyCodeTyping(std::move(keyCodeTyping))
{
}

const QString& AppActivatorAdapter::standardScriptedCycle()
{
    static const QString script = standardWindowIds + pickNextWindow + standardRaise;
    return script;
}

const QHash<QString, QString>& AppActivatorAdapter::scriptedCycles()
{
    static const QHash<QString, QString> scripts = {
        {ghosttyBundleIdentifier, ghosttyWindowIds + pickNextWindow + ghosttyRaise}};
    return scripts;
}

std::optional<NextWindowShortcut>
AppActivatorAdapter::currentNextWindowShortcut(PreferenceDomains& preferences)
{
    return NextWindowShortcut::from(
        preferences.suiteValue(u"com.apple.symbolichotkeys"_s, u"AppleSymbolicHotKeys"_s));
}

QFuture<ActivationOutcome> AppActivatorAdapter::activateOrCycle(const QString& bundleIdentifier,
                                                                bool allDesktops)
{
    std::shared_ptr<RunningApplication> application;
    for (const auto& candidate :
         services.workspace.runningApplicationsWithBundleIdentifier(bundleIdentifier)) {
        if (!candidate->isTerminated()) {
            application = candidate;
            break;
        }
    }
    if (!application)
        return QtFuture::makeReadyFuture(launch(bundleIdentifier));

    const qint64 pid = application->processIdentifier();
    const std::optional<qint64> owner = frontmostWindowOwner();
    if (owner != pid)
        return QtFuture::makeReadyFuture(bringForward(*application));

    CycleAttempt attempt{services, std::nullopt, bundleIdentifier, pid};
    if (allDesktops)
        attempt.script = scriptedCycles().value(bundleIdentifier, standardScriptedCycle());
    const std::optional<NextWindowShortcut> shortcut = currentNextWindowShortcut(services.preferences);
    attempt.shortcutAbsent = !shortcut;
    if (shortcut) {
        std::optional<PhysicalKeyCode> typing;
        if (shortcut->character)
            typing = keyCodeTyping(QString::fromUcs4(&*shortcut->character, 1));
        attempt.keyCode = typing.value_or(shortcut->keyCode);
        attempt.modifiers = shortcut->modifiers;
    }

    // The outcome comes back through the application object: a continuation whose context is destroyed
    // before its future finishes aborts a debug build and never finishes in a release one.
    return QtConcurrent::run([attempt] { return attempt.run(); })
        .then(QCoreApplication::instance(), [self = QPointer(this), application](bool cycled) {
            if (cycled)
                return ActivationOutcome::cycledToNextWindow();
            if (!self)
                return ActivationOutcome::failed(u"the activator stopped before the window changed"_s);
            return self->bringForward(*application);
        });
}

ActivationOutcome AppActivatorAdapter::launch(const QString& bundleIdentifier)
{
    std::optional<QString> path = services.workspace.urlForApplicationWithBundleIdentifier(bundleIdentifier);
    if (!path) {
        if (const std::optional<AppInfo> app = installedApps.appInfoForBundleIdentifier(bundleIdentifier))
            path = app->path;
    }
    if (!path)
        return ActivationOutcome::failed(u"app not found for "_s + bundleIdentifier);

    // The completion arrives on any thread; the adapter is looked at only back on the main thread.
    QPointer<AppActivatorAdapter> self(this);
    services.workspace.openApplicationAtUrl(
        *path, true,
        [self, bundleIdentifier](std::shared_ptr<RunningApplication> launched,
                                 const QString& errorDescription) {
            if (!launched) {
                qCCritical(lcAppActivatorAdapter, "failed to launch %ls: %ls",
                           qUtf16Printable(bundleIdentifier), qUtf16Printable(errorDescription));
                return;
            }
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, launched] {
                    if (!self)
                        return;
                    if (!setFrontmost(self->services.accessibility, launched->processIdentifier()))
                        launched->activate();
                },
                Qt::QueuedConnection);
        });
    return ActivationOutcome::launched();
}

ActivationOutcome AppActivatorAdapter::bringForward(RunningApplication& application)
{
    if (application.isHidden())
        application.unhide();
    if (setFrontmost(services.accessibility, application.processIdentifier()))
        return ActivationOutcome::activated();
    if (application.activate())
        return ActivationOutcome::activated();
    return ActivationOutcome::failed(u"the system refused to bring it forward"_s);
}

std::optional<qint64> AppActivatorAdapter::frontmostWindowOwner()
{
    const std::optional<QList<QVariantMap>> windows =
        services.windowServer.windowListCopyWindowInfo(onScreenOnlyExcludingDesktop, 0);
    if (!windows)
        return std::nullopt;
    for (const QVariantMap& window : *windows) {
        const QVariant layer = window.value(u"kCGWindowLayer"_s);
        if (!PropertyListValue::isInteger(layer) || layer.toLongLong() != 0)
            continue;
        const QVariant owner = window.value(u"kCGWindowOwnerPID"_s);
        const qint64 pid = owner.toLongLong();
        if (!PropertyListValue::isInteger(owner) || pid < INT32_MIN || pid > INT32_MAX)
            return std::nullopt;
        return pid;
    }
    return std::nullopt;
}
