#include "Storage/InMemoryUserDefaults.h"
#include "Storage/JSONFileUserDefaults.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void fill(UserDefaults& defaults)
{
    defaults.setBoolean(u"flag"_s, true);
    defaults.setInteger(u"count"_s, qint64(1) << 40);
    defaults.setString(u"mode"_s, u"iCloud"_s);
    defaults.setData(u"menuKey"_s, QByteArray("{\"keyCode\":36}"));
    defaults.setData(u"cleared"_s, QByteArray());
    defaults.setString(u"looksLikeData"_s, u"e30="_s);
    defaults.setDictionary(u"state"_s, QVariantMap{{u"enabled"_s, true}, {u"keyCode"_s, 57},
                                                   {u"raw"_s, QByteArray("\x00\xff", 2)}});
    defaults.setList(u"list"_s, QVariantList{u"a"_s, qint64(2), QVariantList{false}});
    defaults.setValue(u"names"_s, QStringList{u"x"_s, u"y"_s});
}

void verifyFilled(const UserDefaults& defaults)
{
    QCOMPARE(defaults.boolean(u"flag"_s), true);
    QCOMPARE(defaults.integer(u"count"_s), qint64(1) << 40);
    QCOMPARE(defaults.string(u"mode"_s), u"iCloud"_s);
    QCOMPARE(defaults.data(u"menuKey"_s), QByteArray("{\"keyCode\":36}"));
    QCOMPARE(defaults.data(u"cleared"_s), QByteArray());
    QVERIFY(defaults.contains(u"cleared"_s));
    QCOMPARE(defaults.string(u"looksLikeData"_s), u"e30="_s);
    QCOMPARE(defaults.data(u"looksLikeData"_s), std::nullopt);
    const auto state = defaults.dictionary(u"state"_s);
    QVERIFY(state);
    QCOMPARE(state->value(u"enabled"_s).metaType(), QMetaType::fromType<bool>());
    QCOMPARE(state->value(u"keyCode"_s), QVariant(qint64(57)));
    QCOMPARE(state->value(u"raw"_s), QVariant(QByteArray("\x00\xff", 2)));
    QCOMPARE(defaults.list(u"list"_s), (QVariantList{u"a"_s, qint64(2), QVariantList{false}}));
    QCOMPARE(defaults.list(u"names"_s), (QVariantList{u"x"_s, u"y"_s}));
}

} // namespace

class UserDefaultsTest : public QObject {
    Q_OBJECT

private slots:
    void typedReads_data();
    void typedReads();
    void jsonFileKeepsTypesAcrossRestart();
    void removeAndUnsupportedValues();
    void unreadableFileIsMovedAside();

private:
    QTemporaryDir m_dir;
};

void UserDefaultsTest::typedReads_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("asBoolean");
    QTest::addColumn<bool>("isString");
    QTest::addColumn<bool>("isData");
    QTest::newRow("absent") << QVariant() << false << false << false;
    QTest::newRow("true") << QVariant(true) << true << false << false;
    QTest::newRow("integer 1 is no boolean") << QVariant(1) << false << false << false;
    QTest::newRow("string \"true\" is no boolean") << QVariant(u"true"_s) << false << true << false;
    QTest::newRow("data is no string") << QVariant(QByteArray("x")) << false << false << true;
}

void UserDefaultsTest::typedReads()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, asBoolean);
    QFETCH(bool, isString);
    QFETCH(bool, isData);
    InMemoryUserDefaults defaults;
    if (stored.isValid())
        defaults.setValue(u"key"_s, stored);
    QCOMPARE(defaults.contains(u"key"_s), stored.isValid());
    QCOMPARE(defaults.boolean(u"key"_s), asBoolean);
    QCOMPARE(defaults.string(u"key"_s).has_value(), isString);
    QCOMPARE(defaults.data(u"key"_s).has_value(), isData);
    QCOMPARE(defaults.integer(u"key"_s).has_value(), stored.metaType() == QMetaType::fromType<int>());
}

void UserDefaultsTest::jsonFileKeepsTypesAcrossRestart()
{
    const QString path = m_dir.filePath(u"prefs/settings.json"_s);
    {
        JSONFileUserDefaults defaults(path);
        fill(defaults);
        verifyFilled(defaults);
    }
    JSONFileUserDefaults restarted(path);
    verifyFilled(restarted);

    InMemoryUserDefaults memory;
    fill(memory);
    verifyFilled(memory);
}

void UserDefaultsTest::removeAndUnsupportedValues()
{
    const QString path = m_dir.filePath(u"remove.json"_s);
    {
        JSONFileUserDefaults defaults(path);
        defaults.setString(u"a"_s, u"x"_s);
        defaults.setString(u"b"_s, u"y"_s);
        defaults.remove(u"a"_s);
        defaults.setValue(u"b"_s, QVariant(1.5)); // not a stored type: b keeps its value
        defaults.setValue(u"c"_s, QVariantList{QVariant(QDate(2025, 1, 1))});
    }
    JSONFileUserDefaults restarted(path);
    QVERIFY(!restarted.contains(u"a"_s));
    QCOMPARE(restarted.string(u"b"_s), u"y"_s);
    QVERIFY(!restarted.contains(u"c"_s));
}

void UserDefaultsTest::unreadableFileIsMovedAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"settings.json"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"a" : {"string" : "x"}, "b" : {"unknown" : 1}})");
    }
    QTest::ignoreMessage(QtCriticalMsg,
                         QRegularExpression(u"^could not read the preferences, moving the file aside: .+"_s));
    JSONFileUserDefaults defaults(path);
    QVERIFY(!defaults.contains(u"a"_s));
    QCOMPARE(QDir(dir.path()).entryList({u"settings.corrupt-*.json"_s}).size(), 1);
    defaults.setBoolean(u"fresh"_s, true);
    QCOMPARE(JSONFileUserDefaults(path).boolean(u"fresh"_s), true);
}

QTEST_GUILESS_MAIN(UserDefaultsTest)
#include "tst_userdefaults.moc"
