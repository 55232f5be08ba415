#include "KeyLabel.h"
#include "Logic/KeyboardGrid.h"
#include "Logic/LetterKeyCode.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using KeyboardGrid::Direction;
using KeyboardGrid::Position;

Q_DECLARE_METATYPE(KeyboardGrid::Direction)
Q_DECLARE_METATYPE(KeyboardGrid::Position)

class KeyboardGridTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { KeyLabel::installLayoutTranslation({}); }
    void rows_data();
    void rows();
    void move_data();
    void move();
    void constants();
    void captionsWithoutALayout();
    void captionsFromALayout();
    void keyCodeTyping();
};

void KeyboardGridTest::rows_data()
{
    QTest::addColumn<bool>("numbers");
    QTest::addColumn<bool>("symbols");
    QTest::addColumn<QList<double>>("indents");
    QTest::addColumn<PhysicalKeyCode>("firstKey");

    QTest::newRow("letters only") << false << false << QList<double>{0, 0.25, 0.75} << PhysicalKeyCode(12);
    QTest::newRow("numbers") << true << false << QList<double>{0, 0, 0.25, 0.75} << PhysicalKeyCode(18);
    QTest::newRow("symbols") << false << true << QList<double>{1, 1.25, 1.75, 0} << PhysicalKeyCode(12);
    QTest::newRow("both") << true << true << QList<double>{1, 1, 1.25, 1.75, 0} << PhysicalKeyCode(18);
}

void KeyboardGridTest::rows()
{
    QFETCH(bool, numbers);
    QFETCH(bool, symbols);
    QFETCH(QList<double>, indents);
    QFETCH(PhysicalKeyCode, firstKey);

    const QList<KeyboardGrid::Row> rows = KeyboardGrid::rows(numbers, symbols);
    QList<double> actual;
    for (const KeyboardGrid::Row& row : rows)
        actual.append(row.indent);
    QCOMPARE(actual, indents);
    QCOMPARE(rows.first().keyCodes.first(), firstKey);
    if (symbols)
        QCOMPARE(rows.last().keyCodes.size(), 12);
}

void KeyboardGridTest::move_data()
{
    QTest::addColumn<bool>("symbols");
    QTest::addColumn<Position>("from");
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<Position>("to");

    // Letters only: row 0 top (QWERTYUIOP), 1 home (ASDFGHJKL), 2 bottom (ZXCVBNM); with symbols, row 3.
    QTest::newRow("G down to B") << false << Position{1, 4} << Direction::down << Position{2, 4};
    QTest::newRow("B up to H") << false << Position{2, 4} << Direction::up << Position{1, 5};
    QTest::newRow("A down to Z") << false << Position{1, 0} << Direction::down << Position{2, 0};
    QTest::newRow("P down to L") << false << Position{0, 9} << Direction::down << Position{1, 8};
    QTest::newRow("M down to comma") << true << Position{2, 6} << Direction::down << Position{3, 8};
    QTest::newRow("up from the top row") << false << Position{0, 3} << Direction::up << Position{0, 3};
    QTest::newRow("down from the bottom row") << false << Position{2, 3} << Direction::down << Position{2, 3};
    QTest::newRow("left from the first column")
        << false << Position{1, 0} << Direction::left << Position{1, 0};
    QTest::newRow("right from the last column")
        << false << Position{2, 6} << Direction::right << Position{2, 6};
    QTest::newRow("left") << false << Position{1, 3} << Direction::left << Position{1, 2};
    QTest::newRow("right") << false << Position{1, 3} << Direction::right << Position{1, 4};
}

void KeyboardGridTest::move()
{
    QFETCH(bool, symbols);
    QFETCH(Position, from);
    QFETCH(Direction, direction);
    QFETCH(Position, to);

    QCOMPARE(KeyboardGrid::move(from, direction, KeyboardGrid::rows(false, symbols)), to);
}

void KeyboardGridTest::constants()
{
    const auto& codes = KeyboardGrid::keyCodes();
    QCOMPARE(codes.size(), 48);
    QVERIFY(codes.contains(10));
    QVERIFY(codes.contains(50));
    QVERIFY(!codes.contains(49));
    QVERIFY(!codes.contains(122));
    QCOMPARE(KeyboardGrid::qwertyLabels().size(), 48);
    QCOMPARE(KeyboardGrid::qwertyLabels().value(10), u"§"_s);
    QCOMPARE(KeyboardGrid::qwertyLabels().value(42), u"\\"_s);

    QCOMPARE(LetterKeyCode::codes().size(), 26);
    QCOMPARE(LetterKeyCode::codes().value(u"Q"_s, 999), 12);
    QVERIFY(!LetterKeyCode::codes().contains(u"q"_s));
}

void KeyboardGridTest::captionsWithoutALayout()
{
    QCOMPARE(KeyLabel::label(12), u"Q"_s);
    QCOMPARE(KeyLabel::label(29), u"0"_s);
    QCOMPARE(KeyLabel::label(49), u"Key 49"_s);
    QCOMPARE(KeyLabel::label(49, u" "_s), u"Space"_s);
    QCOMPARE(KeyLabel::label(123, u"\uF702"_s), u"←"_s);
    QCOMPARE(KeyLabel::label(12, u"q"_s), u"Q"_s);
    QCOMPARE(KeyLabel::label(200, u""_s), u"Key 200"_s);
    QVERIFY(!KeyLabel::keyCode(u"q"_s));
}

void KeyboardGridTest::captionsFromALayout()
{
    // An AZERTY-like layout: the first key of the top row types "a", Space types a space, one key types ß.
    KeyLabel::installLayoutTranslation([](PhysicalKeyCode code) -> std::optional<QString> {
        switch (code) {
        case 12:
            return u"a"_s;
        case 49:
            return u" "_s;
        case 27:
            return u"ß"_s;
        case 13:
            return u""_s;
        default:
            return std::nullopt;
        }
    });
    QCOMPARE(KeyLabel::label(12), u"A"_s);
    QCOMPARE(KeyLabel::label(49), u"Key 49"_s);
    QCOMPARE(KeyLabel::label(27), u"SS"_s);
    QCOMPARE(KeyLabel::label(13), u"W"_s);
    // A pressed key is captioned from its own characters, never from the layout table.
    QCOMPARE(KeyLabel::label(12, u"q"_s), u"Q"_s);
}

void KeyboardGridTest::keyCodeTyping()
{
    KeyLabel::installLayoutTranslation([](PhysicalKeyCode code) -> std::optional<QString> {
        if (code == 50 || code == 10)
            return u"`"_s; // two keys type the same character: the lower code wins
        if (code == 200)
            return u"x"_s; // beyond the keys searched
        return code == 12 ? std::optional(u"a"_s) : std::nullopt;
    });
    QCOMPARE(KeyLabel::keyCode(u"a"_s), PhysicalKeyCode(12));
    QCOMPARE(KeyLabel::keyCode(u"A"_s), PhysicalKeyCode(12));
    QCOMPARE(KeyLabel::keyCode(u"`"_s), PhysicalKeyCode(10));
    QVERIFY(!KeyLabel::keyCode(u"x"_s));
    QVERIFY(!KeyLabel::keyCode(u"z"_s));
}

QTEST_GUILESS_MAIN(KeyboardGridTest)
#include "tst_keyboardgrid.moc"
