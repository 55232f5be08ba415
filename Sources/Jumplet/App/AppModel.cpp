#include "AppModel.h"

#include "AppCopy.h"

#include "Logic/CanonicalUuid.h"
#include "Logic/HyperKeyStateMachine.h"
#include "Model/HyperKeyTrigger.h"
#include "Model/KeyBindingList.h"
#include "Storage/ShortcutsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPointer>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcAppModel, "AppModel")

namespace {

const BoundKey defaultMenuKey{36, u"Return"_s};
const BoundKey defaultLayoutKey{49, u"Space"_s};

// Runs on the main thread after the current event, from whichever thread asks.
template <typename Function> void postToMainThread(Function function)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(function), Qt::QueuedConnection);
}

} // namespace

const QStringList AppModel::profileScopedDefaultsKeys = {u"menuKey"_s,
                                                         u"layoutKey"_s,
                                                         u"sendsEscapeWhenTapped"_s,
                                                         u"togglesCapsLockOnDoubleTap"_s,
                                                         u"showsNumberRow"_s,
                                                         u"showsSymbolRow"_s,
                                                         u"switchesWindowsViaScripting"_s,
                                                         u"hyperKeyEnabled"_s};

AppModel::AppModel(std::unique_ptr<KeyBindingStorePort> store, KeyBindingStoreFactory makeKeyBindingStore,
                   std::unique_ptr<JumpCountsStorePort> jumpCountsStore,
                   std::unique_ptr<ProfileStorePort> profileStore, Locations locations,
                   SyncSettings syncSettings, PlatformAdapters adapters, QList<ChangelogEntry> changelog,
                   std::shared_ptr<UserDefaults> defaults, QObject* parent)
    : QObject(parent), m_changelog(std::move(changelog)), m_profileStore(std::move(profileStore)),
      m_locations(std::move(locations)), m_makeKeyBindingStore(std::move(makeKeyBindingStore)),
      m_jumpCountsStore(std::move(jumpCountsStore)), m_syncSettings(std::move(syncSettings)),
      m_installedAppsPort(std::move(adapters.installedApps)), m_activator(std::move(adapters.activator)),
      m_permissions(std::move(adapters.permissions)), m_remapper(std::move(adapters.remapper)),
      m_eventTap(std::move(adapters.eventTap)), m_systemValues(std::move(adapters.systemValues)),
      m_defaults(std::move(defaults))
{
    m_isNextWindowShortcutOff = m_systemValues->isNextWindowShortcutOff();
    m_raycastHyperKeyOnCapsLock = m_systemValues->isLauncherHyperKeyOnCapsLock();

    const QString defaultName = AppCopy::Profiles::defaultName();
    ProfilesFile file = m_profileStore->load(defaultName);
    if (file.profiles.isEmpty()) {
        // Nothing to choose from: start over as a fresh installation would.
        file = ProfilesFile{{Profile{Profile::defaultID(), defaultName}}, Profile::defaultID()};
        m_profileStore->save(file);
    }
    m_profiles = file.profiles;
    m_activeProfile = m_profiles.first();
    for (const Profile& profile : std::as_const(m_profiles)) {
        if (profile.id == file.activeID) {
            m_activeProfile = profile;
            break;
        }
    }

    m_store = m_activeProfile.id == Profile::defaultID()
                  ? std::move(store)
                  : m_makeKeyBindingStore(m_locations.bindingsFolder(m_activeProfile.id));

    m_jumpCounts = m_jumpCountsStore->load();
    m_bindings = applyingJumpCounts(m_jumpCounts, m_store->load());
    loadProfilePreferences();
    rebuildLookup();
    readSyncSettings();
    m_permissionStatus = m_permissions->currentStatus();
    m_capsLockRemappedBySystem = m_remapper->isCapsLockRemappedBySystem();

    const QStringList arguments = m_systemValues->commandLineArguments();
    if (arguments.contains(u"--onboarding"_s))
        m_hasCompletedOnboarding = false;
    else
        m_hasCompletedOnboarding = m_defaults->boolean(u"hasCompletedOnboarding"_s) || !m_bindings.isEmpty();

    if (!m_changelog.isEmpty()) {
        const QString latest = m_changelog.first().version;
        const std::optional<QString> seen = m_defaults->string(u"whatsNewSeenVersion"_s);
        m_defaults->setString(u"whatsNewSeenVersion"_s, latest);
        m_isWhatsNewHighlighted = seen && *seen != latest ? true : arguments.contains(u"--whats-new"_s);
    }
}

AppModel::~AppModel()
{
    m_snapshot->isModelAlive = false;
}

template <typename T> void AppModel::assign(T& member, const T& value, void (AppModel::*changed)())
{
    if (member == value)
        return;
    member = value;
    emit(this->*changed)();
}

// MARK: - Plain setters

void AppModel::setShowMenu(std::function<void()> action)
{
    m_showMenu = std::move(action);
    emit showMenuChanged();
}

void AppModel::setToggleLayout(std::function<void()> action)
{
    m_toggleLayout = std::move(action);
    emit toggleLayoutChanged();
}

void AppModel::setInstalledApps(const QList<AppInfo>& apps)
{
    assign(m_installedApps, apps, &AppModel::installedAppsChanged);
}

void AppModel::setWhatsNewHighlighted(bool highlighted)
{
    assign(m_isWhatsNewHighlighted, highlighted, &AppModel::isWhatsNewHighlightedChanged);
}

void AppModel::setLoginItemError(const std::optional<QString>& error)
{
    assign(m_loginItemError, error, &AppModel::loginItemErrorChanged);
}

void AppModel::setTab(MainTab tab)
{
    assign(m_tab, tab, &AppModel::tabChanged);
}

void AppModel::setWindowCyclingSettingRequested(bool requested)
{
    assign(m_isWindowCyclingSettingRequested, requested, &AppModel::isWindowCyclingSettingRequestedChanged);
}

void AppModel::setBindings(const QList<KeyBinding>& bindings)
{
    assign(m_bindings, bindings, &AppModel::bindingsChanged);
}

void AppModel::setHyperKeyHeld(bool held)
{
    assign(m_isHyperKeyHeld, held, &AppModel::isHyperKeyHeldChanged);
}

void AppModel::setPermissionStatus(PermissionStatus status)
{
    assign(m_permissionStatus, status, &AppModel::permissionStatusChanged);
}

void AppModel::setPollIntervals(std::chrono::milliseconds permission, std::chrono::milliseconds secureInput)
{
    m_permissionPollInterval = permission;
    m_secureInputPollInterval = secureInput;
    if (m_permissionPollTask != nullptr)
        m_permissionPollTask->setInterval(permission);
    if (m_secureInputPollTask != nullptr)
        m_secureInputPollTask->setInterval(secureInput);
}

// MARK: - Setup issues

QList<SetupIssue> AppModel::setupIssues() const
{
    QList<SetupIssue> issues;
    if (!m_isHyperKeyEnabled) {
        issues.append(SetupIssue::hyperKeyOff());
    } else {
        if (!m_permissionStatus.accessibilityGranted)
            issues.append(SetupIssue::accessibilityMissing());
        if (m_capsLockRemappedBySystem)
            issues.append(SetupIssue::capsLockRemappedBySystem());
        if (m_isNextWindowShortcutOff)
            issues.append(SetupIssue::nextWindowShortcutOff());
    }
    if (m_menuKey) {
        if (const auto shadowing = KeyBindingList::binding(m_bindings, m_menuKey->keyCode))
            issues.append(SetupIssue::menuKeyShadowed(shadowing->appName));
    }
    if (m_isSecureInputBlocked)
        issues.append(SetupIssue::secureInputBlocked());
    return issues;
}

// MARK: - Preferences

QString AppModel::scopedKey(const QString& key) const
{
    return scopedKey(key, m_activeProfile.id);
}

QString AppModel::scopedKey(const QString& key, const QUuid& profileID)
{
    if (profileID == Profile::defaultID())
        return key;
    return key % u'.' % CanonicalUuid::format(profileID);
}

std::optional<BoundKey> AppModel::loadKey(const QString& key, const BoundKey& defaultKey) const
{
    if (!m_defaults->contains(key))
        return defaultKey;
    const std::optional<QByteArray> data = m_defaults->data(key);
    if (!data)
        return defaultKey;
    if (data->isEmpty())
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(*data);
    if (!document.isObject())
        return defaultKey;
    return BoundKey::fromJson(document.object()).value_or(defaultKey);
}

void AppModel::saveKey(const std::optional<BoundKey>& key, const QString& defaultsKey)
{
    // An empty value, not a removal, so that a cleared key stays cleared instead of returning to its default.
    m_defaults->setData(defaultsKey,
                        key ? QJsonDocument(key->toJson()).toJson(QJsonDocument::Compact) : QByteArray());
}

void AppModel::loadProfilePreferences()
{
    assign(m_menuKey, loadKey(scopedKey(u"menuKey"_s), defaultMenuKey), &AppModel::menuKeyChanged);
    assign(m_layoutKey, loadKey(scopedKey(u"layoutKey"_s), defaultLayoutKey), &AppModel::layoutKeyChanged);
    assign(m_sendsEscapeWhenTapped, m_defaults->boolean(scopedKey(u"sendsEscapeWhenTapped"_s)),
           &AppModel::sendsEscapeWhenTappedChanged);
    const QVariant toggles = m_defaults->value(scopedKey(u"togglesCapsLockOnDoubleTap"_s));
    assign(m_togglesCapsLockOnDoubleTap,
           toggles.metaType() == QMetaType::fromType<bool>() ? toggles.toBool() : true,
           &AppModel::togglesCapsLockOnDoubleTapChanged);
    assign(m_showsNumberRow, m_defaults->boolean(scopedKey(u"showsNumberRow"_s)),
           &AppModel::showsNumberRowChanged);
    assign(m_showsSymbolRow, m_defaults->boolean(scopedKey(u"showsSymbolRow"_s)),
           &AppModel::showsSymbolRowChanged);
    assign(m_cyclesAcrossDesktops, m_defaults->boolean(scopedKey(u"switchesWindowsViaScripting"_s)),
           &AppModel::cyclesAcrossDesktopsChanged);
    const QVariant enabled = m_defaults->value(scopedKey(u"hyperKeyEnabled"_s));
    assign(m_isHyperKeyEnabled, enabled.isValid() ? enabled.toBool() : true,
           &AppModel::isHyperKeyEnabledChanged);

    m_snapshot->sendsEscapeWhenTapped = m_sendsEscapeWhenTapped;
    m_snapshot->togglesCapsLockOnDoubleTap = m_togglesCapsLockOnDoubleTap;
}

void AppModel::setPreference(bool& member, bool value, void (AppModel::*changed)(), const QString& key)
{
    assign(member, value, changed);
    m_defaults->setBoolean(scopedKey(key), value);
}

void AppModel::setSendsEscapeWhenTapped(bool value)
{
    setPreference(m_sendsEscapeWhenTapped, value, &AppModel::sendsEscapeWhenTappedChanged,
                  u"sendsEscapeWhenTapped"_s);
    m_snapshot->sendsEscapeWhenTapped = value;
}

void AppModel::setTogglesCapsLockOnDoubleTap(bool value)
{
    setPreference(m_togglesCapsLockOnDoubleTap, value, &AppModel::togglesCapsLockOnDoubleTapChanged,
                  u"togglesCapsLockOnDoubleTap"_s);
    m_snapshot->togglesCapsLockOnDoubleTap = value;
}

void AppModel::setShowsNumberRow(bool value)
{
    setPreference(m_showsNumberRow, value, &AppModel::showsNumberRowChanged, u"showsNumberRow"_s);
}

void AppModel::setShowsSymbolRow(bool value)
{
    setPreference(m_showsSymbolRow, value, &AppModel::showsSymbolRowChanged, u"showsSymbolRow"_s);
}

void AppModel::setCyclesAcrossDesktops(bool value)
{
    setPreference(m_cyclesAcrossDesktops, value, &AppModel::cyclesAcrossDesktopsChanged,
                  u"switchesWindowsViaScripting"_s);
}

void AppModel::setHyperKeyEnabled(bool value)
{
    if (value == m_isHyperKeyEnabled)
        return;
    setPreference(m_isHyperKeyEnabled, value, &AppModel::isHyperKeyEnabledChanged, u"hyperKeyEnabled"_s);
    if (value)
        startEngineIfPossible();
    else
        stopEngine();
}

QList<KeyBinding> AppModel::applyingJumpCounts(const JumpCounts& counts, QList<KeyBinding> bindings)
{
    for (KeyBinding& binding : bindings)
        binding.jumps = counts.value(CanonicalUuid::format(binding.id), 0);
    return bindings;
}

// MARK: - Status and polls

void AppModel::refreshSetupStatus()
{
    setPermissionStatus(m_permissions->currentStatus());
    refreshCapsLockConflict();
    assign(m_isNextWindowShortcutOff, m_systemValues->isNextWindowShortcutOff(),
           &AppModel::isNextWindowShortcutOffChanged);
    assign(m_isSecureInputBlocked, m_systemValues->isSecureInputEnabled(),
           &AppModel::isSecureInputBlockedChanged);
}

void AppModel::refreshCapsLockConflict()
{
    assign(m_capsLockRemappedBySystem, m_remapper->isCapsLockRemappedBySystem(),
           &AppModel::capsLockRemappedBySystemChanged);
    assign(m_raycastHyperKeyOnCapsLock, m_systemValues->isLauncherHyperKeyOnCapsLock(),
           &AppModel::raycastHyperKeyOnCapsLockChanged);
}

void AppModel::start()
{
    m_remapper->remove();
    armExternalChangeWatch();
    startEngineIfPossible();
    startSecureInputWatch();
}

void AppModel::schedulePermissionPollIfNeeded()
{
    if (!m_isHyperKeyEnabled || m_permissionPollTask != nullptr)
        return;
    m_permissionPollTask = new QTimer(this);
    m_permissionPollTask->setTimerType(Qt::PreciseTimer);
    m_permissionPollTask->setInterval(m_permissionPollInterval);
    connect(m_permissionPollTask, &QTimer::timeout, this, &AppModel::pollPermission);
    m_permissionPollTask->start();
    emit permissionPollTaskChanged();
}

void AppModel::pollPermission()
{
    setPermissionStatus(m_permissions->currentStatus());
    if (!m_permissionStatus.accessibilityGranted)
        return;
    cancelPermissionPoll();
    startEngineIfPossible();
}

void AppModel::cancelPermissionPoll()
{
    if (m_permissionPollTask == nullptr)
        return;
    m_permissionPollTask->stop();
    // It may be the timer whose signal is being delivered right now.
    m_permissionPollTask->deleteLater();
    m_permissionPollTask = nullptr;
    emit permissionPollTaskChanged();
}

void AppModel::startSecureInputWatch()
{
    stopSecureInputWatch();
    m_secureInputPollTask = new QTimer(this);
    m_secureInputPollTask->setTimerType(Qt::PreciseTimer);
    m_secureInputPollTask->setInterval(m_secureInputPollInterval);
    connect(m_secureInputPollTask, &QTimer::timeout, this, &AppModel::pollSecureInput);
    pollSecureInput();
    m_secureInputPollTask->start();
    emit secureInputPollTaskChanged();
}

void AppModel::stopSecureInputWatch()
{
    if (m_secureInputPollTask == nullptr)
        return;
    m_secureInputPollTask->stop();
    m_secureInputPollTask->deleteLater();
    m_secureInputPollTask = nullptr;
    emit secureInputPollTaskChanged();
}

void AppModel::pollSecureInput()
{
    assign(m_isSecureInputBlocked, m_systemValues->isSecureInputEnabled(),
           &AppModel::isSecureInputBlockedChanged);
}

// MARK: - Engine

void AppModel::startEngineIfPossible()
{
    cancelPermissionPoll();
    if (!m_isHyperKeyEnabled || m_eventTap->isRunning())
        return;
    setPermissionStatus(m_permissions->currentStatus());
    if (!m_permissionStatus.accessibilityGranted) {
        schedulePermissionPollIfNeeded();
        return;
    }
    m_remapper->apply();

    // These run on the keyboard's thread: they read only the snapshot, whose flag stands for the model being
    // alive, and reach the model only by posting to the main thread through a weak pointer.
    const QPointer<AppModel> model(this);
    const std::shared_ptr<EngineSnapshot> snapshot = m_snapshot;
    const std::shared_ptr<SystemValues> systemValues = m_systemValues;
    auto machine = std::make_shared<HyperKeyStateMachine>(
        HyperKeyTrigger::virtualKeyCode,
        [snapshot] { return snapshot->isModelAlive && snapshot->sendsEscapeWhenTapped; },
        [snapshot] { return snapshot->isModelAlive && snapshot->togglesCapsLockOnDoubleTap; },
        m_systemValues->doubleClickInterval(), [systemValues] { return systemValues->uptime(); },
        [model](bool held) {
            postToMainThread([model, held] {
                if (model)
                    model->setHyperKeyHeld(held);
            });
        },
        [snapshot](PhysicalKeyCode keyCode) -> std::optional<HyperKeyAction> {
            if (!snapshot->isModelAlive)
                return std::nullopt;
            const std::shared_ptr<const BindingLookupTable> table = snapshot->bindingLookup.load();
            const auto entry = table->constFind(keyCode);
            if (entry == table->cend())
                return std::nullopt;
            return *entry;
        });

    const bool started = m_eventTap->start([machine, model](const RawKeyEvent& event) {
        HyperKeyDisposition disposition = machine->handle(event);
        if (disposition.kind == HyperKeyDisposition::Kind::perform) {
            postToMainThread([model, action = disposition.action] {
                if (model)
                    model->perform(action);
            });
        }
        return disposition;
    });
    if (!started) {
        m_remapper->remove();
        schedulePermissionPollIfNeeded();
    }
}

void AppModel::stopEngine()
{
    cancelPermissionPoll();
    m_eventTap->stop();
    m_remapper->remove();
    setHyperKeyHeld(false);
}

void AppModel::rebuildLookup()
{
    const auto menuKeyCode = m_menuKey ? std::optional(m_menuKey->keyCode) : std::nullopt;
    const auto layoutKeyCode = m_layoutKey ? std::optional(m_layoutKey->keyCode) : std::nullopt;
    m_snapshot->bindingLookup = std::make_shared<const BindingLookupTable>(
        KeyBindingList::lookupTable(m_bindings, menuKeyCode, layoutKeyCode));
}

void AppModel::perform(const HyperKeyAction& action)
{
    switch (action.kind) {
    case HyperKeyAction::Kind::showMenu:
        qCInfo(lcAppModel, "menu key: showing the window");
        if (m_showMenu)
            m_showMenu();
        break;
    case HyperKeyAction::Kind::toggleLayout:
        if (m_toggleLayout)
            m_toggleLayout();
        break;
    case HyperKeyAction::Kind::toggleCapsLock:
        qCInfo(lcAppModel, "double tap: toggling Caps Lock");
        m_remapper->toggleCapsLock();
        break;
    case HyperKeyAction::Kind::activate:
        activate(action.bundleIdentifier, true);
        break;
    }
}

void AppModel::activate(const QString& bundleIdentifier, bool countsJump)
{
    // Returns at once; the jump runs on a later turn and its outcome arrives when the activator is done. The
    // outcome is delivered through the application object and finds the model through a weak pointer, since
    // a continuation whose context is gone before its future finishes aborts the process.
    QMetaObject::invokeMethod(
        this,
        [this, bundleIdentifier, countsJump] {
            m_activator->activateOrCycle(bundleIdentifier, m_cyclesAcrossDesktops)
                .then(QCoreApplication::instance(), [model = QPointer(this), bundleIdentifier,
                                                     countsJump](const ActivationOutcome& outcome) {
                    if (model)
                        model->recordJump(bundleIdentifier, outcome, countsJump);
                });
        },
        Qt::QueuedConnection);
}

void AppModel::recordJump(const QString& bundleIdentifier, const ActivationOutcome& outcome, bool countsJump)
{
    if (!outcome.isSuccess()) {
        qCCritical(lcAppModel).noquote()
            << u"could not activate %1: %2"_s.arg(bundleIdentifier, outcome.reason);
        return;
    }
    qCInfo(lcAppModel).noquote() << u"%1: %2"_s.arg(bundleIdentifier, outcome.caseName());
    if (countsJump) {
        setBindings(KeyBindingList::recordingJump(m_bindings, bundleIdentifier));
        const auto counted =
            std::find_if(m_bindings.cbegin(), m_bindings.cend(), [&](const KeyBinding& binding) {
                return binding.bundleIdentifier == bundleIdentifier;
            });
        if (counted != m_bindings.cend()) {
            JumpCounts counts = m_jumpCounts;
            counts.insert(CanonicalUuid::format(counted->id), counted->jumps);
            assign(m_jumpCounts, counts, &AppModel::jumpCountsChanged);
            m_jumpCountsStore->save(m_jumpCounts);
        }
    }
    assign(m_lastJump, std::optional(Jump{bundleIdentifier, m_lastJump ? m_lastJump->number + 1 : 1}),
           &AppModel::lastJumpChanged);
}

// MARK: - Binding commands

void AppModel::setBinding(const BoundKey& key, const AppInfo& app)
{
    const std::optional<KeyBinding> existing = KeyBindingList::binding(m_bindings, key.keyCode);
    if (existing && existing->bundleIdentifier == app.bundleIdentifier)
        return;
    // Whole seconds, as the binding file keeps them, so that saving again finds the file unchanged.
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    const KeyBinding binding{QUuid::createUuid(), key, app.bundleIdentifier, app.name, now, 0};
    setBindings(KeyBindingList::settingBinding(m_bindings, binding));
    rebuildLookup();
    m_store->save(m_bindings);
}

void AppModel::moveBinding(PhysicalKeyCode fromKeyCode, const BoundKey& target)
{
    const QList<KeyBinding> moved = KeyBindingList::movingBinding(m_bindings, fromKeyCode, target);
    if (moved == m_bindings)
        return;
    setBindings(moved);
    rebuildLookup();
    m_store->save(m_bindings);
    if (!KeyBindingList::binding(m_bindings, fromKeyCode))
        m_store->remove(fromKeyCode);
}

void AppModel::removeBinding(const QUuid& id)
{
    const auto removed = std::find_if(m_bindings.cbegin(), m_bindings.cend(),
                                      [&](const KeyBinding& binding) { return binding.id == id; });
    if (removed == m_bindings.cend())
        return;
    const PhysicalKeyCode keyCode = removed->key.keyCode;
    setBindings(KeyBindingList::removingBinding(m_bindings, id));
    rebuildLookup();
    m_store->remove(keyCode);

    JumpCounts counts = m_jumpCounts;
    if (counts.remove(CanonicalUuid::format(id)) > 0) {
        assign(m_jumpCounts, counts, &AppModel::jumpCountsChanged);
        m_jumpCountsStore->save(m_jumpCounts);
    }
}

void AppModel::setMenuKey(const std::optional<BoundKey>& key)
{
    assign(m_menuKey, key, &AppModel::menuKeyChanged);
    rebuildLookup();
    saveKey(key, scopedKey(u"menuKey"_s));
}

void AppModel::setLayoutKey(const std::optional<BoundKey>& key)
{
    assign(m_layoutKey, key, &AppModel::layoutKeyChanged);
    rebuildLookup();
    saveKey(key, scopedKey(u"layoutKey"_s));
}

void AppModel::completeOnboarding(const QList<SuggestedBinding>& suggestions)
{
    for (const SuggestedBinding& suggestion : suggestions)
        setBinding(suggestion.key, suggestion.app);
    assign(m_hasCompletedOnboarding, true, &AppModel::hasCompletedOnboardingChanged);
    m_defaults->setBoolean(u"hasCompletedOnboarding"_s, true);
}

void AppModel::importBindings(const QList<KeyBinding>& imported, bool replacingAll)
{
    const ShortcutsFile::Import result = ShortcutsFile::importBindings(m_bindings, imported, replacingAll);
    for (const PhysicalKeyCode keyCode : result.removedKeyCodes)
        m_store->remove(keyCode);
    setBindings(result.bindings);
    rebuildLookup();
    m_store->save(m_bindings);
}

// MARK: - Profile commands

void AppModel::switchToProfile(const QUuid& id)
{
    if (id == m_activeProfile.id)
        return;
    for (const Profile& profile : std::as_const(m_profiles)) {
        if (profile.id == id) {
            applyProfile(profile, true);
            return;
        }
    }
}

void AppModel::applyProfile(const Profile& profile, bool persistAsActive)
{
    const bool wasEnabled = m_isHyperKeyEnabled;
    assign(m_activeProfile, profile, &AppModel::activeProfileChanged);
    swapBindingsStore(m_locations.bindingsFolder(profile.id));
    loadProfilePreferences();
    rebuildLookup();
    if (m_isHyperKeyEnabled != wasEnabled) {
        if (m_isHyperKeyEnabled)
            startEngineIfPossible();
        else
            stopEngine();
    }
    if (persistAsActive)
        m_profileStore->save(ProfilesFile{m_profiles, profile.id});
}

void AppModel::createProfile()
{
    const Profile profile{QUuid::createUuid(), AppCopy::Profiles::copyName(m_activeProfile.name)};
    copyBindingsFiles(m_locations.bindingsFolder(m_activeProfile.id), m_locations.bindingsFolder(profile.id));
    for (const QString& key : profileScopedDefaultsKeys) {
        const QVariant value = m_defaults->value(scopedKey(key, m_activeProfile.id));
        if (value.isValid())
            m_defaults->setValue(scopedKey(key, profile.id), value);
    }
    QList<Profile> profiles = m_profiles;
    profiles.append(profile);
    assign(m_profiles, profiles, &AppModel::profilesChanged);
    applyProfile(profile, true);
}

void AppModel::renameProfile(const QUuid& id, const QString& name)
{
    QList<Profile> profiles = m_profiles;
    const auto renamed = std::find_if(profiles.begin(), profiles.end(),
                                      [&](const Profile& profile) { return profile.id == id; });
    if (renamed == profiles.end())
        return;
    renamed->name = name;
    assign(m_profiles, profiles, &AppModel::profilesChanged);
    if (m_activeProfile.id == id)
        assign(m_activeProfile, Profile{id, name}, &AppModel::activeProfileChanged);
    m_profileStore->save(ProfilesFile{m_profiles, m_activeProfile.id});
}

void AppModel::deleteProfile(const QUuid& id)
{
    const auto hasID = [&](const Profile& profile) { return profile.id == id; };
    // A list that repeats one id is still the last profile: deleting it would leave none and remove the
    // folder of the bindings in use.
    const auto other = std::find_if_not(m_profiles.cbegin(), m_profiles.cend(), hasID);
    if (other == m_profiles.cend() || std::none_of(m_profiles.cbegin(), m_profiles.cend(), hasID))
        return;
    if (m_activeProfile.id == id)
        applyProfile(*other, false);
    QList<Profile> profiles = m_profiles;
    profiles.removeIf(hasID);
    assign(m_profiles, profiles, &AppModel::profilesChanged);
    m_profileStore->save(ProfilesFile{m_profiles, m_activeProfile.id});
    QDir(m_locations.bindingsFolder(id)).removeRecursively();
    for (const QString& key : profileScopedDefaultsKeys)
        m_defaults->remove(scopedKey(key, id));
}

void AppModel::copyBindingsFiles(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.endsWith(u".json"_s))
            QFile::copy(source.filePath(name), QDir(to).filePath(name));
    }
}

void AppModel::armExternalChangeWatch()
{
    const QPointer<AppModel> model(this);
    m_store->setOnExternalChange([model] {
        if (model)
            QMetaObject::invokeMethod(model.data(), &AppModel::reloadFromExternalChange,
                                      Qt::QueuedConnection);
    });
}

void AppModel::reloadFromExternalChange()
{
    setBindings(applyingJumpCounts(m_jumpCounts, m_store->load()));
    rebuildLookup();
}

// MARK: - Synchronisation

void AppModel::setSync(SyncMode mode)
{
    if (mode == m_syncMode && mode != SyncMode::custom)
        return;
    std::optional<QString> folder;
    if (mode == SyncMode::custom) {
        folder = m_chooseFolder ? m_chooseFolder() : std::nullopt;
        if (!folder)
            return;
    }
    if (mode == SyncMode::off) {
        finishSync(SyncMode::off, std::nullopt, SyncStart::adoptCloud);
        return;
    }
    const QStringList present = m_syncSettings.files(mode, folder);
    if (!present.isEmpty()) {
        m_pendingSync = PendingSync{mode, folder};
        assign(m_pendingCloudFiles, std::optional(present), &AppModel::pendingCloudFilesChanged);
        return;
    }
    finishSync(mode, folder, SyncStart::adoptCloud);
}

void AppModel::confirmSync(SyncStart start)
{
    const PendingSync pending = m_pendingSync.value_or(PendingSync{SyncMode::iCloud, std::nullopt});
    finishSync(pending.mode, pending.folder, start);
}

void AppModel::cancelSync()
{
    assign(m_pendingCloudFiles, std::optional<QStringList>(), &AppModel::pendingCloudFilesChanged);
    m_pendingSync.reset();
}

void AppModel::finishSync(SyncMode mode, const std::optional<QString>& folder, SyncStart start)
{
    cancelSync();
    // The copying runs in the background; the old store keeps serving until the model re-points at the end.
    m_syncSettings.apply(mode, folder, start)
        .then(QCoreApplication::instance(), [model = QPointer(this)](const SyncLocations& locations) {
            if (model)
                model->relocate(Locations::from(locations));
        });
}

void AppModel::relocate(const Locations& locations)
{
    assign(m_locations, locations, &AppModel::locationsChanged);
    swapBindingsStore(m_locations.bindingsFolder(m_activeProfile.id));
    rebuildLookup();
    readSyncSettings();
}

void AppModel::swapBindingsStore(const QString& folder)
{
    m_store->setOnExternalChange({});
    m_store = m_makeKeyBindingStore(folder);
    emit storeChanged();
    setBindings(applyingJumpCounts(m_jumpCounts, m_store->load()));
    armExternalChangeWatch();
}

void AppModel::readSyncSettings()
{
    assign(m_syncMode, m_syncSettings.mode(), &AppModel::syncModeChanged);
    assign(m_syncFolder, m_syncSettings.customFolder(), &AppModel::syncFolderChanged);
    assign(m_isSyncAvailable, m_syncSettings.isAvailable(), &AppModel::isSyncAvailableChanged);
}
