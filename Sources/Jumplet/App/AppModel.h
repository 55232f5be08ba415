#pragma once

#include "EngineSnapshot.h"
#include "Locations.h"
#include "MainTab.h"
#include "PlatformAdapters.h"
#include "SetupIssue.h"

#include "Model/AppInfo.h"
#include "Model/BoundKey.h"
#include "Model/ChangelogEntry.h"
#include "Model/HyperKeyAction.h"
#include "Model/KeyBinding.h"
#include "Model/Profile.h"
#include "Model/SuggestedBinding.h"
#include "Ports/JumpCountsStorePort.h"
#include "Ports/KeyBindingStorePort.h"
#include "Ports/ProfileStorePort.h"
#include "Ports/UserDefaults.h"
#include "SyncMode.h"
#include "SyncSettings.h"
#include "SyncStart.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// The one model of the application: owns the ports and the stores, runs the hyper key engine, holds what the
// interface shows and carries out every command. Lives on the main thread; only the functions it hands to the
// engine run elsewhere, and they read nothing but the published snapshot.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<KeyBinding> bindings READ bindings NOTIFY bindingsChanged)
    Q_PROPERTY(std::optional<BoundKey> menuKey READ menuKey NOTIFY menuKeyChanged)
    Q_PROPERTY(std::optional<BoundKey> layoutKey READ layoutKey NOTIFY layoutKeyChanged)
    Q_PROPERTY(
        QList<AppInfo> installedApps READ installedApps WRITE setInstalledApps NOTIFY installedAppsChanged)
    Q_PROPERTY(PermissionStatus permissionStatus READ permissionStatus NOTIFY permissionStatusChanged)
    Q_PROPERTY(
        bool capsLockRemappedBySystem READ capsLockRemappedBySystem NOTIFY capsLockRemappedBySystemChanged)
    Q_PROPERTY(
        bool isNextWindowShortcutOff READ isNextWindowShortcutOff NOTIFY isNextWindowShortcutOffChanged)
    Q_PROPERTY(
        bool raycastHyperKeyOnCapsLock READ raycastHyperKeyOnCapsLock NOTIFY raycastHyperKeyOnCapsLockChanged)
    Q_PROPERTY(bool isHyperKeyHeld READ isHyperKeyHeld NOTIFY isHyperKeyHeldChanged)
    Q_PROPERTY(bool isSecureInputBlocked READ isSecureInputBlocked NOTIFY isSecureInputBlockedChanged)
    Q_PROPERTY(bool isWhatsNewHighlighted READ isWhatsNewHighlighted WRITE setWhatsNewHighlighted NOTIFY
                   isWhatsNewHighlightedChanged)
    Q_PROPERTY(bool isHyperKeyEnabled READ isHyperKeyEnabled WRITE setHyperKeyEnabled NOTIFY
                   isHyperKeyEnabledChanged)
    Q_PROPERTY(bool cyclesAcrossDesktops READ cyclesAcrossDesktops WRITE setCyclesAcrossDesktops NOTIFY
                   cyclesAcrossDesktopsChanged)
    Q_PROPERTY(bool sendsEscapeWhenTapped READ sendsEscapeWhenTapped WRITE setSendsEscapeWhenTapped NOTIFY
                   sendsEscapeWhenTappedChanged)
    Q_PROPERTY(bool togglesCapsLockOnDoubleTap READ togglesCapsLockOnDoubleTap WRITE
                   setTogglesCapsLockOnDoubleTap NOTIFY togglesCapsLockOnDoubleTapChanged)
    Q_PROPERTY(bool showsNumberRow READ showsNumberRow WRITE setShowsNumberRow NOTIFY showsNumberRowChanged)
    Q_PROPERTY(bool showsSymbolRow READ showsSymbolRow WRITE setShowsSymbolRow NOTIFY showsSymbolRowChanged)
    Q_PROPERTY(std::optional<QString> loginItemError READ loginItemError WRITE setLoginItemError NOTIFY
                   loginItemErrorChanged)
    Q_PROPERTY(MainTab tab READ tab WRITE setTab NOTIFY tabChanged)
    Q_PROPERTY(bool isWindowCyclingSettingRequested READ isWindowCyclingSettingRequested WRITE
                   setWindowCyclingSettingRequested NOTIFY isWindowCyclingSettingRequestedChanged)
    Q_PROPERTY(bool hasCompletedOnboarding READ hasCompletedOnboarding NOTIFY hasCompletedOnboardingChanged)
    Q_PROPERTY(SyncMode syncMode READ syncMode NOTIFY syncModeChanged)
    Q_PROPERTY(std::optional<QString> syncFolder READ syncFolder NOTIFY syncFolderChanged)
    Q_PROPERTY(bool isSyncAvailable READ isSyncAvailable NOTIFY isSyncAvailableChanged)
    Q_PROPERTY(
        std::optional<QStringList> pendingCloudFiles READ pendingCloudFiles NOTIFY pendingCloudFilesChanged)
    Q_PROPERTY(std::optional<Jump> lastJump READ lastJump NOTIFY lastJumpChanged)
    Q_PROPERTY(Profile activeProfile READ activeProfile NOTIFY activeProfileChanged)
    Q_PROPERTY(QList<Profile> profiles READ profiles NOTIFY profilesChanged)
    Q_PROPERTY(Locations locations READ locations NOTIFY locationsChanged)
    Q_PROPERTY(JumpCounts jumpCounts READ jumpCounts NOTIFY jumpCountsChanged)
    Q_PROPERTY(bool hasPermissionPoll READ hasPermissionPoll NOTIFY permissionPollTaskChanged)
    Q_PROPERTY(bool hasSecureInputPoll READ hasSecureInputPoll NOTIFY secureInputPollTaskChanged)

public:
    // One successful jump; the number grows with every jump of this run, so each jump is a new value.
    struct Jump {
        QString bundleIdentifier;
        qint64 number = 0;

        friend bool operator==(const Jump&, const Jump&) = default;
    };

    using KeyBindingStoreFactory = std::function<std::unique_ptr<KeyBindingStorePort>(const QString& folder)>;
    // Asks the user for a folder; nothing when the user cancels.
    using FolderChooser = std::function<std::optional<QString>()>;

    // The eight preferences that belong to a profile, in this order.
    static const QStringList profileScopedDefaultsKeys;

    AppModel(std::unique_ptr<KeyBindingStorePort> store, KeyBindingStoreFactory makeKeyBindingStore,
             std::unique_ptr<JumpCountsStorePort> jumpCountsStore,
             std::unique_ptr<ProfileStorePort> profileStore, Locations locations, SyncSettings syncSettings,
             PlatformAdapters adapters, QList<ChangelogEntry> changelog,
             std::shared_ptr<UserDefaults> defaults, QObject* parent = nullptr);
    ~AppModel() override;

    // Observed state.
    QList<KeyBinding> bindings() const { return m_bindings; }
    std::optional<BoundKey> menuKey() const { return m_menuKey; }
    std::optional<BoundKey> layoutKey() const { return m_layoutKey; }
    QList<AppInfo> installedApps() const { return m_installedApps; }
    PermissionStatus permissionStatus() const { return m_permissionStatus; }
    bool capsLockRemappedBySystem() const { return m_capsLockRemappedBySystem; }
    bool isNextWindowShortcutOff() const { return m_isNextWindowShortcutOff; }
    bool raycastHyperKeyOnCapsLock() const { return m_raycastHyperKeyOnCapsLock; }
    bool isHyperKeyHeld() const { return m_isHyperKeyHeld; }
    bool isSecureInputBlocked() const { return m_isSecureInputBlocked; }
    bool isWhatsNewHighlighted() const { return m_isWhatsNewHighlighted; }
    bool isHyperKeyEnabled() const { return m_isHyperKeyEnabled; }
    bool cyclesAcrossDesktops() const { return m_cyclesAcrossDesktops; }
    bool sendsEscapeWhenTapped() const { return m_sendsEscapeWhenTapped; }
    bool togglesCapsLockOnDoubleTap() const { return m_togglesCapsLockOnDoubleTap; }
    bool showsNumberRow() const { return m_showsNumberRow; }
    bool showsSymbolRow() const { return m_showsSymbolRow; }
    std::optional<QString> loginItemError() const { return m_loginItemError; }
    MainTab tab() const { return m_tab; }
    bool isWindowCyclingSettingRequested() const { return m_isWindowCyclingSettingRequested; }
    bool hasCompletedOnboarding() const { return m_hasCompletedOnboarding; }
    SyncMode syncMode() const { return m_syncMode; }
    std::optional<QString> syncFolder() const { return m_syncFolder; }
    bool isSyncAvailable() const { return m_isSyncAvailable; }
    std::optional<QStringList> pendingCloudFiles() const { return m_pendingCloudFiles; }
    std::optional<Jump> lastJump() const { return m_lastJump; }
    Profile activeProfile() const { return m_activeProfile; }
    QList<Profile> profiles() const { return m_profiles; }
    Locations locations() const { return m_locations; }
    KeyBindingStorePort* store() const { return m_store.get(); }
    JumpCounts jumpCounts() const { return m_jumpCounts; }
    bool hasPermissionPoll() const { return m_permissionPollTask != nullptr; }
    bool hasSecureInputPoll() const { return m_secureInputPollTask != nullptr; }

    // Plain state.
    const QList<ChangelogEntry>& changelog() const { return m_changelog; }
    // The table the engine consults; no observation cost.
    BindingLookupTable bindingLookup() const { return *m_snapshot->bindingLookup.load(); }
    InstalledAppsPort& installedAppsPort() const { return *m_installedAppsPort; }
    PermissionsPort& permissions() const { return *m_permissions; }

    // What the menu and layout keys do; installed by the application delegate.
    void setShowMenu(std::function<void()> action);
    void setToggleLayout(std::function<void()> action);
    // The dialog that picks a custom synchronised folder; installed by the interface.
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    void setInstalledApps(const QList<AppInfo>& apps);
    void setWhatsNewHighlighted(bool highlighted);
    void setLoginItemError(const std::optional<QString>& error);
    void setTab(MainTab tab);
    void setWindowCyclingSettingRequested(bool requested);

    // Derived on every read, in the order the setup banner lists them.
    QList<SetupIssue> setupIssues() const;

    // Preferences of the active profile.
    void setSendsEscapeWhenTapped(bool value);
    void setTogglesCapsLockOnDoubleTap(bool value);
    void setShowsNumberRow(bool value);
    void setShowsSymbolRow(bool value);
    void setCyclesAcrossDesktops(bool value);
    void setHyperKeyEnabled(bool value);

    void refreshSetupStatus();
    void refreshCapsLockConflict();

    // Launch: removes a remap left by an earlier run, arms the folder watch, starts the engine and the polls.
    void start();
    void schedulePermissionPollIfNeeded();
    void startSecureInputWatch();
    // Stops the secure-input poll; the application delegate calls it at termination.
    void stopSecureInputWatch();

    // The engine.
    void startEngineIfPossible();
    void stopEngine();
    void rebuildLookup();
    void perform(const HyperKeyAction& action);
    void activate(const QString& bundleIdentifier, bool countsJump);

    // Binding commands.
    void setBinding(const BoundKey& key, const AppInfo& app);
    void moveBinding(PhysicalKeyCode fromKeyCode, const BoundKey& target);
    void removeBinding(const QUuid& id);
    void setMenuKey(const std::optional<BoundKey>& key);
    void setLayoutKey(const std::optional<BoundKey>& key);
    void completeOnboarding(const QList<SuggestedBinding>& suggestions);
    void importBindings(const QList<KeyBinding>& imported, bool replacingAll);

    // Profile commands.
    void switchToProfile(const QUuid& id);
    void createProfile();
    void renameProfile(const QUuid& id, const QString& name);
    void deleteProfile(const QUuid& id);

    // Synchronisation commands.
    void setSync(SyncMode mode);
    void confirmSync(SyncStart start);
    void cancelSync();

    // Tests shorten the polls; production uses 2 s and 1 s.
    void setPollIntervals(std::chrono::milliseconds permission, std::chrono::milliseconds secureInput);

signals:
    void bindingsChanged();
    void menuKeyChanged();
    void showMenuChanged();
    void layoutKeyChanged();
    void toggleLayoutChanged();
    void installedAppsChanged();
    void permissionStatusChanged();
    void capsLockRemappedBySystemChanged();
    void isNextWindowShortcutOffChanged();
    void raycastHyperKeyOnCapsLockChanged();
    void isHyperKeyHeldChanged();
    void isSecureInputBlockedChanged();
    void isWhatsNewHighlightedChanged();
    void isHyperKeyEnabledChanged();
    void cyclesAcrossDesktopsChanged();
    void sendsEscapeWhenTappedChanged();
    void togglesCapsLockOnDoubleTapChanged();
    void showsNumberRowChanged();
    void showsSymbolRowChanged();
    void loginItemErrorChanged();
    void tabChanged();
    void isWindowCyclingSettingRequestedChanged();
    void hasCompletedOnboardingChanged();
    void syncModeChanged();
    void syncFolderChanged();
    void isSyncAvailableChanged();
    void pendingCloudFilesChanged();
    void lastJumpChanged();
    void activeProfileChanged();
    void profilesChanged();
    void locationsChanged();
    void storeChanged();
    void jumpCountsChanged();
    void permissionPollTaskChanged();
    void secureInputPollTaskChanged();

private:
    struct PendingSync {
        SyncMode mode;
        std::optional<QString> folder;
    };

    template <typename T> void assign(T& member, const T& value, void (AppModel::*changed)());

    QString scopedKey(const QString& key) const;
    static QString scopedKey(const QString& key, const QUuid& profileID);
    std::optional<BoundKey> loadKey(const QString& key, const BoundKey& defaultKey) const;
    void saveKey(const std::optional<BoundKey>& key, const QString& defaultsKey);
    void setPreference(bool& member, bool value, void (AppModel::*changed)(), const QString& key);
    void loadProfilePreferences();
    static QList<KeyBinding> applyingJumpCounts(const JumpCounts& counts, QList<KeyBinding> bindings);
    void setBindings(const QList<KeyBinding>& bindings);
    void setHyperKeyHeld(bool held);
    void setPermissionStatus(PermissionStatus status);
    void cancelPermissionPoll();
    void pollPermission();
    void pollSecureInput();
    void recordJump(const QString& bundleIdentifier, const ActivationOutcome& outcome, bool countsJump);

    void applyProfile(const Profile& profile, bool persistAsActive);
    void armExternalChangeWatch();
    void reloadFromExternalChange();
    static void copyBindingsFiles(const QString& from, const QString& to);

    void finishSync(SyncMode mode, const std::optional<QString>& folder, SyncStart start);
    void relocate(const Locations& locations);
    void swapBindingsStore(const QString& folder);
    void readSyncSettings();

    QList<KeyBinding> m_bindings;
    std::optional<BoundKey> m_menuKey;
    std::function<void()> m_showMenu;
    std::optional<BoundKey> m_layoutKey;
    std::function<void()> m_toggleLayout;
    QList<AppInfo> m_installedApps;
    PermissionStatus m_permissionStatus;
    bool m_capsLockRemappedBySystem = false;
    bool m_isNextWindowShortcutOff = false;
    bool m_raycastHyperKeyOnCapsLock = false;
    bool m_isHyperKeyHeld = false;
    bool m_isSecureInputBlocked = false;
    QList<ChangelogEntry> m_changelog;
    bool m_isWhatsNewHighlighted = false;
    bool m_isHyperKeyEnabled = true;
    bool m_cyclesAcrossDesktops = false;
    bool m_sendsEscapeWhenTapped = false;
    bool m_togglesCapsLockOnDoubleTap = true;
    bool m_showsNumberRow = false;
    bool m_showsSymbolRow = false;
    std::optional<QString> m_loginItemError;
    MainTab m_tab = MainTab::shortcuts;
    bool m_isWindowCyclingSettingRequested = false;
    bool m_hasCompletedOnboarding = false;
    SyncMode m_syncMode = SyncMode::off;
    std::optional<QString> m_syncFolder;
    bool m_isSyncAvailable = false;
    std::optional<QStringList> m_pendingCloudFiles;
    std::optional<PendingSync> m_pendingSync;
    std::optional<Jump> m_lastJump;
    Profile m_activeProfile;
    QList<Profile> m_profiles;
    std::unique_ptr<ProfileStorePort> m_profileStore;
    Locations m_locations;
    std::unique_ptr<KeyBindingStorePort> m_store;
    KeyBindingStoreFactory m_makeKeyBindingStore;
    std::unique_ptr<JumpCountsStorePort> m_jumpCountsStore;
    JumpCounts m_jumpCounts;
    SyncSettings m_syncSettings;
    std::shared_ptr<InstalledAppsPort> m_installedAppsPort;
    std::unique_ptr<AppActivatorPort> m_activator;
    std::unique_ptr<PermissionsPort> m_permissions;
    std::unique_ptr<CapsLockRemapperPort> m_remapper;
    std::unique_ptr<HyperKeyEventTapPort> m_eventTap;
    QTimer* m_permissionPollTask = nullptr;
    QTimer* m_secureInputPollTask = nullptr;
    std::shared_ptr<SystemValues> m_systemValues;
    std::shared_ptr<UserDefaults> m_defaults;
    std::shared_ptr<EngineSnapshot> m_snapshot = std::make_shared<EngineSnapshot>();
    FolderChooser m_chooseFolder;
    std::chrono::milliseconds m_permissionPollInterval{2000};
    std::chrono::milliseconds m_secureInputPollInterval{1000};
};
