#include "Logic/CanonicalUuid.h"
#include "Logic/Iso8601.h"
#include "Logic/LocalizedStandardCompare.h"
#include "Logic/TextFolding.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TextHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void localizedStandardCompare_data();
    void localizedStandardCompare();
    void folding();
    void uuid_data();
    void uuid();
    void iso8601_data();
    void iso8601();
};

void TextHelpersTest::localizedStandardCompare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");

    QTest::newRow("digits by value") << u"F2"_s << u"F10"_s << -1;
    QTest::newRow("case ignored") << u"a"_s << u"A"_s << 0;
    QTest::newRow("letters") << u"apple"_s << u"Banana"_s << -1;
    QTest::newRow("app numbers") << u"App 10"_s << u"App 9"_s << 1;
}

void TextHelpersTest::localizedStandardCompare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);

    const int result = LocalizedStandardCompare::compare(a, b);
    QCOMPARE((result > 0) - (result < 0), order);
}

void TextHelpersTest::folding()
{
    QCOMPARE(TextFolding::graphemes(u"Cafe\u0301!"_s),
             (QStringList{u"C"_s, u"a"_s, u"f"_s, u"e\u0301"_s, u"!"_s}));
    QCOMPARE(TextFolding::foldGrapheme(u"É"_s), u"e"_s);
    QCOMPARE(TextFolding::foldGrapheme(u"e\u0301"_s), u"e"_s);
    QCOMPARE(TextFolding::foldGrapheme(u"Ä"_s), TextFolding::foldGrapheme(u"a"_s));
    QCOMPARE(TextFolding::foldedGraphemes(u"Ço"_s), (QStringList{u"c"_s, u"o"_s}));
    QCOMPARE(TextFolding::upperCased(u"straße"_s), u"STRASSE"_s);
}

void TextHelpersTest::uuid_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("upper") << u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s << true;
    QTest::newRow("lower") << u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"_s << true;
    QTest::newRow("nil") << u"00000000-0000-0000-0000-000000000000"_s << true;
    QTest::newRow("braces") << u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"_s << false;
    QTest::newRow("no hyphens") << u"0F1E2D3C4B5A69788796A5B4C3D2E1F0"_s << false;
    QTest::newRow("hyphen misplaced") << u"0F1E2D3-C4B5A-6978-8796-A5B4C3D2E1F0"_s << false;
    QTest::newRow("not hex") << u"0F1E2D3G-4B5A-6978-8796-A5B4C3D2E1F0"_s << false;
    QTest::newRow("trailing space") << u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F "_s << false;
    QTest::newRow("empty") << u""_s << false;
}

void TextHelpersTest::uuid()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);

    const std::optional<QUuid> parsed = CanonicalUuid::parse(text);
    QCOMPARE(parsed.has_value(), valid);
    if (parsed)
        QCOMPARE(CanonicalUuid::format(*parsed), text.toUpper());
}

void TextHelpersTest::iso8601_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("utc"); // empty when the text must be refused

    QTest::newRow("utc") << u"2025-03-01T09:30:00Z"_s << u"2025-03-01T09:30:00Z"_s;
    QTest::newRow("offset") << u"2025-03-01T10:30:00+01:00"_s << u"2025-03-01T09:30:00Z"_s;
    QTest::newRow("negative offset") << u"2025-02-28T23:30:00-10:00"_s << u"2025-03-01T09:30:00Z"_s;
    QTest::newRow("fraction") << u"2025-03-01T09:30:00.000Z"_s << u""_s;
    QTest::newRow("no zone") << u"2025-03-01T09:30:00"_s << u""_s;
    QTest::newRow("date only") << u"2025-03-01"_s << u""_s;
    QTest::newRow("bad day") << u"2025-02-29T09:30:00Z"_s << u""_s;
    QTest::newRow("bad hour") << u"2025-03-01T24:30:00Z"_s << u""_s;
    QTest::newRow("bad offset") << u"2025-03-01T09:30:00+24:00"_s << u""_s;
    QTest::newRow("lower-case z") << u"2025-03-01T09:30:00z"_s << u""_s;
}

void TextHelpersTest::iso8601()
{
    QFETCH(QString, text);
    QFETCH(QString, utc);

    const std::optional<QDateTime> parsed = Iso8601::parse(text);
    QCOMPARE(parsed.has_value(), !utc.isEmpty());
    if (parsed)
        QCOMPARE(Iso8601::format(*parsed), utc);
}

QTEST_GUILESS_MAIN(TextHelpersTest)
#include "tst_texthelpers.moc"
