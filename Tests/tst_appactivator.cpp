#include "AppKit/AppActivatorAdapter.h"
#include "CGEventTap/CGEventTapHyperKeyEngine.h"
#include "KeyLabel.h"
#include "Ports/InstalledAppsPort.h"
#include "Simulated/SimulatedAccessibility.h"
#include "Simulated/SimulatedJournal.h"
#include "Simulated/SimulatedPreferenceDomains.h"
#include "Simulated/SimulatedProcessRunner.h"
#include "Simulated/SimulatedQuartzEventServices.h"
#include "Simulated/SimulatedTextInputSources.h"
#include "Simulated/SimulatedWindowServer.h"
#include "Simulated/SimulatedWorkspace.h"
#include "TextInputSources/KeyLayoutTranslation.h"

#include <QtTest>

#include <thread>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ActivationOutcome)

namespace {

using Layout = QHash<PhysicalKeyCode, QString>;

const QString appId = u"com.example.editor"_s;
constexpr qint64 appPid = 11;
constexpr qint64 otherPid = 99;

class FakeCatalogue : public InstalledAppsPort {
public:
    QHash<QString, AppInfo> apps;
    QList<AppInfo> installedApplications() override { return apps.values(); }
    std::optional<AppInfo> appInfoForBundleIdentifier(const QString& id) override
    {
        const auto found = apps.constFind(id);
        return found == apps.constEnd() ? std::nullopt : std::optional<AppInfo>(*found);
    }
    void refresh() override {}
};

ProcessRunner::Result printed(int status, const QByteArray& output)
{
    ProcessRunner::Result result;
    result.started = true;
    result.exitStatus = status;
    result.standardOutput = output;
    return result;
}

QVariantMap hotKey(const QVariant& enabled, const QVariantList& parameters)
{
    QVariantMap entry{{u"value"_s, QVariantMap{{u"parameters"_s, parameters}, {u"type"_s, u"standard"_s}}}};
    if (enabled.isValid())
        entry.insert(u"enabled"_s, enabled);
    return QVariantMap{{u"27"_s, entry}};
}

struct Fixture {
    SimulatedJournal journal;
    SimulatedWorkspace workspace{&journal};
    SimulatedWindowServer windowServer;
    SimulatedAccessibility accessibility{&journal};
    SimulatedQuartzEventServices events;
    SimulatedPreferenceDomains preferences;
    SimulatedProcessRunner processes;
    SimulatedTextInputSources layout;
    FakeCatalogue catalogue;
    AppActivatorAdapter activator{catalogue,
                                  {workspace, windowServer, accessibility, events, preferences, processes},
                                  KeyLabel::keyCode};

    Fixture()
    {
        // A US layout for the keys the tests look at.
        layout.layout = QHash<PhysicalKeyCode, QString>{{12, u"q"_s}, {50, u"`"_s}, {53, u"\x1b"_s}};
        KeyLabel::installLayoutTranslation(KeyLayoutTranslation(layout));
    }
    ~Fixture() { KeyLabel::installLayoutTranslation({}); }

    std::shared_ptr<SimulatedRunningApplication> runningInFront()
    {
        windowServer.windows = QList<QVariantMap>{SimulatedWindowServer::window(appPid)};
        return workspace.addRunning(appId, appPid);
    }

    void setShortcut(const QVariantMap& hotKeys)
    {
        preferences.suites[u"com.apple.symbolichotkeys"_s] = {{u"AppleSymbolicHotKeys"_s, hotKeys}};
    }
};

ActivationOutcome outcomeOf(QFuture<ActivationOutcome> future)
{
    if (!QTest::qWaitFor([&] { return future.isFinished(); }, 5000))
        return ActivationOutcome::failed(u"timed out"_s);
    return future.result();
}

QString frontmost(qint64 pid)
{
    return u"set app %1 AXFrontmost true (timeout 1)"_s.arg(pid);
}

QString readFixture(const QString& name)
{
    QFile file(QStringLiteral(JUMPLET_TEST_DATA) + u"/cycle-scripts/"_s + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestAppActivator : public QObject {
    Q_OBJECT

private slots:
    void scriptsMatchTheirFixtures();
    void launchesWhatIsNotRunning_data();
    void launchesWhatIsNotRunning();
    void launchCompletionBringsTheApplicationForward();
    void launchErrorIsLoggedAndAGoneAdapterIsLeftAlone();
    void bringsForwardWhenNotFrontmost_data();
    void bringsForwardWhenNotFrontmost();
    void frontmostOwnerComesFromTheFirstNormalWindow_data();
    void frontmostOwnerComesFromTheFirstNormalWindow();
    void cyclesWithTheScript_data();
    void cyclesWithTheScript();
    void failedScriptFallsBackToTheShortcut_data();
    void failedScriptFallsBackToTheShortcut();
    void shortcutKeyFollowsTheLayout_data();
    void shortcutKeyFollowsTheLayout();
    void shortcutOffPressesTheMenuItem_data();
    void shortcutOffPressesTheMenuItem();
    void aCycleThatOutlivesTheAdapterStillFinishes();
};

void TestAppActivator::scriptsMatchTheirFixtures()
{
    const QString standard = readFixture(u"standard.applescript"_s);
    QVERIFY(!standard.isEmpty());
    QCOMPARE(AppActivatorAdapter::standardScriptedCycle(), standard);
    QCOMPARE(AppActivatorAdapter::scriptedCycles().keys(), QStringList{u"com.mitchellh.ghostty"_s});
    QCOMPARE(AppActivatorAdapter::scriptedCycles().value(u"com.mitchellh.ghostty"_s),
             readFixture(u"ghostty.applescript"_s));
}

void TestAppActivator::launchesWhatIsNotRunning_data()
{
    QTest::addColumn<QString>("workspacePath");
    QTest::addColumn<QString>("cataloguePath");
    QTest::addColumn<ActivationOutcome>("outcome");
    QTest::addColumn<QString>("opened");

    QTest::newRow("found by the workspace") << u"/Applications/Editor.app"_s << u"/Other/Editor.app"_s
                                            << ActivationOutcome::launched() << u"/Applications/Editor.app"_s;
    QTest::newRow("found by the catalogue") << QString() << u"/Developer/Editor.app"_s
                                            << ActivationOutcome::launched() << u"/Developer/Editor.app"_s;
    QTest::newRow("not found") << QString() << QString()
                               << ActivationOutcome::failed(u"app not found for com.example.editor"_s)
                               << QString();
}

void TestAppActivator::launchesWhatIsNotRunning()
{
    QFETCH(QString, workspacePath);
    QFETCH(QString, cataloguePath);
    QFETCH(ActivationOutcome, outcome);
    QFETCH(QString, opened);
    Fixture f;
    if (!workspacePath.isEmpty())
        f.workspace.applicationPaths.insert(appId, workspacePath);
    if (!cataloguePath.isEmpty())
        f.catalogue.apps.insert(appId, {appId, u"Editor"_s, cataloguePath});
    // A terminated instance counts as not running.
    f.workspace.addRunning(appId, appPid)->terminated = true;

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, true)), outcome);
    QCOMPARE(f.workspace.openRequests.size(), opened.isEmpty() ? 0 : 1);
    if (!opened.isEmpty()) {
        QCOMPARE(f.workspace.openRequests.first().path, opened);
        QVERIFY(f.workspace.openRequests.first().activates);
    }
}

void TestAppActivator::launchCompletionBringsTheApplicationForward()
{
    Fixture f;
    f.workspace.applicationPaths.insert(appId, u"/Applications/Editor.app"_s);
    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, false)), ActivationOutcome::launched());

    auto launched = std::make_shared<SimulatedRunningApplication>(appPid, &f.journal);
    launched->hidden = true;
    f.accessibility.application(appPid)->refusesSettingAttributes = true;
    std::thread([&] { f.workspace.openRequests.first().completion(launched, {}); }).join();
    QTRY_COMPARE(f.journal.entries().size(), 3);
    // Not unhidden; the refused frontmost flag is followed by activation.
    QCOMPARE(f.journal.entries(),
             (QStringList{u"open /Applications/Editor.app"_s, frontmost(appPid), u"activate 11"_s}));
}

void TestAppActivator::launchErrorIsLoggedAndAGoneAdapterIsLeftAlone()
{
    Fixture f;
    f.workspace.applicationPaths.insert(appId, u"/Applications/Editor.app"_s);
    auto adapter = std::make_unique<AppActivatorAdapter>(
        f.catalogue,
        AppActivatorAdapter::Services{f.workspace, f.windowServer, f.accessibility, f.events, f.preferences,
                                      f.processes},
        KeyLabel::keyCode);
    QCOMPARE(outcomeOf(adapter->activateOrCycle(appId, false)), ActivationOutcome::launched());
    QCOMPARE(outcomeOf(adapter->activateOrCycle(appId, false)), ActivationOutcome::launched());

    QTest::ignoreMessage(QtCriticalMsg, "failed to launch com.example.editor: The application is damaged.");
    std::thread([&] {
        f.workspace.openRequests[0].completion(nullptr, u"The application is damaged."_s);
    }).join();

    adapter.reset();
    auto launched = std::make_shared<SimulatedRunningApplication>(appPid, &f.journal);
    std::thread([&] { f.workspace.openRequests[1].completion(launched, {}); }).join();
    QCoreApplication::processEvents();
    QCOMPARE(f.journal.entries().size(), 2); // the two opens
}

void TestAppActivator::bringsForwardWhenNotFrontmost_data()
{
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("frontmostRefused");
    QTest::addColumn<bool>("activationRefused");
    QTest::addColumn<ActivationOutcome>("outcome");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("frontmost flag") << false << false << false << ActivationOutcome::activated()
                                    << QStringList{frontmost(appPid)};
    QTest::newRow("hidden: unhidden first") << true << false << false << ActivationOutcome::activated()
                                            << QStringList{u"unhide 11"_s, frontmost(appPid)};
    QTest::newRow("flag refused, activation agrees")
        << false << true << false << ActivationOutcome::activated()
        << QStringList{frontmost(appPid), u"activate 11"_s};
    QTest::newRow("both refused") << false << true << true
                                  << ActivationOutcome::failed(u"the system refused to bring it forward"_s)
                                  << QStringList{frontmost(appPid), u"activate 11"_s};
}

void TestAppActivator::bringsForwardWhenNotFrontmost()
{
    QFETCH(bool, hidden);
    QFETCH(bool, frontmostRefused);
    QFETCH(bool, activationRefused);
    QFETCH(ActivationOutcome, outcome);
    QFETCH(QStringList, calls);
    Fixture f;
    f.workspace.addRunning(appId, 10)->terminated = true;
    auto running = f.workspace.addRunning(appId, appPid);
    running->hidden = hidden;
    running->agreesToActivate = !activationRefused;
    f.accessibility.application(appPid)->refusesSettingAttributes = frontmostRefused;
    f.windowServer.windows =
        QList<QVariantMap>{SimulatedWindowServer::window(otherPid), SimulatedWindowServer::window(appPid)};

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, true)), outcome);
    QCOMPARE(f.journal.entries(), calls);
    QVERIFY(f.processes.calls().isEmpty());
}

void TestAppActivator::frontmostOwnerComesFromTheFirstNormalWindow_data()
{
    QTest::addColumn<std::optional<QList<QVariantMap>>>("windows");
    QTest::addColumn<bool>("cycles");

    using W = SimulatedWindowServer;
    QVariantMap noOwner = W::window(appPid);
    noOwner.remove(u"kCGWindowOwnerPID"_s);
    QVariantMap textLayer = W::window(otherPid);
    textLayer.insert(u"kCGWindowLayer"_s, u"0"_s);
    QVariantMap hugePid = W::window(0x100000000LL + appPid);

    QTest::newRow("ours in front") << std::optional(QList{W::window(appPid), W::window(otherPid)}) << true;
    QTest::newRow("panels above ours are skipped")
        << std::optional(QList{W::window(otherPid, 25), W::window(appPid)}) << true;
    QTest::newRow("non-integer layer skipped") << std::optional(QList{textLayer, W::window(appPid)}) << true;
    QTest::newRow("another in front")
        << std::optional(QList{W::window(otherPid), W::window(appPid)}) << false;
    QTest::newRow("owner missing") << std::optional(QList{noOwner, W::window(appPid)}) << false;
    QTest::newRow("owner beyond 32 bits") << std::optional(QList{hugePid}) << false;
    QTest::newRow("no window") << std::optional(QList<QVariantMap>()) << false;
    QTest::newRow("no list") << std::optional<QList<QVariantMap>>() << false;
}

void TestAppActivator::frontmostOwnerComesFromTheFirstNormalWindow()
{
    QFETCH(std::optional<QList<QVariantMap>>, windows);
    QFETCH(bool, cycles);
    Fixture f;
    f.workspace.addRunning(appId, appPid);
    f.windowServer.windows = windows;

    const ActivationOutcome outcome = outcomeOf(f.activator.activateOrCycle(appId, false));
    QCOMPARE(outcome, cycles ? ActivationOutcome::cycledToNextWindow() : ActivationOutcome::activated());
    QCOMPARE(f.windowServer.lastOptions, 17u);
}

void TestAppActivator::cyclesWithTheScript_data()
{
    QTest::addColumn<QString>("bundleIdentifier");
    QTest::addColumn<QString>("script");
    QTest::newRow("standard") << appId << AppActivatorAdapter::standardScriptedCycle();
    QTest::newRow("Ghostty") << u"com.mitchellh.ghostty"_s
                             << AppActivatorAdapter::scriptedCycles().value(u"com.mitchellh.ghostty"_s);
}

void TestAppActivator::cyclesWithTheScript()
{
    QFETCH(QString, bundleIdentifier);
    QFETCH(QString, script);
    Fixture f;
    f.windowServer.windows = QList<QVariantMap>{SimulatedWindowServer::window(appPid)};
    f.workspace.addRunning(bundleIdentifier, appPid);
    f.processes.setResponder([](const SimulatedProcessRunner::Call&) { return printed(0, "42\n"); });

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(bundleIdentifier, true)),
             ActivationOutcome::cycledToNextWindow());
    const QList<SimulatedProcessRunner::Call> calls = f.processes.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].program, u"/usr/bin/osascript"_s);
    QCOMPARE(calls[0].arguments, (QStringList{u"-e"_s, script, bundleIdentifier}));
    QCOMPARE(calls[0].output, ProcessRunner::Output::capture);
    QVERIFY(f.events.posted().isEmpty());
    QVERIFY(f.journal.entries().isEmpty());
}

void TestAppActivator::failedScriptFallsBackToTheShortcut_data()
{
    QTest::addColumn<bool>("allDesktops");
    QTest::addColumn<ProcessRunner::Result>("result");
    QTest::addColumn<int>("scriptRuns");

    QTest::newRow("one eligible window: empty output") << true << printed(0, "  \n") << 1;
    QTest::newRow("non-zero exit") << true << printed(1, "7\n") << 1;
    QTest::newRow("not started") << true << ProcessRunner::Result() << 1;
    QTest::newRow("current desktop: no script") << false << printed(0, "7\n") << 0;
}

void TestAppActivator::failedScriptFallsBackToTheShortcut()
{
    QFETCH(bool, allDesktops);
    QFETCH(ProcessRunner::Result, result);
    QFETCH(int, scriptRuns);
    Fixture f;
    f.runningInFront();
    f.processes.setResponder([result](const SimulatedProcessRunner::Call&) { return result; });

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, allDesktops)),
             ActivationOutcome::cycledToNextWindow());
    QCOMPARE(f.processes.calls().size(), scriptRuns);
    const QList<QuartzEvent> posted = f.events.posted();
    QCOMPARE(posted.size(), 2);
    QCOMPARE(posted[0].type, 10u);
    QCOMPARE(posted[1].type, 11u);
    for (const QuartzEvent& event : posted) {
        QCOMPARE(event.fields.value(9), 50);
        QCOMPARE(event.flags, 0x100000u);
        QCOMPARE(event.fields.value(42), CGEventTapHyperKeyEngine::syntheticEventMarker);
        QCOMPARE(event.postedAt, 0u);
    }
}

void TestAppActivator::shortcutKeyFollowsTheLayout_data()
{
    QTest::addColumn<QVariant>("hotKeys");
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<std::int64_t>("keyCode");
    QTest::addColumn<std::uint64_t>("flags");

    const QHash<PhysicalKeyCode, QString> us{{50, u"`"_s}};
    const QHash<PhysicalKeyCode, QString> graveOnKey10{{10, u"`"_s}, {50, u"<"_s}};
    const QVariantList standard{96, 50, 1048576};
    QTest::newRow("unreadable: standard") << QVariant() << us << std::int64_t(50) << std::uint64_t(0x100000);
    QTest::newRow("grave typed by another key")
        << QVariant(hotKey({}, standard)) << graveOnKey10 << std::int64_t(10) << std::uint64_t(0x100000);
    QTest::newRow("no key types it: stored code")
        << QVariant(hotKey(true, standard)) << QHash<PhysicalKeyCode, QString>() << std::int64_t(50)
        << std::uint64_t(0x100000);
    QTest::newRow("no character: stored code") << QVariant(hotKey({}, {65535, 42, 0x180000})) << graveOnKey10
                                               << std::int64_t(42) << std::uint64_t(0x180000);
    QTest::newRow("upper-case letter matches the key typing it")
        << QVariant(hotKey({}, {u'Q', 30, 0x100000})) << QHash<PhysicalKeyCode, QString>{{12, u"q"_s}}
        << std::int64_t(12) << std::uint64_t(0x100000);
}

void TestAppActivator::shortcutKeyFollowsTheLayout()
{
    QFETCH(QVariant, hotKeys);
    QFETCH(Layout, layout);
    QFETCH(std::int64_t, keyCode);
    QFETCH(std::uint64_t, flags);
    Fixture f;
    f.layout.layout = layout;
    if (hotKeys.isValid())
        f.setShortcut(hotKeys.toMap());
    f.runningInFront();

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, false)), ActivationOutcome::cycledToNextWindow());
    const QList<QuartzEvent> posted = f.events.posted();
    QCOMPARE(posted.size(), 2);
    QCOMPARE(posted[0].fields.value(9), keyCode);
    QCOMPARE(posted[1].fields.value(9), keyCode);
    QCOMPARE(posted[0].flags, flags);
}

void TestAppActivator::shortcutOffPressesTheMenuItem_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("pressRefused");
    QTest::addColumn<ActivationOutcome>("outcome");
    QTest::addColumn<QStringList>("calls");

    const QString press = u"perform Cycle AXPress"_s;
    QTest::newRow("grave accent item")
        << u"`"_s << false << ActivationOutcome::cycledToNextWindow() << QStringList{press};
    QTest::newRow("press refused: brought forward")
        << u"`"_s << true << ActivationOutcome::activated() << QStringList{press, frontmost(appPid)};
    QTest::newRow("no such item: brought forward")
        << u"~"_s << false << ActivationOutcome::activated() << QStringList{frontmost(appPid)};
}

void TestAppActivator::shortcutOffPressesTheMenuItem()
{
    QFETCH(QString, command);
    QFETCH(bool, pressRefused);
    QFETCH(ActivationOutcome, outcome);
    QFETCH(QStringList, calls);
    Fixture f;
    f.setShortcut(hotKey(false, {96, 50, 1048576}));
    f.runningInFront();
    f.processes.setResponder([](const SimulatedProcessRunner::Call&) { return printed(0, ""); });

    using A = SimulatedAccessibility;
    const AccessibilityElement minimize = A::element(u"Minimize"_s, {{u"AXMenuItemCmdChar"_s, u"M"_s}});
    const AccessibilityElement noCommand = A::element(u"Zoom"_s);
    const AccessibilityElement cycle = A::element(u"Cycle"_s, {{u"AXMenuItemCmdChar"_s, command}});
    cycle->refusesActions = pressRefused;
    const AccessibilityElement windowMenu =
        A::element(u"Window menu"_s, {{u"AXChildren"_s, QList{minimize, noCommand, cycle}}});
    const AccessibilityElement fileMenu = A::element(u"File menu"_s, {{u"AXChildren"_s, u"not a list"_s}});
    const AccessibilityElement bar = A::element(
        u"Menu bar"_s,
        {{u"AXChildren"_s, QList{A::element(u"File"_s, {{u"AXChildren"_s, QList{fileMenu}}}),
                                 A::element(u"Window"_s, {{u"AXChildren"_s, QList{windowMenu}}})}}});
    const AccessibilityElement application = f.accessibility.application(appPid);
    application->attributes.insert(u"AXMenuBar"_s, bar);

    QCOMPARE(outcomeOf(f.activator.activateOrCycle(appId, true)), outcome);
    QCOMPARE(f.processes.calls().size(), 1);
    QVERIFY(f.events.posted().isEmpty());
    QCOMPARE(f.journal.entries(), calls);
    QCOMPARE(application->messagingTimeout, 1.0f);
}

void TestAppActivator::aCycleThatOutlivesTheAdapterStillFinishes()
{
    // The script fails, the shortcut is off and there is no menu to press: the adapter would bring the
    // application forward, but it is gone by then.
    Fixture f;
    f.setShortcut(hotKey(false, {96, 50, 1048576}));
    f.runningInFront();
    QSemaphore scriptMayEnd;
    f.processes.setResponder([&scriptMayEnd](const SimulatedProcessRunner::Call&) {
        scriptMayEnd.acquire();
        return printed(1, "");
    });
    auto adapter = std::make_unique<AppActivatorAdapter>(
        f.catalogue,
        AppActivatorAdapter::Services{f.workspace, f.windowServer, f.accessibility, f.events, f.preferences,
                                      f.processes},
        KeyLabel::keyCode);

    QFuture<ActivationOutcome> future = adapter->activateOrCycle(appId, true);
    adapter.reset();
    scriptMayEnd.release();
    const ActivationOutcome outcome = outcomeOf(future);
    QCOMPARE(outcome, ActivationOutcome::failed(u"the activator stopped before the window changed"_s));
    QVERIFY(f.journal.entries().isEmpty());
}

QTEST_GUILESS_MAIN(TestAppActivator)
#include "tst_appactivator.moc"
