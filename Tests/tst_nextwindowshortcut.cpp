#include "Logic/NextWindowShortcut.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using Shortcut = std::optional<NextWindowShortcut>;

QVariant hotKeys(const QVariant& entry)
{
    return QVariantMap{{u"27"_s, entry}};
}

QVariant entry(const QVariant& parameters, const QVariant& enabled = {})
{
    QVariantMap map{{u"value"_s, QVariantMap{{u"parameters"_s, parameters}, {u"type"_s, u"standard"_s}}}};
    if (enabled.isValid())
        map.insert(u"enabled"_s, enabled);
    return map;
}

} // namespace

class TestNextWindowShortcut : public QObject {
    Q_OBJECT

private slots:
    void standardIsCommandGraveAccent();
    void readsTheSymbolicHotKeys_data();
    void readsTheSymbolicHotKeys();
};

void TestNextWindowShortcut::standardIsCommandGraveAccent()
{
    const NextWindowShortcut standard = NextWindowShortcut::standard();
    QCOMPARE(standard.character, std::optional<char32_t>(U'`'));
    QCOMPARE(standard.keyCode, 50);
    QCOMPARE(standard.modifiers, 0x100000u);
}

void TestNextWindowShortcut::readsTheSymbolicHotKeys_data()
{
    QTest::addColumn<QVariant>("preferences");
    QTest::addColumn<Shortcut>("expected");

    const Shortcut standard = NextWindowShortcut::standard();
    const QVariantList usual{96, 50, 1048576};

    QTest::newRow("as stored") << hotKeys(entry(QVariantList{60, 10, 1179648}, true))
                               << Shortcut(NextWindowShortcut{U'<', 10, 0x120000});
    QTest::newRow("no character") << hotKeys(entry(QVariantList{65535, 50, 1048576}))
                                  << Shortcut(NextWindowShortcut{std::nullopt, 50, 0x100000});
    QTest::newRow("surrogate: no character") << hotKeys(entry(QVariantList{0xD800, 50, 1048576}))
                                             << Shortcut(NextWindowShortcut{std::nullopt, 50, 0x100000});
    QTest::newRow("beyond Unicode: no character") << hotKeys(entry(QVariantList{0x110000, 50, 1048576}))
                                                  << Shortcut(NextWindowShortcut{std::nullopt, 50, 0x100000});
    QTest::newRow("negative character: no character")
        << hotKeys(entry(QVariantList{-1, 50, 1048576}))
        << Shortcut(NextWindowShortcut{std::nullopt, 50, 0x100000});
    QTest::newRow("switched off") << hotKeys(entry(usual, false)) << Shortcut();
    QTest::newRow("enabled not a Boolean")
        << hotKeys(entry(usual, 0)) << Shortcut(NextWindowShortcut{U'`', 50, 0x100000});

    QTest::newRow("unreadable") << QVariant() << standard;
    QTest::newRow("not a dictionary") << QVariant(u"x"_s) << standard;
    QTest::newRow("no entry 27") << QVariant(QVariantMap{{u"28"_s, entry(usual)}}) << standard;
    QTest::newRow("entry not a dictionary") << hotKeys(usual) << standard;
    QTest::newRow("no value") << hotKeys(QVariantMap{{u"enabled"_s, true}}) << standard;
    QTest::newRow("value not a dictionary") << hotKeys(QVariantMap{{u"value"_s, usual}}) << standard;
    QTest::newRow("parameters not a list") << hotKeys(entry(u"96,50,1048576"_s)) << standard;
    QTest::newRow("length 2") << hotKeys(entry(QVariantList{96, 50})) << standard;
    QTest::newRow("length 4") << hotKeys(entry(QVariantList{96, 50, 1048576, 0})) << standard;
    QTest::newRow("non-integer entry") << hotKeys(entry(QVariantList{96, u"50"_s, 1048576})) << standard;
    QTest::newRow("Boolean entry") << hotKeys(entry(QVariantList{96, true, 1048576})) << standard;
    QTest::newRow("negative key code") << hotKeys(entry(QVariantList{96, -1, 1048576})) << standard;
    QTest::newRow("negative mask") << hotKeys(entry(QVariantList{96, 50, -1})) << standard;
    QTest::newRow("key code above 65535") << hotKeys(entry(QVariantList{96, 65536, 1048576})) << standard;
    // Switched off wins over malformed parameters.
    QTest::newRow("off and malformed") << hotKeys(entry(QVariantList{1}, false)) << Shortcut();
}

void TestNextWindowShortcut::readsTheSymbolicHotKeys()
{
    QFETCH(QVariant, preferences);
    QFETCH(Shortcut, expected);
    QCOMPARE(NextWindowShortcut::from(preferences), expected);
}

QTEST_GUILESS_MAIN(TestNextWindowShortcut)
#include "tst_nextwindowshortcut.moc"
