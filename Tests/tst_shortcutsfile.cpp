#include "Storage/JSONFile.h"
#include "Storage/ShortcutsFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

KeyBinding makeBinding(PhysicalKeyCode code, const QString& label, const QString& app)
{
    return KeyBinding{QUuid::createUuid(), BoundKey{code, label}, u"com.example."_s + app, app,
                      QDateTime(QDate(2025, 3, 1), QTime(9, 30, 0, 250), QTimeZone::utc()), 0};
}

QStringList describe(const QList<KeyBinding>& bindings)
{
    QStringList result;
    for (const KeyBinding& binding : bindings)
        result.append(binding.key.label + u'=' + binding.appName);
    return result;
}

} // namespace

class ShortcutsFileTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsEverything();
    void encodedForm();
    void refusesOtherShapes_data();
    void refusesOtherShapes();
    void sizeLimit();
    void merge_data();
    void merge();
};

void ShortcutsFileTest::roundTripKeepsEverything()
{
    QList<KeyBinding> bindings{makeBinding(1, u"S"_s, u"Safari"_s), makeBinding(46, u"M"_s, u"Mail/Web"_s)};
    bindings[0].jumps = 5;
    const QList<KeyBinding> back = ShortcutsFile::decode(ShortcutsFile::encode(bindings));
    bindings[0].jumps = 0;
    // Ids, keys, names and creation times down to the millisecond.
    QCOMPARE(back, bindings);
}

void ShortcutsFileTest::encodedForm()
{
    const QByteArray bytes = ShortcutsFile::encode({makeBinding(1, u"S"_s, u"Safari"_s)});
    QVERIFY(!bytes.contains('\n'));
    const QJsonObject object = QJsonDocument::fromJson(bytes).array().first().toObject();
    // 2025-03-01T09:30:00.25Z in seconds since 2001-01-01T00:00:00Z.
    QCOMPARE(object.value("createdAt"_L1).toDouble(), 762514200.25);
    QCOMPARE(object.value("key"_L1).toObject().value("keyCode"_L1).toInt(), 1);
    QVERIFY(!object.contains("jumps"_L1));
    QCOMPARE(ShortcutsFile::encode({}), QByteArray("[]"));
}

void ShortcutsFileTest::refusesOtherShapes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray binding = R"({"id":"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0","key":{"keyCode":1,"label":"S"},)"
                               R"("bundleIdentifier":"b","appName":"a","createdAt":)";
    QTest::newRow("ISO date string") << "[" + binding + "\"2025-03-01T09:30:00Z\"}]";
    QTest::newRow("object, not a list") << binding + "762514200}";
    QTest::newRow("one bad element") << "[" + binding + "762514200}, 3]";
    QTest::newRow("not JSON") << QByteArray("[{");
    QTest::newRow("date far beyond any clock") << "[" + binding + "1e300}]";
}

void ShortcutsFileTest::refusesOtherShapes()
{
    QFETCH(QByteArray, bytes);
    QVERIFY_THROWS_EXCEPTION(JSONFile::Error, ShortcutsFile::decode(bytes));
}

void ShortcutsFileTest::sizeLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shortcuts.json"_s);
    for (const qint64 size : {JSONFile::maxSize, JSONFile::maxSize + 1}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[" + QByteArray(size - 2, ' ') + "]");
        file.close();
        try {
            QCOMPARE(ShortcutsFile::read(path), QList<KeyBinding>());
            QCOMPARE(size, JSONFile::maxSize);
        } catch (const JSONFile::TooLarge& error) {
            QCOMPARE(error.size(), JSONFile::maxSize + 1);
        }
    }
}

void ShortcutsFileTest::merge_data()
{
    QTest::addColumn<QList<KeyBinding>>("current");
    QTest::addColumn<QList<KeyBinding>>("imported");
    QTest::addColumn<bool>("replacingAll");
    QTest::addColumn<QStringList>("result");
    QTest::addColumn<QList<PhysicalKeyCode>>("removed");

    const QList<KeyBinding> current{makeBinding(1, u"S"_s, u"Safari"_s), makeBinding(0, u"A"_s, u"Arc"_s),
                                    makeBinding(46, u"M"_s, u"Music"_s)};
    const QList<KeyBinding> mailOnS{makeBinding(1, u"S"_s, u"Mail"_s)};
    QTest::newRow("keep others") << current << mailOnS << false << QStringList{u"A=Arc"_s, u"M=Music"_s, u"S=Mail"_s}
                                 << QList<PhysicalKeyCode>{};
    QTest::newRow("replace all") << current << mailOnS << true << QStringList{u"S=Mail"_s}
                                 << QList<PhysicalKeyCode>{0, 46};
    QTest::newRow("later of two on one key wins")
        << QList<KeyBinding>{} << QList<KeyBinding>{makeBinding(2, u"D"_s, u"Dia"_s), makeBinding(2, u"D"_s, u"Docs"_s)}
        << true << QStringList{u"D=Docs"_s} << QList<PhysicalKeyCode>{};
    QTest::newRow("nothing imported, keep others") << current << QList<KeyBinding>{} << false
                                                   << QStringList{u"A=Arc"_s, u"M=Music"_s, u"S=Safari"_s}
                                                   << QList<PhysicalKeyCode>{};
}

void ShortcutsFileTest::merge()
{
    QFETCH(QList<KeyBinding>, current);
    QFETCH(QList<KeyBinding>, imported);
    QFETCH(bool, replacingAll);
    QFETCH(QStringList, result);
    QFETCH(QList<PhysicalKeyCode>, removed);
    const ShortcutsFile::Import merged = ShortcutsFile::importBindings(current, imported, replacingAll);
    QCOMPARE(describe(merged.bindings), result);
    QCOMPARE(merged.removedKeyCodes, removed);
    for (const KeyBinding& binding : imported) {
        if (result.contains(binding.key.label + u'=' + binding.appName))
            QVERIFY(merged.bindings.contains(binding)); // id and date kept as imported
    }
}

QTEST_GUILESS_MAIN(ShortcutsFileTest)
#include "tst_shortcutsfile.moc"
