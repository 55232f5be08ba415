#include "Logic/LetterKeyCode.h"
#include "Logic/NameMatch.h"
#include "Logic/SuggestedBindings.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using Offsets = QList<qsizetype>;

class NameMatchTest : public QObject {
    Q_OBJECT

private slots:
    void offsets_data();
    void offsets();
    void freeLetters_data();
    void freeLetters();
    void assign_data();
    void assign();
};

void NameMatchTest::offsets_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<Offsets>("expected");

    QTest::newRow("empty query") << u""_s << u"Safari"_s << true << Offsets{};
    QTest::newRow("no match") << u"x"_s << u"Safari"_s << false << Offsets{};
    QTest::newRow("substring") << u"far"_s << u"Safari"_s << true << Offsets{2, 3, 4};
    QTest::newRow("case ignored") << u"SAF"_s << u"Safari"_s << true << Offsets{0, 1, 2};
    QTest::newRow("subsequence") << u"vsc"_s << u"Visual Studio Code"_s << true << Offsets{0, 2, 14};
    QTest::newRow("repeated letter") << u"aa"_s << u"Safari"_s << true << Offsets{1, 3};
    QTest::newRow("too many repeats") << u"aaa"_s << u"Safari"_s << false << Offsets{};
    QTest::newRow("diacritics ignored") << u"cafe"_s << u"Café"_s << true << Offsets{0, 1, 2, 3};
    QTest::newRow("decomposed accent is one character")
        << u"e1"_s << u"Cafe\u03011"_s << true << Offsets{3, 4};
    QTest::newRow("accent in the query") << u"É"_s << u"Safe"_s << true << Offsets{3};
    QTest::newRow("space is a character") << u"s c"_s << u"Visual Studio Code"_s << true << Offsets{2, 6, 14};
    QTest::newRow("space must match") << u"s c"_s << u"Slack"_s << false << Offsets{};
    QTest::newRow("longer than the name") << u"Safari!"_s << u"Safari"_s << false << Offsets{};
}

void NameMatchTest::offsets()
{
    QFETCH(QString, query);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QFETCH(Offsets, expected);

    const std::optional<Offsets> result = NameMatch::offsets(query, name);
    QCOMPARE(result.has_value(), matches);
    if (result)
        QCOMPARE(*result, expected);
}

void NameMatchTest::freeLetters_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("excluded");
    QTest::addColumn<QString>("letters");

    QTest::newRow("Safari") << u"Safari"_s << QList<int>{} << u"SAFRI"_s;
    QTest::newRow("Safari without S") << u"Safari"_s << QList<int>{1} << u"AFRI"_s;
    QTest::newRow("digits only") << u"123"_s << QList<int>{} << u"ABC"_s;
    QTest::newRow("digits without A") << u"123"_s << QList<int>{0} << u"BCD"_s;
    QTest::newRow("accents and other scripts ignored") << u"Éω z"_s << QList<int>{} << u"Z"_s;
    QTest::newRow("sharp s upper-cases to SS") << u"ß"_s << QList<int>{} << u"S"_s;
    QList<int> all;
    for (int code :
         {0, 11, 8, 2, 14, 3, 5, 4, 34, 38, 40, 37, 46, 45, 31, 35, 12, 15, 1, 17, 32, 9, 13, 7, 16, 6})
        all.append(code);
    QTest::newRow("every letter excluded") << u"Safari"_s << all << u""_s;
}

void NameMatchTest::freeLetters()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, excluded);
    QFETCH(QString, letters);

    QSet<PhysicalKeyCode> excludedCodes;
    for (int code : excluded)
        excludedCodes.insert(PhysicalKeyCode(code));
    QString result;
    for (const BoundKey& key : SuggestedBindings::freeLetters(name, excludedCodes)) {
        QCOMPARE(key.keyCode, LetterKeyCode::codes().value(key.label));
        result += key.label;
    }
    QCOMPARE(result, letters);
}

void NameMatchTest::assign_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("reserved");
    QTest::addColumn<QStringList>("expected"); // "name=letter" in result order

    QTest::newRow("Safari and Slack")
        << QStringList{u"Slack"_s, u"Safari"_s} << QList<int>{} << QStringList{u"Safari=S"_s, u"Slack=L"_s};
    QTest::newRow("S reserved") << QStringList{u"Safari"_s, u"Slack"_s} << QList<int>{1}
                                << QStringList{u"Safari=A"_s, u"Slack=L"_s};
    QTest::newRow("Mail and Maps") << QStringList{u"Maps"_s, u"Mail"_s} << QList<int>{}
                                   << QStringList{u"Mail=M"_s, u"Maps=A"_s};
    QTest::newRow("digits sort first") << QStringList{u"Zoom"_s, u"1Password"_s} << QList<int>{}
                                       << QStringList{u"1Password=P"_s, u"Zoom=Z"_s};
    QList<int> all;
    for (PhysicalKeyCode code : LetterKeyCode::codes())
        all.append(code);
    QTest::newRow("every letter reserved") << QStringList{u"Safari"_s} << all << QStringList{};
    QTest::newRow("numbers by value")
        << QStringList{u"App 10"_s, u"App 9"_s} << QList<int>{} << QStringList{u"App 9=A"_s, u"App 10=P"_s};
}

void NameMatchTest::assign()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, reserved);
    QFETCH(QStringList, expected);

    QList<AppInfo> apps;
    for (const QString& name : names)
        apps.append(AppInfo{u"id."_s + name, name, u"/Applications/"_s + name + u".app"_s});
    QSet<PhysicalKeyCode> reservedCodes;
    for (int code : reserved)
        reservedCodes.insert(PhysicalKeyCode(code));

    QStringList result;
    QSet<PhysicalKeyCode> keys;
    for (const SuggestedBinding& suggestion : SuggestedBindings::assign(apps, reservedCodes)) {
        result.append(suggestion.app.name + u'=' + suggestion.key.label);
        QVERIFY(!keys.contains(suggestion.key.keyCode));
        QVERIFY(!reservedCodes.contains(suggestion.key.keyCode));
        keys.insert(suggestion.key.keyCode);
    }
    QCOMPARE(result, expected);
}

QTEST_GUILESS_MAIN(NameMatchTest)
#include "tst_namematch.moc"
