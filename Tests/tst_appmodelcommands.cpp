#include "PortDoubles.h"

#include "AppCopy.h"
#include "AppModelFactory.h"
#include "Logic/CanonicalUuid.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QUuid workID = QUuid(u"8D2F6A0C-1B7E-4C2A-9F3D-5E6B7A8C9D0E"_s);
const AppInfo safari{u"com.apple.Safari"_s, u"Safari"_s, {}};
const AppInfo mail{u"com.apple.mail"_s, u"Mail"_s, {}};
const AppInfo notes{u"com.apple.Notes"_s, u"Notes"_s, {}};
const BoundKey keyS{1, u"S"_s};
const BoundKey keyM{46, u"M"_s};
const BoundKey keyN{45, u"N"_s};

KeyBinding bindingOn(const BoundKey& key, const AppInfo& app)
{
    return KeyBinding{QUuid::createUuid(),
                      key,
                      app.bundleIdentifier,
                      app.name,
                      QDateTime::fromSecsSinceEpoch(1740000000, Qt::UTC),
                      0};
}

QStringList fileNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QStringList bundleIdentifiers(const QList<KeyBinding>& bindings)
{
    QStringList identifiers;
    for (const KeyBinding& binding : bindings)
        identifiers.append(binding.bundleIdentifier);
    return identifiers;
}

} // namespace

class TestAppModelCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { AppCopy::install(); }

    // MARK: - Bindings

    void bindingTheSameApplicationAgainWritesNothing()
    {
        ModelHarness h;
        const KeyBinding existing = bindingOn(keyS, safari);
        KeyBindingFileStore(h.locations().bindingsFolder(Profile::defaultID())).save({existing});
        h.jumpCounts->insert(CanonicalUuid::format(existing.id), 4);
        AppModel& model = h.build();
        QSignalSpy changed(&model, &AppModel::bindingsChanged);
        model.setBinding(keyS, safari);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!h.storeLog->join(u'\n').contains(u"save"_s));
        QCOMPARE(model.bindings().first().id, existing.id);
        QCOMPARE(model.bindings().first().jumps, 4);
    }

    void bindingAnotherApplicationReplacesTheBinding()
    {
        ModelHarness h;
        const KeyBinding existing = bindingOn(keyS, safari);
        const QString folder = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(folder).save({existing});
        h.jumpCounts->insert(CanonicalUuid::format(existing.id), 4);
        AppModel& model = h.build();
        model.setBinding(keyS, mail);
        QCOMPARE(model.bindings().size(), 1);
        const KeyBinding replaced = model.bindings().first();
        QVERIFY(replaced.id != existing.id);
        QCOMPARE(replaced.jumps, 0);
        QCOMPARE(replaced.appName, u"Mail"_s);
        QCOMPARE(model.bindingLookup().value(keyS.keyCode), HyperKeyAction::activate(mail.bundleIdentifier));
        QCOMPARE(KeyBindingFileStore(folder).load(), QList{replaced});
    }

    void moves()
    {
        ModelHarness h;
        const QString folder = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(folder).save({bindingOn(keyS, safari)});
        AppModel& model = h.build();

        model.moveBinding(keyS.keyCode, keyM);
        QCOMPARE(fileNames(folder), QStringList{u"46.json"_s});
        QCOMPARE(model.bindings().first().key, keyM);
        QVERIFY(!model.bindingLookup().contains(keyS.keyCode));

        h.storeLog->clear();
        model.moveBinding(keyS.keyCode, keyN); // nothing on S any more
        model.moveBinding(keyM.keyCode, keyM);
        QCOMPARE(*h.storeLog, QStringList{});
    }

    void removalRewritesTheCountsOnlyWhenACountExisted()
    {
        ModelHarness h;
        const QString folder = h.locations().bindingsFolder(Profile::defaultID());
        const KeyBinding counted = bindingOn(keyS, safari);
        const KeyBinding uncounted = bindingOn(keyM, mail);
        KeyBindingFileStore(folder).save({counted, uncounted});
        h.jumpCounts->insert(CanonicalUuid::format(counted.id), 3);
        AppModel& model = h.build();

        model.removeBinding(uncounted.id);
        QCOMPARE(*h.jumpCountSaves, 0);
        QCOMPARE(fileNames(folder), QStringList{u"1.json"_s});

        model.removeBinding(counted.id);
        QCOMPARE(*h.jumpCountSaves, 1);
        QVERIFY(h.jumpCounts->isEmpty());
        QVERIFY(model.jumpCounts().isEmpty());
        QVERIFY(fileNames(folder).isEmpty());

        model.removeBinding(QUuid::createUuid());
        QCOMPARE(*h.jumpCountSaves, 1);
    }

    void menuAndLayoutKeys()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.setBinding(keyS, safari);
        model.setLayoutKey(keyS); // shadowed by the binding, which keeps the key
        QCOMPARE(model.bindingLookup().value(keyS.keyCode),
                 HyperKeyAction::activate(safari.bundleIdentifier));
        model.setMenuKey(keyN);
        QCOMPARE(model.bindingLookup().value(keyN.keyCode), HyperKeyAction::showMenu());
        QVERIFY(!model.bindingLookup().contains(36));
        QCOMPARE(h.build().menuKey(), std::optional(keyN));
        QCOMPARE(h.model->layoutKey(), std::optional(keyS));
    }

    void onboarding()
    {
        ModelHarness h;
        AppModel& model = h.build();
        model.completeOnboarding({});
        QVERIFY(model.hasCompletedOnboarding());
        QCOMPARE(h.defaults->value(u"hasCompletedOnboarding"_s), QVariant(true));
        QVERIFY(model.bindings().isEmpty());

        model.completeOnboarding({SuggestedBinding{safari, keyS}, SuggestedBinding{mail, keyM}});
        QCOMPARE(bundleIdentifiers(model.bindings()),
                 (QStringList{mail.bundleIdentifier, safari.bundleIdentifier}));
    }

    void imports_data()
    {
        QTest::addColumn<bool>("replacingAll");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("apps");
        QTest::newRow("keep others") << false << QStringList{u"1.json"_s, u"45.json"_s}
                                     << QStringList{notes.bundleIdentifier, mail.bundleIdentifier};
        QTest::newRow("replace all") << true << QStringList{u"1.json"_s}
                                     << QStringList{mail.bundleIdentifier};
    }

    void imports()
    {
        QFETCH(bool, replacingAll);
        QFETCH(QStringList, files);
        QFETCH(QStringList, apps);
        ModelHarness h;
        const QString folder = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(folder).save({bindingOn(keyS, safari), bindingOn(keyN, notes)});
        AppModel& model = h.build();
        const KeyBinding imported = bindingOn(keyS, mail);
        model.importBindings({imported}, replacingAll);
        QCOMPARE(bundleIdentifiers(model.bindings()), apps);
        QCOMPARE(fileNames(folder), files);
        QVERIFY(model.bindings().contains(imported));
        QCOMPARE(model.bindingLookup().value(keyS.keyCode), HyperKeyAction::activate(mail.bundleIdentifier));
    }

    void anOutsideChangeReloadsWithCounts()
    {
        ModelHarness h;
        const KeyBinding arrived = bindingOn(keyS, safari);
        h.jumpCounts->insert(CanonicalUuid::format(arrived.id), 9);
        AppModel& model = h.build();
        model.start();
        KeyBindingFileStore(h.store().folder).save({arrived});
        QSignalSpy changed(&model, &AppModel::bindingsChanged);
        h.store().callback();
        QVERIFY(model.bindings().isEmpty()); // reloads on a later turn, never inside the callback
        QTRY_COMPARE(changed.count(), 1);
        QCOMPARE(model.bindings().first().id, arrived.id);
        QCOMPARE(model.bindings().first().jumps, 9);
        QCOMPARE(model.bindingLookup().value(keyS.keyCode),
                 HyperKeyAction::activate(safari.bundleIdentifier));
    }

    // MARK: - Profiles

    void createProfileCopiesTheActiveOne()
    {
        ModelHarness h;
        const QString plain = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(plain).save(
            {bindingOn(keyS, safari), bindingOn(keyM, mail), bindingOn(keyN, notes)});
        h.defaults->setBoolean(u"showsNumberRow"_s, true);
        AppModel& model = h.build();
        model.createProfile();

        const Profile created = model.activeProfile();
        QCOMPARE(created.name, u"Default Copy"_s);
        QVERIFY(created.id != Profile::defaultID());
        QCOMPARE(model.profiles().last(), created);
        QCOMPARE((*h.profilesFile)->profiles.last(), created);
        QCOMPARE((*h.profilesFile)->activeID, created.id);
        QCOMPARE(model.bindings().size(), 3);
        QCOMPARE(fileNames(h.locations().bindingsFolder(created.id)), fileNames(plain));
        QVERIFY(model.showsNumberRow());
        QCOMPARE(h.defaults->value(u"showsNumberRow."_s + CanonicalUuid::format(created.id)), QVariant(true));
        QVERIFY(
            !h.defaults->contains(u"menuKey."_s + CanonicalUuid::format(created.id))); // absent stays absent
    }

    void switchingProfilesFollowsTheirHyperKeySetting()
    {
        ModelHarness h;
        *h.profilesFile = ProfilesFile{
            {Profile{Profile::defaultID(), u"Default"_s}, Profile{workID, u"Work"_s}}, Profile::defaultID()};
        h.defaults->setBoolean(u"hyperKeyEnabled."_s + CanonicalUuid::format(workID), false);
        KeyBindingFileStore(h.locations().bindingsFolder(workID)).save({bindingOn(keyM, mail)});
        AppModel& model = h.build();
        model.start();
        QVERIFY(h.eventTap->isRunning());

        model.switchToProfile(workID);
        QCOMPARE(model.activeProfile().id, workID);
        QVERIFY(!model.isHyperKeyEnabled());
        QVERIFY(!h.eventTap->isRunning());
        QCOMPARE(bundleIdentifiers(model.bindings()), QStringList{mail.bundleIdentifier});
        QCOMPARE(model.bindingLookup().value(keyM.keyCode), HyperKeyAction::activate(mail.bundleIdentifier));
        QCOMPARE((*h.profilesFile)->activeID, workID);
        QVERIFY(h.storeLog->contains(u"unwatch "_s + h.locations().bindingsFolder(Profile::defaultID())));

        model.switchToProfile(Profile::defaultID());
        QVERIFY(h.eventTap->isRunning());
        QCOMPARE(h.eventTap->starts, 2);

        h.storeLog->clear();
        model.switchToProfile(Profile::defaultID());
        model.switchToProfile(QUuid::createUuid());
        QCOMPARE(*h.storeLog, QStringList{});
    }

    void renameProfile()
    {
        ModelHarness h;
        AppModel& model = h.build();
        QSignalSpy active(&model, &AppModel::activeProfileChanged);
        model.renameProfile(Profile::defaultID(), u"Home"_s);
        QCOMPARE(model.activeProfile().name, u"Home"_s);
        QCOMPARE(model.profiles().first().name, u"Home"_s);
        QCOMPARE((*h.profilesFile)->profiles.first().name, u"Home"_s);
        QCOMPARE(active.count(), 1);
        model.renameProfile(QUuid::createUuid(), u"Nobody"_s);
        QCOMPARE(model.profiles().size(), 1);
    }

    void deleteTheActiveProfile()
    {
        ModelHarness h;
        *h.profilesFile =
            ProfilesFile{{Profile{Profile::defaultID(), u"Default"_s}, Profile{workID, u"Work"_s}}, workID};
        const QString workFolder = h.locations().bindingsFolder(workID);
        KeyBindingFileStore(workFolder).save({bindingOn(keyM, mail)});
        KeyBindingFileStore(h.locations().bindingsFolder(Profile::defaultID()))
            .save({bindingOn(keyS, safari)});
        const QString scoped = u"showsSymbolRow."_s + CanonicalUuid::format(workID);
        h.defaults->setBoolean(scoped, true);
        AppModel& model = h.build();
        QVERIFY(model.showsSymbolRow());

        model.deleteProfile(workID);
        QCOMPARE(model.activeProfile().id, Profile::defaultID());
        QCOMPARE(model.profiles().size(), 1);
        QCOMPARE((*h.profilesFile)->profiles.size(), 1);
        QCOMPARE((*h.profilesFile)->activeID, Profile::defaultID());
        QCOMPARE(bundleIdentifiers(model.bindings()), QStringList{safari.bundleIdentifier});
        QVERIFY(!model.showsSymbolRow());
        QVERIFY(!QFileInfo::exists(workFolder));
        QVERIFY(!h.defaults->contains(scoped));

        model.deleteProfile(Profile::defaultID()); // the last one stays
        QCOMPARE(model.profiles().size(), 1);
        QVERIFY(QFileInfo::exists(h.locations().bindingsFolder(Profile::defaultID())));
    }

    void aRepeatedIdIsStillTheLastProfile()
    {
        ModelHarness h;
        const Profile work{workID, u"Work"_s};
        *h.profilesFile = ProfilesFile{{work, work}, workID};
        const QString workFolder = h.locations().bindingsFolder(workID);
        KeyBindingFileStore(workFolder).save({bindingOn(keyM, mail)});
        AppModel& model = h.build();
        model.deleteProfile(workID);
        QCOMPARE(model.profiles(), (QList{work, work}));
        QCOMPARE((*h.profilesFile)->profiles.size(), 2);
        QCOMPARE(fileNames(workFolder), QStringList{u"46.json"_s});
    }

    // MARK: - Synchronisation

    void choosingICloudAgainDoesNothing()
    {
        ModelHarness h;
        h.defaults->setString(u"syncMode"_s, u"iCloud"_s);
        AppModel& model = h.build();
        bool asked = false;
        model.setFolderChooser([&] {
            asked = true;
            return std::optional<QString>();
        });
        QCOMPARE(model.syncMode(), SyncMode::iCloud);
        model.setSync(SyncMode::iCloud);
        QVERIFY(!asked);
        QVERIFY(!model.pendingCloudFiles());
    }

    void aCancelledFolderChoiceChangesNothing()
    {
        ModelHarness h;
        h.defaults->setString(u"syncMode"_s, u"custom"_s);
        AppModel& model = h.build();
        int asked = 0;
        model.setFolderChooser([&] {
            ++asked;
            return std::optional<QString>();
        });
        model.setSync(SyncMode::custom);
        QCOMPARE(asked, 1); // custom again means: change the folder
        QCOMPARE(h.defaults->string(u"syncMode"_s), std::optional(u"custom"_s));
        QVERIFY(!h.defaults->contains(u"syncFolderPath"_s));
        QCOMPARE(model.locations(), h.locations());
    }

    void switchingToAnEmptyFolderAsksNothing()
    {
        ModelHarness h;
        const QString shared = h.dir.filePath(u"shared"_s);
        QDir().mkpath(shared);
        KeyBindingFileStore(h.locations().bindingsFolder(Profile::defaultID()))
            .save({bindingOn(keyS, safari)});
        AppModel& model = h.build();
        model.setFolderChooser([&] { return std::optional(shared); });
        model.setSync(SyncMode::custom);
        QVERIFY(!model.pendingCloudFiles());
        QTRY_COMPARE(model.locations().portable, shared);
        QCOMPARE(model.syncMode(), SyncMode::custom);
        QCOMPARE(model.syncFolder(), std::optional(shared));
        QVERIFY(model.isSyncAvailable());
        QCOMPARE(h.store().folder, QDir(shared).filePath(u"bindings"_s));
        QCOMPARE(bundleIdentifiers(model.bindings()), QStringList{safari.bundleIdentifier});
    }

    void aFolderHoldingBindingsAsksFirst_data()
    {
        QTest::addColumn<int>("answer"); // 0 adopt, 1 replace, 2 cancel
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("adopt") << 0 << QStringList{mail.bundleIdentifier};
        QTest::newRow("replace") << 1 << QStringList{safari.bundleIdentifier};
        QTest::newRow("cancel") << 2 << QStringList{safari.bundleIdentifier};
    }

    void aFolderHoldingBindingsAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        ModelHarness h;
        const QString shared = h.dir.filePath(u"shared"_s);
        const QString localFolder = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(localFolder).save({bindingOn(keyS, safari)});
        KeyBindingFileStore(QDir(shared).filePath(u"bindings"_s)).save({bindingOn(keyM, mail)});
        AppModel& model = h.build();
        model.start();
        model.setFolderChooser([&] { return std::optional(shared); });

        model.setSync(SyncMode::custom);
        QCOMPARE(model.pendingCloudFiles(), std::optional(QStringList{u"bindings"_s}));
        QVERIFY(!h.defaults->contains(u"syncMode"_s));
        QCOMPARE(model.syncMode(), SyncMode::off);

        if (answer == 2) {
            model.cancelSync();
            QVERIFY(!model.pendingCloudFiles());
            model.confirmSync(SyncStart::adoptCloud); // without a pending switch: iCloud, unavailable here
            QTRY_VERIFY(h.defaults->string(u"syncMode"_s) == std::optional(u"iCloud"_s));
            QTRY_COMPARE(model.syncMode(), SyncMode::iCloud);
            QVERIFY(!model.isSyncAvailable());
            QCOMPARE(model.locations(), h.locations());
        } else {
            model.confirmSync(answer == 0 ? SyncStart::adoptCloud : SyncStart::replaceCloud);
            QVERIFY(!model.pendingCloudFiles());
            QTRY_COMPARE(model.locations().portable, shared);
            QCOMPARE(model.syncMode(), SyncMode::custom);
            QVERIFY(h.storeLog->contains(u"unwatch "_s + localFolder));
            QCOMPARE(h.store().folder, QDir(shared).filePath(u"bindings"_s));
            const QStringList setAside =
                QDir(shared).entryList({u"bindings (replaced *)"_s}, QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(setAside.size(), answer == 1 ? 1 : 0);
        }
        QCOMPARE(bundleIdentifiers(model.bindings()), shown);
    }

    void switchingOffCopiesBack()
    {
        ModelHarness h;
        const QString shared = h.dir.filePath(u"shared"_s);
        const QString localFolder = h.locations().bindingsFolder(Profile::defaultID());
        KeyBindingFileStore(localFolder).save({bindingOn(keyS, safari)});
        KeyBindingFileStore(QDir(shared).filePath(u"bindings"_s)).save({bindingOn(keyM, mail)});
        h.defaults->setString(u"syncMode"_s, u"custom"_s);
        h.defaults->setString(u"syncFolderPath"_s, shared);
        AppModel& model = h.build();
        model.setFolderChooser([] { return std::optional<QString>(); });
        model.start();
        model.setSync(SyncMode::off);
        QTRY_COMPARE(model.syncMode(), SyncMode::off);
        QCOMPARE(h.store().folder, localFolder);
        QCOMPARE(bundleIdentifiers(model.bindings()), QStringList{mail.bundleIdentifier});
        QCOMPARE(fileNames(QDir(shared).filePath(u"bindings"_s)), QStringList{u"46.json"_s}); // copies only
    }

    // MARK: - Factory

    void theFactoryBuildsAFreshInstallation()
    {
        QTemporaryDir dir;
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        auto system = std::make_shared<FakeSystemValues>();
        PlatformAdapters adapters{std::make_shared<FakeInstalledApps>(), std::make_unique<FakeActivator>(),
                                  std::make_unique<FakePermissions>(),   std::make_unique<FakeRemapper>(),
                                  std::make_unique<FakeEventTap>(),      system};
        const std::unique_ptr<AppModel> model =
            AppModelFactory::make(std::move(adapters), defaults, {{u"JUMPLET_LOCAL_DIR"_s, dir.path()}});
        QCOMPARE(model->locations(), (Locations{dir.path(), dir.path()}));
        QVERIFY(QFile::exists(dir.filePath(u"profiles.json"_s)));
        QCOMPARE(model->activeProfile(), (Profile{Profile::defaultID(), u"Default"_s}));
        QVERIFY(!model->changelog().isEmpty());
        QCOMPARE(defaults->string(u"whatsNewSeenVersion"_s),
                 std::optional(model->changelog().first().version));
        model->setBinding(keyS, safari);
        QCOMPARE(fileNames(dir.filePath(u"bindings"_s)), QStringList{u"1.json"_s});
    }
};

QTEST_GUILESS_MAIN(TestAppModelCommands)
#include "tst_appmodelcommands.moc"
