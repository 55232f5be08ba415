#include "Model/ActivationOutcome.h"
#include "Model/AppInfo.h"
#include "Model/HyperKeyDisposition.h"
#include "Model/KeyBindingList.h"
#include "Model/ProfilesFile.h"

#include <QJsonDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

KeyBinding makeBinding(PhysicalKeyCode code, const QString& label, const QString& app, qint64 jumps = 0)
{
    return KeyBinding{QUuid::createUuid(),
                      BoundKey{code, label},
                      app,
                      app,
                      QDateTime(QDate(2025, 3, 1), QTime(9, 30), QTimeZone::utc()),
                      jumps};
}

QStringList labels(const QList<KeyBinding>& bindings)
{
    QStringList result;
    for (const KeyBinding& binding : bindings)
        result.append(binding.key.label);
    return result;
}

QJsonObject object(const QString& json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

const QString safariJson = uR"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","key":{"keyCode":1,"label":"S"},
    "bundleIdentifier":"com.apple.Safari","appName":"Safari","createdAt":"2025-03-01T09:30:00Z"})"_s;

} // namespace

class KeyBindingsTest : public QObject {
    Q_OBJECT

private slots:
    void lookupTable();
    void twoBindingsOnOneKeyCode();
    void settingSortsByLabel_data();
    void settingSortsByLabel();
    void moving();
    void removingAndRecordingJumps();
    void equality();
    void bindingJson_data();
    void bindingJson();
    void bindingRoundTrips();
    void profilesJson();
};

void KeyBindingsTest::lookupTable()
{
    using KeyBindingList::lookupTable;
    QVERIFY(lookupTable({}, std::nullopt, std::nullopt).isEmpty());

    const BindingLookupTable layoutOnly = lookupTable({}, std::nullopt, 49);
    QCOMPARE(layoutOnly.size(), 1);
    QCOMPARE(layoutOnly.value(49), HyperKeyAction::toggleLayout());

    QCOMPARE(lookupTable({}, 36, 36).value(36), HyperKeyAction::showMenu());

    const BindingLookupTable shadowed =
        lookupTable({makeBinding(36, u"Return"_s, u"com.apple.mail"_s)}, 36, 49);
    QCOMPARE(shadowed.size(), 2);
    QCOMPARE(shadowed.value(36), HyperKeyAction::activate(u"com.apple.mail"_s));
    QVERIFY(!shadowed.values().contains(HyperKeyAction::showMenu()));
}

void KeyBindingsTest::twoBindingsOnOneKeyCode()
{
    const QList<KeyBinding> list = {makeBinding(0, u"A"_s, u"first"_s), makeBinding(0, u"A"_s, u"second"_s)};
    QCOMPARE(KeyBindingList::binding(list, 0)->bundleIdentifier, u"first"_s);
    QCOMPARE(KeyBindingList::lookupTable(list, std::nullopt, std::nullopt).value(0),
             HyperKeyAction::activate(u"second"_s));

    const KeyBinding third = makeBinding(0, u"A"_s, u"third"_s);
    QCOMPARE(KeyBindingList::settingBinding(list, third), QList<KeyBinding>{third});
    QVERIFY(!KeyBindingList::binding(list, 1));
}

void KeyBindingsTest::settingSortsByLabel_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("between") << QStringList{u"A"_s, u"C"_s} << u"B"_s << QStringList{u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("digits by value") << QStringList{u"F10"_s} << u"F2"_s << QStringList{u"F2"_s, u"F10"_s};
    QTest::newRow("case ignored") << QStringList{u"b"_s} << u"A"_s << QStringList{u"A"_s, u"b"_s};
    QTest::newRow("equal labels: the new one goes last") << QStringList{u"a"_s} << u"A"_s
                                                  << QStringList{u"a"_s, u"A"_s};
}

void KeyBindingsTest::settingSortsByLabel()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, added);
    QFETCH(QStringList, expected);

    QList<KeyBinding> list;
    PhysicalKeyCode code = 100;
    for (const QString& label : existing)
        list.append(makeBinding(code++, label, label));
    QCOMPARE(labels(KeyBindingList::settingBinding(list, makeBinding(code, added, added))), expected);
}

void KeyBindingsTest::moving()
{
    const KeyBinding x = makeBinding(1, u"S"_s, u"x"_s, 3);
    const KeyBinding y = makeBinding(17, u"T"_s, u"y"_s, 5);
    const QList<KeyBinding> list = {x};

    QCOMPARE(KeyBindingList::movingBinding(list, 1, BoundKey{1, u"other"_s}), list);
    QCOMPARE(KeyBindingList::movingBinding(list, 2, BoundKey{17, u"T"_s}), list);

    const QList<KeyBinding> moved = KeyBindingList::movingBinding(list, 1, BoundKey{17, u"T"_s});
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.first().id, x.id);
    QCOMPARE(moved.first().key, (BoundKey{17, u"T"_s}));

    const QList<KeyBinding> swapped = KeyBindingList::movingBinding({x, y}, 1, BoundKey{17, u"T"_s});
    QCOMPARE(swapped.size(), 2);
    const KeyBinding onS = *KeyBindingList::binding(swapped, 1);
    const KeyBinding onT = *KeyBindingList::binding(swapped, 17);
    QCOMPARE(onS.id, y.id);
    QCOMPARE(onS.key.label, u"S"_s);
    QCOMPARE(onS.jumps, 5);
    QCOMPARE(onT.id, x.id);
    QCOMPARE(onT.key.label, u"T"_s);
    QCOMPARE(onT.jumps, 3);
}

void KeyBindingsTest::removingAndRecordingJumps()
{
    const KeyBinding a = makeBinding(0, u"A"_s, u"app"_s);
    const KeyBinding b = makeBinding(11, u"B"_s, u"app"_s);
    const QList<KeyBinding> list = {a, b};

    QCOMPARE(KeyBindingList::removingBinding(list, a.id), QList<KeyBinding>{b});
    QCOMPARE(KeyBindingList::removingBinding(list, QUuid::createUuid()), list);

    const QList<KeyBinding> counted = KeyBindingList::recordingJump(list, u"app"_s);
    QCOMPARE(counted.at(0).jumps, 1);
    QCOMPARE(counted.at(1).jumps, 0);
    QCOMPARE(KeyBindingList::recordingJump(list, u"App"_s), list);
}

void KeyBindingsTest::equality()
{
    KeyBinding a = makeBinding(0, u"A"_s, u"app"_s);
    KeyBinding b = a;
    b.jumps = 1;
    QVERIFY(a != b);
    QVERIFY((BoundKey{0, u"A"_s}) != (BoundKey{0, u"a"_s}));
    QVERIFY(HyperKeyAction::activate(u"com.x"_s) != HyperKeyAction::activate(u"com.X"_s));
    QCOMPARE(HyperKeyDisposition::perform(HyperKeyAction::activate(u"x"_s)),
             HyperKeyDisposition::perform(HyperKeyAction::activate(u"x"_s)));
    QVERIFY(HyperKeyDisposition::perform(HyperKeyAction::showMenu()) != HyperKeyDisposition::passThrough());
    QVERIFY(ActivationOutcome::failed(u"a"_s) != ActivationOutcome::failed(u"b"_s));
    QVERIFY(ActivationOutcome::launched() != ActivationOutcome::activated());
    QCOMPARE(ActivationOutcome::cycledToNextWindow().caseName(), u"cycledToNextWindow"_s);
}

void KeyBindingsTest::bindingJson_data()
{
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("readable");

    QTest::newRow("as written") << u""_s << u""_s << true;
    QTest::newRow("jumps ignored") << u"\"appName\""_s << u"\"jumps\":7,\"appName\""_s << true;
    QTest::newRow("lower-case uuid") << u"0F1E2D3C"_s << u"0f1e2d3c"_s << true;
    QTest::newRow("offset date") << u"09:30:00Z"_s << u"10:30:00+01:00"_s << true;
    QTest::newRow("missing createdAt") << u",\"createdAt\":\"2025-03-01T09:30:00Z\""_s << u""_s << false;
    QTest::newRow("null appName") << u"\"appName\":\"Safari\""_s << u"\"appName\":null"_s << false;
    QTest::newRow("bad uuid") << u"0F1E2D3C-"_s << u"0F1E2D3C"_s << false;
    QTest::newRow("braced uuid") << u"\"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0\""_s
                                 << u"\"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\""_s << false;
    QTest::newRow("key code 65536") << u"\"keyCode\":1"_s << u"\"keyCode\":65536"_s << false;
    QTest::newRow("negative key code") << u"\"keyCode\":1"_s << u"\"keyCode\":-1"_s << false;
    QTest::newRow("fractional key code") << u"\"keyCode\":1"_s << u"\"keyCode\":1.5"_s << false;
    QTest::newRow("key code as string") << u"\"keyCode\":1"_s << u"\"keyCode\":\"1\""_s << false;
    QTest::newRow("fractional date") << u"09:30:00Z"_s << u"09:30:00.5Z"_s << false;
    QTest::newRow("date without zone") << u"09:30:00Z"_s << u"09:30:00"_s << false;
    QTest::newRow("impossible date") << u"2025-03-01"_s << u"2025-02-30"_s << false;
}

void KeyBindingsTest::bindingJson()
{
    QFETCH(QString, replace);
    QFETCH(QString, with);
    QFETCH(bool, readable);

    QString json = safariJson;
    if (!replace.isEmpty()) {
        QVERIFY(json.contains(replace));
        json.replace(replace, with);
    }
    const std::optional<KeyBinding> binding = KeyBinding::fromJson(object(json));
    QCOMPARE(binding.has_value(), readable);
    if (binding) {
        QCOMPARE(binding->jumps, 0);
        QCOMPARE(binding->createdAt, QDateTime(QDate(2025, 3, 1), QTime(9, 30), QTimeZone::utc()));
        QCOMPARE(binding->key, (BoundKey{1, u"S"_s}));
    }
}

void KeyBindingsTest::bindingRoundTrips()
{
    const KeyBinding binding = makeBinding(65535, u"Key 65535"_s, u"com.example"_s);
    const QJsonObject written = binding.toJson();
    QCOMPARE(written.keys(),
             (QStringList{u"appName"_s, u"bundleIdentifier"_s, u"createdAt"_s, u"id"_s, u"key"_s}));
    QCOMPARE(written.value("id"_L1).toString(), binding.id.toString(QUuid::WithoutBraces).toUpper());
    QCOMPARE(written.value("createdAt"_L1).toString(), u"2025-03-01T09:30:00Z"_s);
    QCOMPARE(KeyBinding::fromJson(written), binding);

    using Form = KeyBinding::DateForm;
    const QJsonObject compact = binding.toJson(Form::secondsSinceReferenceDate);
    QCOMPARE(compact.value("createdAt"_L1).toDouble(), 762514200.0);
    QCOMPARE(KeyBinding::fromJson(compact, Form::secondsSinceReferenceDate), binding);
    QVERIFY(!KeyBinding::fromJson(written, Form::secondsSinceReferenceDate));
    QVERIFY(!KeyBinding::fromJson(compact, Form::iso8601));

    const AppInfo app{u"com.apple.Safari"_s, u"Safari"_s, u"/Applications/Safari.app"_s};
    QCOMPARE(AppInfo::fromJson(app.toJson()), app);
    QVERIFY(!AppInfo::fromJson(object(u"{\"bundleIdentifier\":\"x\",\"name\":\"y\"}"_s)));
}

void KeyBindingsTest::profilesJson()
{
    QCOMPARE(Profile::defaultID(), QUuid::fromString(u"00000000-0000-0000-0000-000000000001"_s));
    QCOMPARE(Profile::defaultID().toString(QUuid::WithoutBraces), u"00000000-0000-0000-0000-000000000001"_s);

    const Profile work{QUuid::createUuid(), u"Work"_s};
    const ProfilesFile file{{Profile{Profile::defaultID(), u"Default"_s}, work}, work.id};
    QCOMPARE(ProfilesFile::fromJson(file.toJson()), file);
    QVERIFY(file != (ProfilesFile{{work, Profile{Profile::defaultID(), u"Default"_s}}, work.id}));
    QVERIFY((Profile{work.id, u"Home"_s}) != work);

    QVERIFY(!ProfilesFile::fromJson(object(u"{\"profiles\":[]}"_s)));
    QVERIFY(!ProfilesFile::fromJson(object(
        u"{\"activeID\":\"00000000-0000-0000-0000-000000000001\",\"profiles\":[{\"id\":\"00000000-0000-0000-0000-000000000001\"}]}"_s)));
    const auto empty = ProfilesFile::fromJson(
        object(u"{\"activeID\":\"00000000-0000-0000-0000-000000000000\",\"profiles\":[]}"_s));
    QVERIFY(empty && empty->profiles.isEmpty());
}

QTEST_GUILESS_MAIN(KeyBindingsTest)
#include "tst_keybindings.moc"
