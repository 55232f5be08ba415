#include "Logic/HyperKeyStateMachine.h"
#include "Model/HyperKeyTrigger.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr PhysicalKeyCode keyJ = 38; // bound to an application
constexpr PhysicalKeyCode keyK = 40; // unbound
constexpr double interval = 0.5;

// Drives a machine from a script of events such as "T+ J+ J+r J- T-@0.2" and writes down what it answers.
//   T = the trigger, J = a bound key, K = an unbound key; + down, - up, +r a repeat; @t sets the clock first.
// Answers: S suppress, P passThrough, H passThroughAsHyper, E sendEscape, A perform(activate), C
// toggleCapsLock.
struct Harness {
    bool sendsEscape = true;
    bool togglesCapsLock = true;
    double clock = 0;
    QString held; // "1" and "0" for each held notification
    int resolveCalls = 0;
    HyperKeyStateMachine machine;

    Harness(bool escape, bool toggle)
        : sendsEscape(escape), togglesCapsLock(toggle),
          machine(
              HyperKeyTrigger::virtualKeyCode, [this] { return sendsEscape; },
              [this] { return togglesCapsLock; }, interval, [this] { return clock; },
              [this](bool isHeld) { held += isHeld ? u'1' : u'0'; },
              [this](PhysicalKeyCode code) -> std::optional<HyperKeyAction> {
                  ++resolveCalls;
                  if (code == keyJ)
                      return HyperKeyAction::activate(u"com.example.J"_s);
                  return std::nullopt;
              })
    {
    }

    static QString letter(const HyperKeyDisposition& disposition)
    {
        using Kind = HyperKeyDisposition::Kind;
        switch (disposition.kind) {
        case Kind::suppress:
            return u"S"_s;
        case Kind::passThrough:
            return u"P"_s;
        case Kind::passThroughAsHyper:
            return u"H"_s;
        case Kind::sendEscape:
            return u"E"_s;
        case Kind::perform:
            if (disposition.action == HyperKeyAction::activate(u"com.example.J"_s))
                return u"A"_s;
            if (disposition.action == HyperKeyAction::toggleCapsLock())
                return u"C"_s;
            return u"?"_s;
        }
        return u"?"_s;
    }

    QString run(const QString& script)
    {
        QStringList answers;
        for (const QString& token : script.split(u' ', Qt::SkipEmptyParts)) {
            QString event = token.section(u'@', 0, 0);
            if (token.contains(u'@'))
                clock = token.section(u'@', 1).toDouble();
            const PhysicalKeyCode code = event.at(0) == u'T'   ? HyperKeyTrigger::virtualKeyCode
                                         : event.at(0) == u'J' ? keyJ
                                                               : keyK;
            const auto kind = event.at(1) == u'+' ? RawKeyEventKind::keyDown : RawKeyEventKind::keyUp;
            const int callsBefore = resolveCalls;
            answers.append(letter(machine.handle(RawKeyEvent{code, kind, event.endsWith(u'r')})));
            if (resolveCalls - callsBefore > 1)
                answers.last() += u"!"_s; // resolved more than once for one event
        }
        return answers.join(u' ');
    }
};

} // namespace

class HyperKeyStateMachineTest : public QObject {
    Q_OBJECT

private slots:
    void scenarios_data();
    void scenarios();
    void resolvesOnlyWhileTheTriggerIsHeld();
    void readsTheSettingsAtEachTap();
    void defaultClockIsMonotonicSeconds();
};

void HyperKeyStateMachineTest::scenarios_data()
{
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("held");

    QTest::newRow("tap sends escape") << true << true << "T+ T-"
                                      << "S E"
                                      << "10";
    QTest::newRow("tap with escape off") << false << true << "T+ T-"
                                         << "S S"
                                         << "10";
    QTest::newRow("double tap toggles, a third tap does not") << true << true << "T+ T-@0 T+ T-@0.2 T+ T-@0.3"
                                                              << "S E S C S E"
                                                              << "101010";
    QTest::newRow("double tap at exactly the interval") << true << true << "T+ T-@1 T+ T-@1.5"
                                                        << "S E S C"
                                                        << "1010";
    QTest::newRow("just past the interval starts a new tap")
        << true << true << "T+ T-@1 T+ T-@1.5001 T+ T-@1.9"
        << "S E S E S C"
        << "101010";
    QTest::newRow("double tap with toggle off") << true << false << "T+ T-@0 T+ T-@0.1"
                                                << "S E S E"
                                                << "1010";
    QTest::newRow("another key between taps breaks the double tap")
        << true << true << "T+ T-@0 K+ K- T+ T-@0.1"
        << "S E P P S E"
        << "1010";
    QTest::newRow("a chord between taps breaks the double tap")
        << true << true << "T+ T-@0 T+ K+ K- T-@0.1 T+ T-@0.2"
        << "S E S H H S S E"
        << "101010";
    QTest::newRow("bound chord with repeat") << true << true << "T+ J+ J+r J- T-"
                                             << "S A S S S"
                                             << "10";
    QTest::newRow("bound key released after the trigger") << true << true << "T+ J+ T- J-"
                                                          << "S A S S"
                                                          << "10";
    QTest::newRow("unbound chord") << true << true << "T+ K+ K- T-"
                                   << "S H H S"
                                   << "10";
    QTest::newRow("key pressed before the trigger") << true << true << "K+ T+ K- T-"
                                                    << "P S H E"
                                                    << "10";
    QTest::newRow("plain typing passes through") << true << true << "K+ K- J+ J+r J-"
                                                 << "P P P P P"
                                                 << "";
    QTest::newRow("trigger repeats keep the chord") << true << true << "T+ K+ K- T+r T+r T-"
                                                    << "S H H S S S"
                                                    << "10";
    QTest::newRow("non-repeat trigger down clears the chord") << true << true << "T+ K+ K- T+ T-"
                                                              << "S H H S E"
                                                              << "10";
    QTest::newRow("lost key-up: consumed key pressed again alone") << true << true << "T+ J+ T- J+ J-"
                                                                   << "S A S P P"
                                                                   << "10";
    QTest::newRow("trigger up without a down counts as a tap") << true << true << "T-"
                                                               << "E"
                                                               << "";
    QTest::newRow("repeat of the trigger first reports held") << true << true << "T+r T-"
                                                              << "S E"
                                                              << "10";
    QTest::newRow("unbound repeat with trigger held") << true << true << "T+ K+ K+r K- T-"
                                                      << "S H H H S"
                                                      << "10";
}

void HyperKeyStateMachineTest::scenarios()
{
    QFETCH(bool, escape);
    QFETCH(bool, toggle);
    QFETCH(QString, script);
    QFETCH(QString, answers);
    QFETCH(QString, held);

    Harness harness(escape, toggle);
    QCOMPARE(harness.run(script), answers);
    QCOMPARE(harness.held, held);
}

void HyperKeyStateMachineTest::resolvesOnlyWhileTheTriggerIsHeld()
{
    Harness harness(true, true);
    harness.run(u"J+ J- K+ K- J+ J-"_s);
    QCOMPARE(harness.resolveCalls, 0);
    harness.run(u"T+ J+ J+r J- K+ K- T-"_s);
    QCOMPARE(harness.resolveCalls, 3);
}

void HyperKeyStateMachineTest::readsTheSettingsAtEachTap()
{
    Harness harness(true, true);
    QCOMPARE(harness.run(u"T+ T-@0"_s), u"S E"_s);
    harness.sendsEscape = false;
    harness.togglesCapsLock = false;
    QCOMPARE(harness.run(u"T+ T-@0.1"_s), u"S S"_s);
    harness.togglesCapsLock = true;
    QCOMPARE(harness.run(u"T+ T-@0.2"_s), u"S C"_s);
}

void HyperKeyStateMachineTest::defaultClockIsMonotonicSeconds()
{
    const double first = HyperKeyStateMachine::systemUptime();
    QTest::qWait(20);
    const double elapsed = HyperKeyStateMachine::systemUptime() - first;
    QVERIFY(elapsed >= 0.015 && elapsed < 5);
}

QTEST_GUILESS_MAIN(HyperKeyStateMachineTest)
#include "tst_hyperkeystatemachine.moc"
