#include "KeyLabel.h"
#include "Simulated/SimulatedTextInputSources.h"
#include "TextInputSources/KeyLayoutTranslation.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using Layout = QHash<PhysicalKeyCode, QString>;

// A German layout for the keys the tests look at: Y and Z swapped, ß beside the digits.
const Layout german{{0, u"a"_s},  {6, u"y"_s},       {12, u"q"_s},   {16, u"z"_s}, {27, u"ß"_s},
                    {50, u"^"_s}, {10, u"`"_s},      {49, u" "_s},   {41, u"ö"_s}, {130, u"x"_s},
                    {1, u" "_s},  {120, u"abcde"_s}, {121, u" \t"_s}};

class TestKeyLayout : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { KeyLabel::installLayoutTranslation({}); }
    void translatesWithTheDisplayActionAndNoModifiers();
    void captionsFollowTheLayout_data();
    void captionsFollowTheLayout();
    void keyCodeTypingSearchesTheLayout_data();
    void keyCodeTypingSearchesTheLayout();
};

void TestKeyLayout::translatesWithTheDisplayActionAndNoModifiers()
{
    SimulatedTextInputSources sources;
    sources.layout = german;
    sources.simulatedKeyboardType = 43;
    const KeyLayoutTranslation translate(sources);

    QCOMPARE(translate(6), std::optional(u"y"_s));
    QCOMPARE(sources.lastTranslation.keyAction, 3);
    QCOMPARE(sources.lastTranslation.modifierKeyState, 0u);
    QCOMPARE(sources.lastTranslation.keyboardType, 43u);
    QCOMPARE(sources.lastTranslation.options, 0u);
    QCOMPARE(sources.lastTranslation.deadKeyState, 0u);
    QCOMPARE(sources.lastTranslation.maxLength, 4);
    QCOMPARE(translate(120), std::nullopt); // more than four units
    QCOMPARE(translate(99), std::nullopt);  // types nothing

    sources.layout.reset();
    QCOMPARE(translate(6), std::nullopt);
}

void TestKeyLayout::captionsFollowTheLayout_data()
{
    QTest::addColumn<bool>("hasLayout");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<QString>("caption");

    QTest::newRow("swapped letter") << true << 6 << u"Y"_s;
    QTest::newRow("full upper-case mapping") << true << 27 << u"SS"_s;
    QTest::newRow("umlaut") << true << 41 << u"Ö"_s;
    QTest::newRow("blank falls back to QWERTY") << true << 1 << u"S"_s;
    QTest::newRow("white space only falls back") << true << 121 << u"Key 121"_s;
    QTest::newRow("no layout data: QWERTY") << false << 12 << u"Q"_s;
    QTest::newRow("no layout data: digit") << false << 29 << u"0"_s;
}

void TestKeyLayout::captionsFollowTheLayout()
{
    QFETCH(bool, hasLayout);
    QFETCH(int, keyCode);
    QFETCH(QString, caption);
    SimulatedTextInputSources sources;
    if (hasLayout)
        sources.layout = german;
    KeyLabel::installLayoutTranslation(KeyLayoutTranslation(sources));
    QCOMPARE(KeyLabel::label(PhysicalKeyCode(keyCode)), caption);
}

void TestKeyLayout::keyCodeTypingSearchesTheLayout_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<std::optional<PhysicalKeyCode>>("keyCode");

    using Code = std::optional<PhysicalKeyCode>;
    QTest::newRow("lower-case letter") << u"z"_s << Code(16);
    QTest::newRow("upper-case letter") << u"Z"_s << Code(16);
    QTest::newRow("grave accent") << u"`"_s << Code(10);
    QTest::newRow("beyond 127 not searched") << u"x"_s << Code();
    QTest::newRow("typed by no key") << u"€"_s << Code();
}

void TestKeyLayout::keyCodeTypingSearchesTheLayout()
{
    QFETCH(QString, character);
    QFETCH(std::optional<PhysicalKeyCode>, keyCode);
    SimulatedTextInputSources sources;
    sources.layout = german;
    KeyLabel::installLayoutTranslation(KeyLayoutTranslation(sources));
    QCOMPARE(KeyLabel::keyCode(character), keyCode);
}

QTEST_GUILESS_MAIN(TestKeyLayout)
#include "tst_keylayout.moc"
