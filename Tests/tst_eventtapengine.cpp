#include "CGEventTap/CGEventTapHyperKeyEngine.h"
#include "Model/HyperKeyTrigger.h"
#include "Simulated/SimulatedQuartzEventServices.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using Sim = SimulatedQuartzEventServices;
constexpr std::uint32_t markerField = CGEventTapHyperKeyEngine::sourceUserDataField;
constexpr std::uint64_t shift = 0x20000;
constexpr std::uint64_t capsLock = 0x10000;
constexpr std::uint64_t function = 0x800000;
constexpr std::uint64_t deviceBits = 0x108;
constexpr std::uint64_t hyper = 0x1E0000;

// A handler that answers one disposition and remembers what it was asked.
struct Recorder {
    HyperKeyDisposition answer = HyperKeyDisposition::passThrough();
    QList<RawKeyEvent> seen;

    HyperKeyEventTapPort::Handler handler()
    {
        return [this](const RawKeyEvent& event) {
            seen.append(event);
            return answer;
        };
    }
};

std::int64_t keyCodeOf(const QuartzEvent& event)
{
    return event.fields.value(9);
}

} // namespace

class TestEventTapEngine : public QObject {
    Q_OBJECT

private slots:
    void startInstallsAnActiveSessionTapForKeyEvents();
    void refusedTapReportsAndLogs();
    void handlerSeesTheRawEvent_data();
    void handlerSeesTheRawEvent();
    void dispositionsAreCarriedOut_data();
    void dispositionsAreCarriedOut();
    void escapeIsPostedAsAMarkedPairAndLetThroughOnItsWayBack();
    void markedAndNonKeyEventsNeverReachTheHandler();
    void startingTwiceReplacesTheTap();
    void stopIsHarmlessAndLeavesAnotherCurrentEngineAlone();
    void disabledTapIsReEnabled_data();
    void disabledTapIsReEnabled();
    void releasedEngineLetsEverythingThrough();
};

void TestEventTapEngine::startInstallsAnActiveSessionTapForKeyEvents()
{
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    QVERIFY(!engine.isRunning());
    QVERIFY(engine.start(recorder.handler()));

    QVERIFY(engine.isRunning());
    QCOMPARE(CGEventTapHyperKeyEngine::current(), &engine);
    QCOMPARE(events.taps().size(), 1);
    const QuartzEventTap* tap = events.taps().first();
    QCOMPARE(tap->location, 1u);
    QCOMPARE(tap->placement, 0u);
    QCOMPARE(tap->options, 0u);
    QCOMPARE(tap->eventsOfInterest, 0xC00u);
    QVERIFY(tap->enabled);
    QVERIFY(tap->inRunLoop);
    engine.stop();
}

void TestEventTapEngine::refusedTapReportsAndLogs()
{
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    QVERIFY(engine.start(recorder.handler()));

    events.refusesTaps = true;
    QTest::ignoreMessage(QtCriticalMsg, "CGEvent.tapCreate failed — missing Accessibility permission");
    QVERIFY(!engine.start(recorder.handler()));
    QVERIFY(!engine.isRunning());
    QCOMPARE(CGEventTapHyperKeyEngine::current(), nullptr);
    QCOMPARE(events.tapsInRunLoop(), 0);
    QVERIFY(!events.taps().first()->enabled);
}

void TestEventTapEngine::handlerSeesTheRawEvent_data()
{
    QTest::addColumn<QuartzEvent>("event");
    QTest::addColumn<RawKeyEvent>("expected");

    QTest::newRow("key down") << Sim::keyEvent(Sim::keyDown, 38)
                              << RawKeyEvent{38, RawKeyEventKind::keyDown, false};
    QTest::newRow("key up") << Sim::keyEvent(Sim::keyUp, 79)
                            << RawKeyEvent{79, RawKeyEventKind::keyUp, false};
    QTest::newRow("repeat") << Sim::keyEvent(Sim::keyDown, 38, 0, true)
                            << RawKeyEvent{38, RawKeyEventKind::keyDown, true};
    QuartzEvent wide = Sim::keyEvent(Sim::keyDown, 0);
    wide.fields[9] = 0x1000C;
    wide.fields[8] = 2;
    QTest::newRow("key code truncated to 16 bits") << wide << RawKeyEvent{12, RawKeyEventKind::keyDown, true};
}

void TestEventTapEngine::handlerSeesTheRawEvent()
{
    QFETCH(QuartzEvent, event);
    QFETCH(RawKeyEvent, expected);
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    engine.start(recorder.handler());

    events.deliver(event);
    QCOMPARE(recorder.seen, QList<RawKeyEvent>{expected});
    engine.stop();
}

void TestEventTapEngine::dispositionsAreCarriedOut_data()
{
    QTest::addColumn<HyperKeyDisposition>("disposition");
    QTest::addColumn<bool>("delivered");
    QTest::addColumn<std::uint64_t>("flags");

    const std::uint64_t held = shift | capsLock | function | deviceBits;
    QTest::newRow("pass through") << HyperKeyDisposition::passThrough() << true << held;
    QTest::newRow("as hyper, Shift already down")
        << HyperKeyDisposition::passThroughAsHyper() << true << (held | hyper);
    QTest::newRow("suppress") << HyperKeyDisposition::suppress() << false << held;
    QTest::newRow("perform") << HyperKeyDisposition::perform(HyperKeyAction::activate(u"com.example.a"_s))
                             << false << held;
}

void TestEventTapEngine::dispositionsAreCarriedOut()
{
    QFETCH(HyperKeyDisposition, disposition);
    QFETCH(bool, delivered);
    QFETCH(std::uint64_t, flags);
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    recorder.answer = disposition;
    engine.start(recorder.handler());

    const std::optional<QuartzEvent> result =
        events.deliver(Sim::keyEvent(Sim::keyDown, 38, shift | capsLock | function | deviceBits));
    QCOMPARE(result.has_value(), delivered);
    if (result) {
        QCOMPARE(result->flags, flags);
        QCOMPARE(keyCodeOf(*result), 38);
    }
    QCoreApplication::processEvents();
    QVERIFY(events.posted().isEmpty());
    engine.stop();
}

void TestEventTapEngine::escapeIsPostedAsAMarkedPairAndLetThroughOnItsWayBack()
{
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    recorder.answer = HyperKeyDisposition::sendEscape();
    engine.start(recorder.handler());

    QVERIFY(!events.deliver(Sim::keyEvent(Sim::keyUp, HyperKeyTrigger::virtualKeyCode)));
    const QList<QuartzEvent> posted = events.posted();
    QCOMPARE(posted.size(), 2);
    QCOMPARE(posted[0].type, Sim::keyDown);
    QCOMPARE(posted[1].type, Sim::keyUp);
    for (const QuartzEvent& event : posted) {
        QCOMPARE(keyCodeOf(event), 53);
        QCOMPARE(event.fields.value(markerField), CGEventTapHyperKeyEngine::syntheticEventMarker);
        QCOMPARE(event.postedAt, 0u);
    }

    // They come back through the tap on the next turn and reach the applications untouched.
    QTRY_COMPARE(events.receivedByApplications().size(), 2);
    QCOMPARE(recorder.seen.size(), 1);
    QCOMPARE(keyCodeOf(events.receivedByApplications()[0]), 53);
    QCOMPARE(events.receivedByApplications()[0].type, Sim::keyDown);
    QCOMPARE(events.receivedByApplications()[1].type, Sim::keyUp);
    engine.stop();
}

void TestEventTapEngine::markedAndNonKeyEventsNeverReachTheHandler()
{
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    recorder.answer = HyperKeyDisposition::suppress();
    engine.start(recorder.handler());

    QuartzEvent marked = Sim::keyEvent(Sim::keyDown, HyperKeyTrigger::virtualKeyCode, shift);
    marked.fields[markerField] = CGEventTapHyperKeyEngine::syntheticEventMarker;
    const std::optional<QuartzEvent> result = events.deliver(marked);
    QVERIFY(result);
    QCOMPARE(result->flags, shift);
    QCOMPARE(keyCodeOf(*result), HyperKeyTrigger::virtualKeyCode);

    // A modifier key alone is not in the mask.
    QVERIFY(events.deliver(Sim::keyEvent(Sim::flagsChanged, 56, shift)));
    QVERIFY(recorder.seen.isEmpty());

    // Another user-data value is an ordinary event.
    QuartzEvent foreign = Sim::keyEvent(Sim::keyDown, 38);
    foreign.fields[markerField] = CGEventTapHyperKeyEngine::syntheticEventMarker + 1;
    QVERIFY(!events.deliver(foreign));
    QCOMPARE(recorder.seen.size(), 1);
    engine.stop();
}

void TestEventTapEngine::startingTwiceReplacesTheTap()
{
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder first;
    Recorder second;
    engine.start(first.handler());
    engine.start(second.handler());

    QCOMPARE(events.taps().size(), 2);
    QVERIFY(!events.taps()[0]->enabled);
    QVERIFY(!events.taps()[0]->inRunLoop);
    QCOMPARE(events.tapsInRunLoop(), 1);
    events.deliver(Sim::keyEvent(Sim::keyDown, 38));
    QVERIFY(first.seen.isEmpty());
    QCOMPARE(second.seen.size(), 1);
    engine.stop();
}

void TestEventTapEngine::stopIsHarmlessAndLeavesAnotherCurrentEngineAlone()
{
    Sim events;
    CGEventTapHyperKeyEngine older(events);
    CGEventTapHyperKeyEngine newer(events);
    Recorder recorder;

    older.stop();
    QVERIFY(!older.isRunning());
    QVERIFY(events.taps().isEmpty());

    older.start(recorder.handler());
    newer.start(recorder.handler());
    QCOMPARE(CGEventTapHyperKeyEngine::current(), &newer);
    older.stop();
    QCOMPARE(CGEventTapHyperKeyEngine::current(), &newer);
    QVERIFY(newer.isRunning());
    events.deliver(Sim::keyEvent(Sim::keyDown, 38));
    QCOMPARE(recorder.seen.size(), 1);

    newer.stop();
    QCOMPARE(CGEventTapHyperKeyEngine::current(), nullptr);
    QCOMPARE(events.tapsInRunLoop(), 0);
}

void TestEventTapEngine::disabledTapIsReEnabled_data()
{
    QTest::addColumn<std::uint32_t>("type");
    QTest::newRow("by time-out") << 0xFFFFFFFEu;
    QTest::newRow("by user input") << 0xFFFFFFFFu;
}

void TestEventTapEngine::disabledTapIsReEnabled()
{
    QFETCH(std::uint32_t, type);
    Sim events;
    CGEventTapHyperKeyEngine engine(events);
    Recorder recorder;
    recorder.answer = HyperKeyDisposition::suppress();
    engine.start(recorder.handler());

    QTest::ignoreMessage(QtCriticalMsg, "event tap was disabled by the system; re-enabling");
    events.disableTaps(type);
    QVERIFY(events.taps().first()->enabled);
    QVERIFY(recorder.seen.isEmpty());
    QVERIFY(!events.deliver(Sim::keyEvent(Sim::keyDown, 38)));
    engine.stop();
}

void TestEventTapEngine::releasedEngineLetsEverythingThrough()
{
    Sim events;
    Recorder recorder;
    recorder.answer = HyperKeyDisposition::suppress();
    {
        CGEventTapHyperKeyEngine engine(events);
        engine.start(recorder.handler());
    }
    QCOMPARE(CGEventTapHyperKeyEngine::current(), nullptr);
    QCOMPARE(events.tapsInRunLoop(), 1);
    QVERIFY(events.deliver(Sim::keyEvent(Sim::keyDown, 38)));
    QVERIFY(recorder.seen.isEmpty());
}

QTEST_GUILESS_MAIN(TestEventTapEngine)
#include "tst_eventtapengine.moc"
