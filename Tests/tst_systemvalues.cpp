#include "MacSystemValues.h"
#include "Simulated/SimulatedPreferenceDomains.h"
#include "Simulated/SimulatedSecureEventInput.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSystemValues : public QObject {
    Q_OBJECT

private slots:
    void raycastHyperKey_data()
    {
        QTest::addColumn<QVariant>("state");
        QTest::addColumn<bool>("onCapsLock");
        const auto state = [](const QVariant& enabled, const QVariant& keyCode) {
            QVariantMap map;
            if (enabled.isValid())
                map.insert(u"enabled"_s, enabled);
            if (keyCode.isValid())
                map.insert(u"keyCode"_s, keyCode);
            return QVariant(map);
        };
        QTest::newRow("enabled on Caps Lock") << state(true, qlonglong(57)) << true;
        QTest::newRow("disabled on Caps Lock") << state(false, qlonglong(57)) << false;
        QTest::newRow("enabled on another key") << state(true, qlonglong(63)) << false;
        QTest::newRow("enabled as an integer") << state(qlonglong(1), qlonglong(57)) << false;
        QTest::newRow("key code as a string") << state(true, u"57"_s) << false;
        QTest::newRow("key code missing") << state(true, QVariant()) << false;
        QTest::newRow("not a dictionary") << QVariant(u"enabled"_s) << false;
        QTest::newRow("no domain") << QVariant() << false;
    }

    void raycastHyperKey()
    {
        QFETCH(QVariant, state);
        QFETCH(bool, onCapsLock);
        SimulatedSecureEventInput secureInput;
        SimulatedPreferenceDomains preferences;
        if (state.isValid())
            preferences.suites[u"com.raycast.macos"_s].insert(u"raycast_hyperKey_state"_s, state);
        MacSystemValues values(secureInput, preferences);
        QCOMPARE(values.isLauncherHyperKeyOnCapsLock(), onCapsLock);
    }

    void secureInputAndNextWindowShortcut()
    {
        SimulatedSecureEventInput secureInput;
        SimulatedPreferenceDomains preferences;
        MacSystemValues values(secureInput, preferences);
        QVERIFY(!values.isSecureInputEnabled());
        QVERIFY(!values.isNextWindowShortcutOff()); // no entry: the standard shortcut
        secureInput.enabled = true;
        QVERIFY(values.isSecureInputEnabled());

        const QVariantMap off{{u"enabled"_s, false}};
        preferences.suites[u"com.apple.symbolichotkeys"_s].insert(u"AppleSymbolicHotKeys"_s,
                                                                  QVariantMap{{u"27"_s, off}});
        QVERIFY(values.isNextWindowShortcutOff());
    }
};

QTEST_GUILESS_MAIN(TestSystemValues)
#include "tst_systemvalues.moc"
