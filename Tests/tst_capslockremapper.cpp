#include "HID/HIDCapsLockRemapper.h"
#include "Simulated/SimulatedHIDSystem.h"
#include "Simulated/SimulatedPreferenceDomains.h"
#include "Simulated/SimulatedProcessRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 capsLock = 0x700000039;
constexpr qint64 f18 = 0x70000006D;
constexpr qint64 escape = 0x700000029;
constexpr qint64 leftControl = 0x7000000E0;
constexpr qint64 leftCommand = 0x7000000E3;

ProcessRunner::Result exited(int status)
{
    ProcessRunner::Result result;
    result.started = true;
    result.exitStatus = status;
    return result;
}

struct Fixture {
    SimulatedProcessRunner processes;
    SimulatedPreferenceDomains preferences;
    SimulatedHIDSystem hid;
    HIDCapsLockRemapper remapper{processes, preferences, hid};
};

QVariantMap mapping(const QVariant& source, const QVariant& destination)
{
    QVariantMap map;
    if (source.isValid())
        map.insert(u"HIDKeyboardModifierMappingSrc"_s, source);
    if (destination.isValid())
        map.insert(u"HIDKeyboardModifierMappingDst"_s, destination);
    return map;
}

const QString keyboardKey = u"com.apple.keyboard.modifiermapping.1452-641-0"_s;

} // namespace

class TestCapsLockRemapper : public QObject {
    Q_OBJECT

private slots:
    void applyAndRemoveRunHidutilWithTheMappingDocument();
    void isAppliedChangesOnlyOnSuccess();
    void failuresAreLogged();
    void systemMappingIsDetected_data();
    void systemMappingIsDetected();
    void toggleCapsLock_data();
    void toggleCapsLock();
};

void TestCapsLockRemapper::applyAndRemoveRunHidutilWithTheMappingDocument()
{
    Fixture f;
    QVERIFY(f.remapper.apply());
    QVERIFY(f.remapper.remove());

    const QList<SimulatedProcessRunner::Call> calls = f.processes.calls();
    QCOMPARE(calls.size(), 2);
    const qint64 destinations[] = {f18, capsLock};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(calls[i].program, u"/usr/bin/hidutil"_s);
        QCOMPARE(calls[i].arguments.size(), 3);
        QCOMPARE(calls[i].arguments.mid(0, 2), (QStringList{u"property"_s, u"--set"_s}));
        QCOMPARE(calls[i].output, ProcessRunner::Output::discard);
        const QString json = calls[i].arguments[2];
        // Plain decimal integers, as the tool reads them.
        QVERIFY(json.contains(u"30064771129"_s));
        QVERIFY(json.contains(QString::number(destinations[i])));
        const QJsonObject document = QJsonDocument::fromJson(json.toUtf8()).object();
        QCOMPARE(document.keys(), QStringList{u"UserKeyMapping"_s});
        const QJsonArray list = document.value(u"UserKeyMapping"_s).toArray();
        QCOMPARE(list.size(), 1);
        const QJsonObject entry = list.first().toObject();
        QCOMPARE(entry.size(), 2);
        QCOMPARE(entry.value(u"HIDKeyboardModifierMappingSrc"_s).toInteger(), capsLock);
        QCOMPARE(entry.value(u"HIDKeyboardModifierMappingDst"_s).toInteger(), destinations[i]);
    }
}

void TestCapsLockRemapper::isAppliedChangesOnlyOnSuccess()
{
    Fixture f;
    QVERIFY(!f.remapper.isApplied());
    QVERIFY(f.remapper.apply());
    QVERIFY(f.remapper.apply());
    QVERIFY(f.remapper.isApplied());
    QCOMPARE(f.processes.calls()[0].arguments, f.processes.calls()[1].arguments);

    f.processes.setResponder([](const SimulatedProcessRunner::Call&) { return exited(1); });
    QTest::ignoreMessage(QtCriticalMsg, "failed to remove the Caps Lock remap");
    QVERIFY(!f.remapper.remove());
    QVERIFY(f.remapper.isApplied());

    f.processes.setResponder({});
    QVERIFY(f.remapper.remove());
    QVERIFY(!f.remapper.isApplied());
    f.processes.setResponder([](const SimulatedProcessRunner::Call&) { return exited(2); });
    QTest::ignoreMessage(QtCriticalMsg, "failed to apply the Caps Lock remap");
    QVERIFY(!f.remapper.apply());
    QVERIFY(!f.remapper.isApplied());
}

void TestCapsLockRemapper::failuresAreLogged()
{
    Fixture f;
    f.processes.setResponder([](const SimulatedProcessRunner::Call&) {
        ProcessRunner::Result result;
        result.errorString = u"No such file or directory"_s;
        return result;
    });
    QTest::ignoreMessage(QtCriticalMsg, "could not run hidutil: No such file or directory");
    QTest::ignoreMessage(QtCriticalMsg, "failed to apply the Caps Lock remap");
    QVERIFY(!f.remapper.apply());
    QVERIFY(!f.remapper.isApplied());
}

void TestCapsLockRemapper::systemMappingIsDetected_data()
{
    QTest::addColumn<QVariantMap>("global");
    QTest::addColumn<bool>("remapped");

    auto one = [](const QVariant& value) { return QVariantMap{{keyboardKey, value}}; };
    auto list = [](const QVariantMap& entry) { return QVariantList{entry}; };

    QTest::newRow("no entries") << QVariantMap() << false;
    QTest::newRow("to Escape") << one(list(mapping(capsLock, escape))) << true;
    QTest::newRow("to itself") << one(list(mapping(capsLock, capsLock))) << false;
    QTest::newRow("other modifiers only") << one(list(mapping(leftControl, leftCommand))) << false;
    QTest::newRow("no destination") << one(list(mapping(capsLock, {}))) << true;
    QTest::newRow("destination not an integer") << one(list(mapping(capsLock, u"x"_s))) << true;
    QTest::newRow("source not an integer") << one(list(mapping(u"30064771129"_s, escape))) << false;
    QTest::newRow("second keyboard remaps")
        << QVariantMap{{keyboardKey, list(mapping(capsLock, capsLock))},
                       {keyboardKey + u"2"_s,
                        QVariantList{mapping(leftControl, leftCommand), mapping(capsLock, leftControl)}}}
        << true;
    QTest::newRow("not a list") << one(mapping(capsLock, escape)) << false;
    QTest::newRow("list with a non-dictionary") << one(QVariantList{mapping(capsLock, escape), 5}) << false;
    QTest::newRow("other key") << QVariantMap{{u"com.apple.keyboard.other"_s,
                                               list(mapping(capsLock, escape))}}
                               << false;
}

void TestCapsLockRemapper::systemMappingIsDetected()
{
    QFETCH(QVariantMap, global);
    QFETCH(bool, remapped);
    Fixture f;
    f.preferences.globalDomain = global;
    QCOMPARE(f.remapper.isCapsLockRemappedBySystem(), remapped);
    QCOMPARE(f.preferences.synchronizations, 1);
}

void TestCapsLockRemapper::toggleCapsLock_data()
{
    QTest::addColumn<bool>("hasService");
    QTest::addColumn<bool>("refusesConnection");
    QTest::addColumn<bool>("readFails");
    QTest::addColumn<bool>("setFails");
    QTest::addColumn<bool>("initially");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<bool>("finally");
    QTest::addColumn<QString>("log");

    QTest::newRow("off to on") << true << false << false << false << false << true << true << QString();
    QTest::newRow("on to off") << true << false << false << false << true << true << false << QString();
    QTest::newRow("failed read counts as off")
        << true << false << true << false << true << true << true << QString();
    QTest::newRow("no service") << false << false << false << false << false << false << false << QString();
    QTest::newRow("connection refused") << true << true << false << false << false << false << false
                                        << u"could not open IOHIDSystem to toggle Caps Lock"_s;
    QTest::newRow("set fails") << true << false << false << true << false << false << false
                               << u"could not toggle Caps Lock"_s;
}

void TestCapsLockRemapper::toggleCapsLock()
{
    QFETCH(bool, hasService);
    QFETCH(bool, refusesConnection);
    QFETCH(bool, readFails);
    QFETCH(bool, setFails);
    QFETCH(bool, initially);
    QFETCH(bool, succeeds);
    QFETCH(bool, finally);
    QFETCH(QString, log);
    Fixture f;
    f.hid.hasService = hasService;
    f.hid.refusesConnection = refusesConnection;
    f.hid.readFails = readFails;
    f.hid.setFails = setFails;
    f.hid.capsLock = initially;
    if (!log.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(log));

    QCOMPARE(f.remapper.toggleCapsLock(), succeeds);
    QCOMPARE(f.hid.capsLock, finally);
    QCOMPARE(f.hid.openConnections, 0);
    QCOMPARE(f.hid.retainedServices, 0);
    if (hasService)
        QCOMPARE(f.hid.lastConnectionType, 1u);
}

QTEST_GUILESS_MAIN(TestCapsLockRemapper)
#include "tst_capslockremapper.moc"
