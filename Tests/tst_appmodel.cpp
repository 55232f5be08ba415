#include "PortDoubles.h"

#include "AppCopy.h"
#include "Logic/CanonicalUuid.h"
#include "Model/HyperKeyTrigger.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SetupIssue)

namespace {

const QUuid workID = QUuid(u"8D2F6A0C-1B7E-4C2A-9F3D-5E6B7A8C9D0E"_s);

KeyBinding bindingOn(PhysicalKeyCode keyCode, const QString& label, const QString& bundleIdentifier,
                     const QString& appName)
{
    return KeyBinding{QUuid::createUuid(),
                      BoundKey{keyCode, label},
                      bundleIdentifier,
                      appName,
                      QDateTime::fromSecsSinceEpoch(1740000000, Qt::UTC),
                      0};
}

void writeBindings(const QString& folder, const QList<KeyBinding>& bindings)
{
    KeyBindingFileStore(folder).save(bindings);
}

QByteArray keyData(const BoundKey& key)
{
    return QJsonDocument(key.toJson()).toJson(QJsonDocument::Compact);
}

constexpr PhysicalKeyCode trigger = HyperKeyTrigger::virtualKeyCode;
constexpr PhysicalKeyCode keyS = 1;

} // namespace

class TestAppModel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppCopy::install(); }

    // MARK: - State at start-up

    void freshInstallation()
    {
        ModelHarness h;
        AppModel& model = h.build();
        QCOMPARE(model.menuKey(), std::optional(BoundKey{36, u"Return"_s}));
        QCOMPARE(model.layoutKey(), std::optional(BoundKey{49, u"Space"_s}));
        QVERIFY(model.isHyperKeyEnabled());
        QVERIFY(model.togglesCapsLockOnDoubleTap());
        QVERIFY(!model.sendsEscapeWhenTapped());
        QVERIFY(!model.showsNumberRow());
        QVERIFY(!model.showsSymbolRow());
        QVERIFY(!model.cyclesAcrossDesktops());
        QVERIFY(!model.hasCompletedOnboarding());
        QCOMPARE(model.tab(), MainTab::shortcuts);
        QCOMPARE(model.activeProfile(), (Profile{Profile::defaultID(), u"Default"_s}));
        QCOMPARE(model.profiles().size(), 1);
        QVERIFY(model.bindings().isEmpty());
        QCOMPARE(model.bindingLookup().value(36), HyperKeyAction::showMenu());
        QCOMPARE(model.bindingLookup().value(49), HyperKeyAction::toggleLayout());
        QCOMPARE(model.syncMode(), SyncMode::off);
        QVERIFY(!model.lastJump());
        QVERIFY(!model.hasPermissionPoll());
        QVERIFY(!h.eventTap->isRunning()); // only start() starts it
    }

    void bindingsLoadWithTheirJumpCounts()
    {
        ModelHarness h;
        const KeyBinding safari = bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s);
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()), {safari});
        h.jumpCounts->insert(CanonicalUuid::format(safari.id), 7);
        AppModel& model = h.build();
        QCOMPARE(model.bindings().size(), 1);
        QCOMPARE(model.bindings().first().jumps, 7);
        QCOMPARE(model.bindingLookup().value(keyS), HyperKeyAction::activate(u"com.apple.Safari"_s));
    }

    void unknownOrMissingActiveProfile_data()
    {
        QTest::addColumn<QList<Profile>>("profiles");
        QTest::addColumn<QUuid>("activeID");
        QTest::addColumn<Profile>("expected");
        const Profile work{workID, u"Work"_s};
        const Profile home{Profile::defaultID(), u"Home"_s};
        QTest::newRow("active id matches none") << QList{work, home} << QUuid::createUuid() << work;
        QTest::newRow("no profiles at all")
            << QList<Profile>{} << Profile::defaultID() << Profile{Profile::defaultID(), u"Default"_s};
    }

    void unknownOrMissingActiveProfile()
    {
        QFETCH(QList<Profile>, profiles);
        QFETCH(QUuid, activeID);
        QFETCH(Profile, expected);
        ModelHarness h;
        *h.profilesFile = ProfilesFile{profiles, activeID};
        AppModel& model = h.build();
        QCOMPARE(model.activeProfile(), expected);
        QVERIFY(!model.profiles().isEmpty());
        QCOMPARE(h.store().folder, h.locations().bindingsFolder(expected.id));
    }

    void onboarding_data()
    {
        QTest::addColumn<bool>("hasBindings");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("onboardingFlag");
        QTest::addColumn<bool>("completed");
        QTest::newRow("nothing") << false << QVariant() << false << false;
        QTest::newRow("stored true") << false << QVariant(true) << false << true;
        QTest::newRow("bindings without the key") << true << QVariant() << false << true;
        QTest::newRow("bindings with the key false") << true << QVariant(false) << false << true;
        QTest::newRow("--onboarding beats bindings and key") << true << QVariant(true) << true << false;
    }

    void onboarding()
    {
        QFETCH(bool, hasBindings);
        QFETCH(QVariant, stored);
        QFETCH(bool, onboardingFlag);
        QFETCH(bool, completed);
        ModelHarness h;
        if (hasBindings)
            writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                          {bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s)});
        if (stored.isValid())
            h.defaults->setValue(u"hasCompletedOnboarding"_s, stored);
        if (onboardingFlag)
            h.system->arguments.append(u"--onboarding"_s);
        QCOMPARE(h.build().hasCompletedOnboarding(), completed);
    }

    void whatsNew_data()
    {
        QTest::addColumn<bool>("hasChangelog");
        QTest::addColumn<QVariant>("seen");
        QTest::addColumn<bool>("whatsNewFlag");
        QTest::addColumn<bool>("highlighted");
        QTest::addColumn<QVariant>("storedAfter");
        const QVariant latest(u"1.2.0"_s);
        QTest::newRow("first run") << true << QVariant() << false << false << latest;
        QTest::newRow("same version") << true << latest << false << false << latest;
        QTest::newRow("new version") << true << QVariant(u"1.1.0"_s) << false << true << latest;
        QTest::newRow("flag, same version") << true << latest << true << true << latest;
        QTest::newRow("flag, first run") << true << QVariant() << true << true << latest;
        QTest::newRow("empty changelog")
            << false << QVariant(u"1.1.0"_s) << true << false << QVariant(u"1.1.0"_s);
    }

    void whatsNew()
    {
        QFETCH(bool, hasChangelog);
        QFETCH(QVariant, seen);
        QFETCH(bool, whatsNewFlag);
        QFETCH(bool, highlighted);
        QFETCH(QVariant, storedAfter);
        ModelHarness h;
        if (hasChangelog)
            h.changelog = {ChangelogEntry{u"1.2.0"_s, {}, {}}, ChangelogEntry{u"1.1.0"_s, {}, {}}};
        if (seen.isValid())
            h.defaults->setValue(u"whatsNewSeenVersion"_s, seen);
        if (whatsNewFlag)
            h.system->arguments.append(u"--whats-new"_s);
        QCOMPARE(h.build().isWhatsNewHighlighted(), highlighted);
        QCOMPARE(h.defaults->value(u"whatsNewSeenVersion"_s), storedAfter);
    }

    void boundKeyPreferences_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<std::optional<BoundKey>>("menuKey");
        const BoundKey returnKey{36, u"Return"_s};
        const BoundKey f1{122, u"F1"_s};
        QTest::newRow("absent") << QVariant() << std::optional(returnKey);
        QTest::newRow("empty data: cleared") << QVariant(QByteArray()) << std::optional<BoundKey>();
        QTest::newRow("a key") << QVariant(keyData(f1)) << std::optional(f1);
        QTest::newRow("undecodable data")
            << QVariant(QByteArray("{\"keyCode\":")) << std::optional(returnKey);
        QTest::newRow("not data") << QVariant(u"F1"_s) << std::optional(returnKey);
    }

    void boundKeyPreferences()
    {
        QFETCH(QVariant, stored);
        QFETCH(std::optional<BoundKey>, menuKey);
        ModelHarness h;
        if (stored.isValid())
            h.defaults->setValue(u"menuKey"_s, stored);
        AppModel& model = h.build();
        QCOMPARE(model.menuKey(), menuKey);
        QCOMPARE(model.bindingLookup().contains(36), menuKey && menuKey->keyCode == 36);
    }

    void clearedMenuKeySurvivesARestart()
    {
        ModelHarness h;
        h.build().setMenuKey(std::nullopt);
        QCOMPARE(h.defaults->data(u"menuKey"_s), std::optional(QByteArray()));
        QVERIFY(!h.build().menuKey());
        QVERIFY(!h.model->bindingLookup().contains(36));
    }

    void preferencesOfTheWrongType_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("toggle: string reads as true")
            << u"togglesCapsLockOnDoubleTap"_s << QVariant(u"no"_s) << true;
        QTest::newRow("toggle: false") << u"togglesCapsLockOnDoubleTap"_s << QVariant(false) << false;
        QTest::newRow("enabled: integer 0 reads as false")
            << u"hyperKeyEnabled"_s << QVariant(qint64(0)) << false;
        QTest::newRow("escape: string reads as false")
            << u"sendsEscapeWhenTapped"_s << QVariant(u"yes"_s) << false;
    }

    void preferencesOfTheWrongType()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(bool, expected);
        ModelHarness h;
        h.defaults->setValue(key, stored);
        AppModel& model = h.build();
        const bool read = key == u"togglesCapsLockOnDoubleTap"_s ? model.togglesCapsLockOnDoubleTap()
                          : key == u"hyperKeyEnabled"_s          ? model.isHyperKeyEnabled()
                                                                 : model.sendsEscapeWhenTapped();
        QCOMPARE(read, expected);
    }

    // MARK: - Preference setters

    void settersWriteTheScopedKey()
    {
        ModelHarness h;
        *h.profilesFile =
            ProfilesFile{{Profile{Profile::defaultID(), u"Default"_s}, Profile{workID, u"Work"_s}}, workID};
        h.defaults->setBoolean(u"showsNumberRow"_s, false);
        AppModel& model = h.build();
        QSignalSpy changed(&model, &AppModel::showsNumberRowChanged);
        model.setShowsNumberRow(true);
        model.setShowsNumberRow(true);
        QCOMPARE(changed.count(), 1);
        const QString scoped = u"showsNumberRow."_s + CanonicalUuid::format(workID);
        QCOMPARE(h.defaults->value(scoped), QVariant(true));
        QCOMPARE(h.defaults->value(u"showsNumberRow"_s), QVariant(false));

        model.setCyclesAcrossDesktops(true);
        QCOMPARE(h.defaults->value(u"switchesWindowsViaScripting."_s + CanonicalUuid::format(workID)),
                 QVariant(true));
    }

    void disablingTheHyperKeyTwiceStopsOnce()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.start();
        QVERIFY(h.eventTap->isRunning());
        QSignalSpy changed(&model, &AppModel::isHyperKeyEnabledChanged);

        model.setHyperKeyEnabled(false);
        QVERIFY(!h.eventTap->isRunning());
        QCOMPARE(h.eventTap->stops, 1);
        QCOMPARE(h.defaults->value(u"hyperKeyEnabled"_s), QVariant(false));

        h.defaults->remove(u"hyperKeyEnabled"_s);
        model.setHyperKeyEnabled(false);
        QCOMPARE(h.eventTap->stops, 1);
        QVERIFY(!h.defaults->contains(u"hyperKeyEnabled"_s));
        QCOMPARE(changed.count(), 1);

        model.setHyperKeyEnabled(true);
        QVERIFY(h.eventTap->isRunning());
    }

    // MARK: - Setup issues

    void setupIssues_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<bool>("remappedBySystem");
        QTest::addColumn<bool>("shortcutOff");
        QTest::addColumn<bool>("secureInput");
        QTest::addColumn<bool>("mailOnMenuKey");
        QTest::addColumn<QList<SetupIssue>>("issues");
        using I = SetupIssue;
        QTest::newRow("none") << true << true << false << false << false << false << QList<SetupIssue>{};
        QTest::newRow("off hides the permission") << false << false << true << true << true << false
                                                  << QList{I::hyperKeyOff(), I::secureInputBlocked()};
        QTest::newRow("all system conditions")
            << true << false << true << true << true << false
            << QList{I::accessibilityMissing(), I::capsLockRemappedBySystem(), I::nextWindowShortcutOff(),
                     I::secureInputBlocked()};
        QTest::newRow("shadowed menu key before secure input")
            << true << true << false << false << true << true
            << QList{I::menuKeyShadowed(u"Mail"_s), I::secureInputBlocked()};
        QTest::newRow("shadowed menu key after off")
            << false << true << false << false << false << true
            << QList{I::hyperKeyOff(), I::menuKeyShadowed(u"Mail"_s)};
    }

    void setupIssues()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, granted);
        QFETCH(bool, remappedBySystem);
        QFETCH(bool, shortcutOff);
        QFETCH(bool, secureInput);
        QFETCH(bool, mailOnMenuKey);
        QFETCH(QList<SetupIssue>, issues);
        ModelHarness h;
        h.defaults->setBoolean(u"hyperKeyEnabled"_s, enabled);
        if (mailOnMenuKey)
            writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                          {bindingOn(36, u"↩"_s, u"com.apple.mail"_s, u"Mail"_s)});
        AppModel& model = h.build();
        h.permissions->granted = granted;
        h.remapper->remappedBySystem = remappedBySystem;
        h.system->nextWindowShortcutOff = shortcutOff;
        h.system->secureInput = secureInput;
        model.refreshSetupStatus();
        QCOMPARE(model.setupIssues(), issues);
    }

    void refreshNotifiesOnlyOnChange()
    {
        ModelHarness h;
        AppModel& model = h.build();
        QSignalSpy secure(&model, &AppModel::isSecureInputBlockedChanged);
        QSignalSpy permission(&model, &AppModel::permissionStatusChanged);
        model.refreshSetupStatus();
        QCOMPARE(secure.count(), 0);
        h.system->secureInput = true;
        h.permissions->granted = false;
        model.refreshSetupStatus();
        model.refreshSetupStatus();
        QCOMPARE(secure.count(), 1);
        QCOMPARE(permission.count(), 1);
    }

    // MARK: - Polls

    void permissionPollRunsOnceAndStartsTheEngine()
    {
        ModelHarness h;
        h.permissionGranted = false;
        AppModel& model = h.build();
        model.start();
        QVERIFY(model.hasPermissionPoll());
        QVERIFY(!h.eventTap->isRunning());
        QCOMPARE(h.remapper->calls, QStringList{u"remove"_s}); // the leftover remap only; no apply

        QSignalSpy polls(&model, &AppModel::permissionPollTaskChanged);
        model.schedulePermissionPollIfNeeded();
        QCOMPARE(polls.count(), 0);

        h.permissions->granted = true;
        QTRY_VERIFY(h.eventTap->isRunning());
        QVERIFY(!model.hasPermissionPoll());
        QCOMPARE(h.eventTap->starts, 1);
        QVERIFY(model.permissionStatus().accessibilityGranted);
    }

    void noPermissionPollWhileTheHyperKeyIsOff()
    {
        ModelHarness h;
        h.defaults->setBoolean(u"hyperKeyEnabled"_s, false);
        h.permissionGranted = false;
        AppModel& model = h.build();
        model.start();
        model.schedulePermissionPollIfNeeded();
        QVERIFY(!model.hasPermissionPoll());
        QCOMPARE(h.eventTap->starts, 0);
    }

    void secureInputPollChecksAtOnceThenKeepsWatching()
    {
        ModelHarness h;
        h.system->secureInput = true;
        AppModel& model = h.build();
        model.startSecureInputWatch();
        QVERIFY(model.isSecureInputBlocked());
        h.system->secureInput = false;
        QTRY_VERIFY(!model.isSecureInputBlocked());
        model.stopSecureInputWatch();
        QVERIFY(!model.hasSecureInputPoll());
    }

    // MARK: - Engine

    void engineStartsOnceAndRefusalFallsBackToThePoll()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.startEngineIfPossible();
        model.startEngineIfPossible();
        QCOMPARE(h.eventTap->starts, 1);
        QCOMPARE(h.remapper->calls, QStringList{u"apply"_s});

        model.stopEngine();
        QCOMPARE(h.remapper->calls.last(), u"remove"_s);
        h.eventTap->startSucceeds = false;
        model.startEngineIfPossible();
        QCOMPARE(h.remapper->calls, (QStringList{u"apply"_s, u"remove"_s, u"apply"_s, u"remove"_s}));
        QVERIFY(model.hasPermissionPoll());
        model.stopEngine();
        QVERIFY(!model.hasPermissionPoll());
    }

    void aJumpEndToEnd()
    {
        ModelHarness h;
        const KeyBinding safari = bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s);
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()), {safari});
        AppModel& model = h.build();
        model.start();
        QSignalSpy jumps(&model, &AppModel::lastJumpChanged);

        QCOMPARE(h.eventTap->feed(trigger, RawKeyEventKind::keyDown), HyperKeyDisposition::suppress());
        QCOMPARE(h.eventTap->feed(keyS, RawKeyEventKind::keyDown),
                 HyperKeyDisposition::perform(HyperKeyAction::activate(u"com.apple.Safari"_s)));
        // The key event is answered before anything happens.
        QVERIFY(!model.isHyperKeyHeld());
        QVERIFY(h.activator->requests.isEmpty());

        QTest::ignoreMessage(QtInfoMsg, "com.apple.Safari: activated");
        QTRY_COMPARE(jumps.count(), 1);
        QVERIFY(model.isHyperKeyHeld());
        QCOMPARE(model.lastJump(), std::optional(AppModel::Jump{u"com.apple.Safari"_s, 1}));
        QCOMPARE(model.bindings().first().jumps, 1);
        QCOMPARE(h.jumpCounts->value(CanonicalUuid::format(safari.id)), 1);
        QCOMPARE(h.eventTap->feed(keyS, RawKeyEventKind::keyUp), HyperKeyDisposition::suppress());

        // The same application again: a new value, so observers see it.
        h.activator->outcomes.insert(u"com.apple.Safari"_s, ActivationOutcome::cycledToNextWindow());
        QTest::ignoreMessage(QtInfoMsg, "com.apple.Safari: cycledToNextWindow");
        h.eventTap->feed(keyS, RawKeyEventKind::keyDown);
        QTRY_COMPARE(jumps.count(), 2);
        QCOMPARE(model.lastJump()->number, 2);
        QCOMPARE(h.jumpCounts->value(CanonicalUuid::format(safari.id)), 2);

        h.eventTap->feed(trigger, RawKeyEventKind::keyUp);
        QTRY_VERIFY(!model.isHyperKeyHeld());
    }

    void aFailedJumpChangesNothing()
    {
        ModelHarness h;
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                      {bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s)});
        AppModel& model = h.build();
        h.activator->outcomes.insert(u"com.apple.Safari"_s, ActivationOutcome::failed(u"not installed"_s));
        QSignalSpy bindings(&model, &AppModel::bindingsChanged);
        QTest::ignoreMessage(QtCriticalMsg, "could not activate com.apple.Safari: not installed");
        model.perform(HyperKeyAction::activate(u"com.apple.Safari"_s));
        QTRY_COMPARE(h.activator->requests.size(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!model.lastJump());
        QCOMPARE(bindings.count(), 0);
        QCOMPARE(*h.jumpCountSaves, 0);
    }

    void aJumpFromTheKeyboardViewIsNotCounted()
    {
        ModelHarness h;
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                      {bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s)});
        AppModel& model = h.build();
        model.setCyclesAcrossDesktops(true);
        QTest::ignoreMessage(QtInfoMsg, "com.apple.Safari: launched");
        h.activator->outcomes.insert(u"com.apple.Safari"_s, ActivationOutcome::launched());
        model.activate(u"com.apple.Safari"_s, false);
        QTRY_VERIFY(model.lastJump());
        QCOMPARE(h.activator->requests.first(), std::pair(u"com.apple.Safari"_s, true));
        QCOMPARE(model.bindings().first().jumps, 0);
        QCOMPARE(*h.jumpCountSaves, 0);
    }

    void overlappingJumpsNumberInOrderOfArrival()
    {
        ModelHarness h;
        AppModel& model = h.build();
        h.activator->holdsOutcomes = true;
        model.activate(u"a"_s, true);
        model.activate(u"b"_s, true);
        QTRY_COMPARE(h.activator->held.size(), 2);
        QTest::ignoreMessage(QtInfoMsg, "a: activated");
        QTest::ignoreMessage(QtInfoMsg, "b: activated");
        h.activator->releaseAll();
        QTRY_COMPARE(model.lastJump(), std::optional(AppModel::Jump{u"b"_s, 2}));
    }

    void aJumpThatOutlivesTheModelDoesNothing()
    {
        ModelHarness h;
        AppModel& model = h.build();
        h.activator->holdsOutcomes = true;
        model.activate(u"a"_s, true);
        QTRY_COMPARE(h.activator->held.size(), 1);
        const std::shared_ptr<QPromise<ActivationOutcome>> promise = h.activator->held.first().first;
        h.model.reset();
        promise->addResult(ActivationOutcome::activated());
        promise->finish();
        QCoreApplication::processEvents();
    }

    void otherActionsReachTheirHandlers()
    {
        ModelHarness h;
        AppModel& model = h.build();
        int menus = 0;
        model.perform(HyperKeyAction::toggleLayout()); // nothing installed yet: nothing happens
        model.setShowMenu([&] { ++menus; });
        QTest::ignoreMessage(QtInfoMsg, "menu key: showing the window");
        model.perform(HyperKeyAction::showMenu());
        QTest::ignoreMessage(QtInfoMsg, "double tap: toggling Caps Lock");
        model.perform(HyperKeyAction::toggleCapsLock());
        QCOMPARE(menus, 1);
        QCOMPARE(h.remapper->calls, QStringList{u"toggle"_s});
    }

    void tapSettingsReachTheRunningEngine()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.start();
        h.eventTap->feed(trigger, RawKeyEventKind::keyDown);
        QCOMPARE(h.eventTap->feed(trigger, RawKeyEventKind::keyUp), HyperKeyDisposition::suppress());
        model.setSendsEscapeWhenTapped(true);
        h.system->clock = 200.0; // far from the last tap: no double tap
        h.eventTap->feed(trigger, RawKeyEventKind::keyDown);
        QCOMPARE(h.eventTap->feed(trigger, RawKeyEventKind::keyUp), HyperKeyDisposition::sendEscape());
        QCOMPARE(h.eventTap->starts, 1);
    }

    void lookupChangesReachTheRunningEngine()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.start();
        h.eventTap->feed(trigger, RawKeyEventKind::keyDown);
        QCOMPARE(h.eventTap->feed(keyS, RawKeyEventKind::keyDown), HyperKeyDisposition::passThroughAsHyper());
        model.setBinding(BoundKey{keyS, u"S"_s}, AppInfo{u"com.apple.Safari"_s, u"Safari"_s, {}});
        QCOMPARE(h.eventTap->feed(keyS, RawKeyEventKind::keyDown),
                 HyperKeyDisposition::perform(HyperKeyAction::activate(u"com.apple.Safari"_s)));
    }

    void stoppingWhileHeldClearsTheHoldAtOnce()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.start();
        h.eventTap->feed(trigger, RawKeyEventKind::keyDown);
        QTRY_VERIFY(model.isHyperKeyHeld());
        model.stopEngine();
        QVERIFY(!model.isHyperKeyHeld());
        QVERIFY(!h.eventTap->isRunning());
    }

    void theEngineHoldsTheModelWeakly()
    {
        ModelHarness h;
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                      {bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s)});
        h.defaults->setBoolean(u"sendsEscapeWhenTapped"_s, true);
        h.build().start();
        const HyperKeyEventTapPort::Handler handler = h.eventTap->handler;
        h.model.reset();

        handler(RawKeyEvent{trigger, RawKeyEventKind::keyDown, false});
        QCOMPARE(handler(RawKeyEvent{keyS, RawKeyEventKind::keyDown, false}),
                 HyperKeyDisposition::passThroughAsHyper());
        handler(RawKeyEvent{keyS, RawKeyEventKind::keyUp, false});
        handler(RawKeyEvent{trigger, RawKeyEventKind::keyUp, false});
        // A tap alone: the escape setting reads as off once the model is gone.
        handler(RawKeyEvent{trigger, RawKeyEventKind::keyDown, false});
        QCOMPARE(handler(RawKeyEvent{trigger, RawKeyEventKind::keyUp, false}),
                 HyperKeyDisposition::suppress());
        QCoreApplication::processEvents(); // posted work finds no model and does nothing
    }

    void keyEventsFromAnotherThreadReachTheModel()
    {
        ModelHarness h;
        writeBindings(h.locations().bindingsFolder(Profile::defaultID()),
                      {bindingOn(keyS, u"S"_s, u"com.apple.Safari"_s, u"Safari"_s)});
        AppModel& model = h.build();
        model.start();
        QList<HyperKeyDisposition> answers;
        std::unique_ptr<QThread> keyboard(QThread::create([&] {
            answers.append(h.eventTap->feed(trigger, RawKeyEventKind::keyDown));
            for (int i = 0; i < 50; ++i) {
                answers.append(h.eventTap->feed(keyS, RawKeyEventKind::keyDown));
                answers.append(h.eventTap->feed(keyS, RawKeyEventKind::keyUp));
            }
        }));
        keyboard->start();
        // The main thread keeps rebuilding the table the keyboard thread reads.
        for (int i = 0; i < 50; ++i)
            model.setMenuKey(BoundKey{PhysicalKeyCode(40 + i % 2), u"K"_s});
        QVERIFY(keyboard->wait(5000));
        QCOMPARE(answers.size(), 101);
        QCOMPARE(answers[1], HyperKeyDisposition::perform(HyperKeyAction::activate(u"com.apple.Safari"_s)));
        for (int i = 0; i < 50; ++i)
            QTest::ignoreMessage(QtInfoMsg, "com.apple.Safari: activated");
        QTRY_COMPARE(model.lastJump().value_or(AppModel::Jump{}).number, 50);
        QVERIFY(model.isHyperKeyHeld());
    }
};

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_appmodel.moc"
