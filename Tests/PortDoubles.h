#pragma once

// Test doubles of every port the application model talks to, plus a harness that builds the model over them
// in a temporary folder.

#include "AppModel.h"
#include "Locations.h"

#include "Ports/AppActivatorPort.h"
#include "Ports/CapsLockRemapperPort.h"
#include "Ports/HyperKeyEventTapPort.h"
#include "Ports/InstalledAppsPort.h"
#include "Ports/JumpCountsStorePort.h"
#include "Ports/KeyBindingStorePort.h"
#include "Ports/PermissionsPort.h"
#include "Ports/ProfileStorePort.h"
#include "Storage/InMemoryUserDefaults.h"
#include "Storage/KeyBindingFileStore.h"
#include "SyncSettings.h"
#include "SystemValues.h"

#include <QFuture>
#include <QHash>
#include <QPromise>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

// Records start and stop; a test feeds raw events through the installed handler.
class FakeEventTap : public HyperKeyEventTapPort {
public:
    bool start(Handler newHandler) override
    {
        ++starts;
        if (!startSucceeds)
            return false;
        handler = std::move(newHandler);
        running = true;
        return true;
    }
    void stop() override
    {
        ++stops;
        handler = {};
        running = false;
    }
    bool isRunning() const override { return running; }

    HyperKeyDisposition feed(PhysicalKeyCode keyCode, RawKeyEventKind kind)
    {
        return handler(RawKeyEvent{keyCode, kind, false});
    }

    bool startSucceeds = true;
    bool running = false;
    int starts = 0;
    int stops = 0;
    Handler handler;
};

class FakeRemapper : public CapsLockRemapperPort {
public:
    bool apply() override
    {
        calls.append(QStringLiteral("apply"));
        applied = true;
        return true;
    }
    bool remove() override
    {
        calls.append(QStringLiteral("remove"));
        applied = false;
        return true;
    }
    bool isApplied() const override { return applied; }
    bool isCapsLockRemappedBySystem() override { return remappedBySystem; }
    bool toggleCapsLock() override
    {
        calls.append(QStringLiteral("toggle"));
        return true;
    }

    QStringList calls;
    bool applied = false;
    bool remappedBySystem = false;
};

// Scripted outcomes per application (activated when none is scripted); held outcomes wait for release().
class FakeActivator : public AppActivatorPort {
public:
    QFuture<ActivationOutcome> activateOrCycle(const QString& bundleIdentifier, bool allDesktops) override
    {
        requests.append({bundleIdentifier, allDesktops});
        const ActivationOutcome outcome = outcomes.value(bundleIdentifier, ActivationOutcome::activated());
        if (!holdsOutcomes)
            return QtFuture::makeReadyFuture(outcome);
        auto promise = std::make_shared<QPromise<ActivationOutcome>>();
        promise->start();
        held.append({promise, outcome});
        return promise->future();
    }

    void releaseAll()
    {
        for (auto& [promise, outcome] : held) {
            promise->addResult(outcome);
            promise->finish();
        }
        held.clear();
    }

    QHash<QString, ActivationOutcome> outcomes;
    bool holdsOutcomes = false;
    QList<std::pair<QString, bool>> requests;
    QList<std::pair<std::shared_ptr<QPromise<ActivationOutcome>>, ActivationOutcome>> held;
};

class FakePermissions : public PermissionsPort {
public:
    PermissionStatus currentStatus() override { return PermissionStatus{granted}; }
    void requestAccessibility() override {}
    void openAccessibilitySettings() override {}

    std::atomic<bool> granted = true;
};

class FakeInstalledApps : public InstalledAppsPort {
public:
    QList<AppInfo> installedApplications() override { return apps; }
    std::optional<AppInfo> appInfoForBundleIdentifier(const QString& bundleIdentifier) override
    {
        for (const AppInfo& app : std::as_const(apps)) {
            if (app.bundleIdentifier == bundleIdentifier)
                return app;
        }
        return std::nullopt;
    }
    void refresh() override {}

    QList<AppInfo> apps;
};

class FakeSystemValues : public SystemValues {
public:
    bool isSecureInputEnabled() override { return secureInput; }
    bool isNextWindowShortcutOff() override { return nextWindowShortcutOff; }
    bool isLauncherHyperKeyOnCapsLock() override { return launcherHyperKey; }
    double doubleClickInterval() override { return 0.5; }
    double uptime() override { return clock; }
    QStringList commandLineArguments() override { return arguments; }

    bool secureInput = false;
    bool nextWindowShortcutOff = false;
    bool launcherHyperKey = false;
    std::atomic<double> clock = 100.0;
    QStringList arguments{QStringLiteral("jumplet")};
};

class InMemoryJumpCountsStore : public JumpCountsStorePort {
public:
    explicit InMemoryJumpCountsStore(std::shared_ptr<JumpCounts> counts, std::shared_ptr<int> saves)
        : counts(std::move(counts)), saves(std::move(saves))
    {
    }
    JumpCounts load() override { return *counts; }
    void save(const JumpCounts& newCounts) override
    {
        *counts = newCounts;
        ++*saves;
    }

    std::shared_ptr<JumpCounts> counts;
    std::shared_ptr<int> saves;
};

class InMemoryProfileStore : public ProfileStorePort {
public:
    explicit InMemoryProfileStore(std::shared_ptr<std::optional<ProfilesFile>> file) : file(std::move(file))
    {
    }
    ProfilesFile load(const QString& defaultProfileName) override
    {
        if (!*file)
            *file = ProfilesFile{{Profile{Profile::defaultID(), defaultProfileName}}, Profile::defaultID()};
        return **file;
    }
    void save(const ProfilesFile& newFile) override { *file = newFile; }

    std::shared_ptr<std::optional<ProfilesFile>> file;
};

// A real binding file store whose calls are written to a shared log: "save <folder>", "remove <folder>
// <code>", "watch <folder>", "unwatch <folder>".
class RecordingBindingStore : public KeyBindingStorePort {
public:
    RecordingBindingStore(const QString& folder, std::shared_ptr<QStringList> log)
        : folder(folder), inner(folder), log(std::move(log))
    {
    }
    QList<KeyBinding> load() override { return inner.load(); }
    void save(const QList<KeyBinding>& bindings) override
    {
        log->append(QStringLiteral("save ") + folder);
        inner.save(bindings);
    }
    void remove(PhysicalKeyCode keyCode) override
    {
        log->append(QStringLiteral("remove %1 %2").arg(folder).arg(keyCode));
        inner.remove(keyCode);
    }
    std::function<void()> onExternalChange() const override { return callback; }
    void setOnExternalChange(std::function<void()> newCallback) override
    {
        log->append((newCallback ? QStringLiteral("watch ") : QStringLiteral("unwatch ")) + folder);
        callback = std::move(newCallback);
    }

    QString folder;
    KeyBindingFileStore inner;
    std::shared_ptr<QStringList> log;
    std::function<void()> callback;
};

// Everything a model test needs: a temporary data folder, the doubles, and the model built over them.
// Stores and defaults outlive a rebuilt model, as files and preferences outlive a restart.
struct ModelHarness {
    ModelHarness()
    {
        qputenv("JUMPLET_LOCAL_DIR", local().toUtf8());
        qunsetenv("JUMPLET_PORTABLE_DIR");
    }

    QString local() const { return dir.filePath(QStringLiteral("local")); }
    Locations locations() const { return Locations{local(), local()}; }

    AppModel& build()
    {
        model.reset();
        auto tap = std::make_unique<FakeEventTap>();
        auto remap = std::make_unique<FakeRemapper>();
        auto activate = std::make_unique<FakeActivator>();
        auto permit = std::make_unique<FakePermissions>();
        eventTap = tap.get();
        remapper = remap.get();
        activator = activate.get();
        permissions = permit.get();
        permissions->granted = permissionGranted;
        PlatformAdapters adapters{std::make_shared<FakeInstalledApps>(),
                                  std::move(activate),
                                  std::move(permit),
                                  std::move(remap),
                                  std::move(tap),
                                  system};

        const std::shared_ptr<QStringList> log = storeLog;
        auto makeStore = [log](const QString& folder) -> std::unique_ptr<KeyBindingStorePort> {
            return std::make_unique<RecordingBindingStore>(folder, log);
        };
        SyncSettings syncSettings(*defaults, QStringLiteral("Jumplet"), Locations::portableFileNames(),
                                  QStringLiteral("JUMPLET_LOCAL_DIR"),
                                  QStringLiteral("JUMPLET_PORTABLE_DIR"));
        model =
            std::make_unique<AppModel>(makeStore(locations().bindingsFolder(Profile::defaultID())), makeStore,
                                       std::make_unique<InMemoryJumpCountsStore>(jumpCounts, jumpCountSaves),
                                       std::make_unique<InMemoryProfileStore>(profilesFile), locations(),
                                       std::move(syncSettings), std::move(adapters), changelog, defaults);
        model->setPollIntervals(std::chrono::milliseconds(10), std::chrono::milliseconds(10));
        return *model;
    }

    RecordingBindingStore& store() const { return *static_cast<RecordingBindingStore*>(model->store()); }

    QTemporaryDir dir;
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<FakeSystemValues> system = std::make_shared<FakeSystemValues>();
    std::shared_ptr<JumpCounts> jumpCounts = std::make_shared<JumpCounts>();
    std::shared_ptr<int> jumpCountSaves = std::make_shared<int>(0);
    std::shared_ptr<std::optional<ProfilesFile>> profilesFile =
        std::make_shared<std::optional<ProfilesFile>>();
    std::shared_ptr<QStringList> storeLog = std::make_shared<QStringList>();
    QList<ChangelogEntry> changelog;
    bool permissionGranted = true;

    FakeEventTap* eventTap = nullptr;
    FakeRemapper* remapper = nullptr;
    FakeActivator* activator = nullptr;
    FakePermissions* permissions = nullptr;
    std::unique_ptr<AppModel> model;
};
