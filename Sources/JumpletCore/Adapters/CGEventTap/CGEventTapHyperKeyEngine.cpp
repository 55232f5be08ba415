#include "CGEventTapHyperKeyEngine.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcCGEventTapHyperKeyEngine, "CGEventTapHyperKeyEngine")

namespace {
constexpr std::uint32_t sessionEventTap = 1;
constexpr std::uint32_t headInsertEventTap = 0;
constexpr std::uint32_t defaultTapOptions = 0;
constexpr std::uint32_t hidEventTap = 0;
constexpr std::uint32_t keyDown = 10;
constexpr std::uint32_t keyUp = 11;
constexpr std::uint64_t keyEventsMask = (std::uint64_t(1) << keyDown) | (std::uint64_t(1) << keyUp);
constexpr std::uint32_t firstTapDisabledType = 0xFFFFFFFE;
constexpr std::uint32_t autorepeatField = 8;
constexpr std::uint32_t keycodeField = 9;
constexpr std::uint64_t hyperFlags =
    0x20000 | 0x40000 | 0x80000 | 0x100000; // Shift, Control, Option, Command
constexpr PhysicalKeyCode escapeKey = 53;
} // namespace

CGEventTapHyperKeyEngine* CGEventTapHyperKeyEngine::currentEngine = nullptr;

CGEventTapHyperKeyEngine::CGEventTapHyperKeyEngine(QuartzEventServices& events) : events(events) {}

CGEventTapHyperKeyEngine::~CGEventTapHyperKeyEngine()
{
    releaseReferences();
    if (currentEngine == this)
        currentEngine = nullptr;
}

bool CGEventTapHyperKeyEngine::start(Handler newHandler)
{
    stop();
    QuartzEventTap* created =
        events.tapCreate(sessionEventTap, headInsertEventTap, defaultTapOptions, keyEventsMask, &callback);
    if (!created) {
        qCCritical(lcCGEventTapHyperKeyEngine, "CGEvent.tapCreate failed — missing Accessibility permission");
        return false;
    }
    handler = std::move(newHandler);
    tap = created;
    currentEngine = this;
    runLoopSource = events.machPortCreateRunLoopSource(tap, 0);
    events.addSourceToMainRunLoopCommonModes(runLoopSource);
    events.tapEnable(tap, true);
    return true;
}

void CGEventTapHyperKeyEngine::stop()
{
    if (tap)
        events.tapEnable(tap, false);
    if (runLoopSource)
        events.removeSourceFromMainRunLoopCommonModes(runLoopSource);
    releaseReferences();
    handler = nullptr;
    if (currentEngine == this)
        currentEngine = nullptr;
}

void CGEventTapHyperKeyEngine::releaseReferences()
{
    if (runLoopSource)
        events.release(runLoopSource);
    if (tap)
        events.release(tap);
    runLoopSource = nullptr;
    tap = nullptr;
}

QuartzEvent* CGEventTapHyperKeyEngine::callback(std::uint32_t type, QuartzEvent* event)
{
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    if (!currentEngine)
        return event;
    return currentEngine->handle(type, event);
}

QuartzEvent* CGEventTapHyperKeyEngine::handle(std::uint32_t type, QuartzEvent* event)
{
    if (type >= firstTapDisabledType) {
        qCCritical(lcCGEventTapHyperKeyEngine, "event tap was disabled by the system; re-enabling");
        if (tap)
            events.tapEnable(tap, true);
        return event;
    }
    if (type != keyDown && type != keyUp)
        return event;
    if (!handler)
        return event;
    if (events.eventGetIntegerValueField(event, sourceUserDataField) == syntheticEventMarker)
        return event;

    RawKeyEvent raw;
    raw.keyCode = static_cast<PhysicalKeyCode>(events.eventGetIntegerValueField(event, keycodeField));
    raw.kind = type == keyUp ? RawKeyEventKind::keyUp : RawKeyEventKind::keyDown;
    raw.isRepeat = events.eventGetIntegerValueField(event, autorepeatField) != 0;

    const HyperKeyDisposition disposition = handler(raw);
    switch (disposition.kind) {
    case HyperKeyDisposition::Kind::passThrough:
        return event;
    case HyperKeyDisposition::Kind::passThroughAsHyper:
        events.eventSetFlags(event, events.eventGetFlags(event) | hyperFlags);
        return event;
    case HyperKeyDisposition::Kind::sendEscape:
        postEscape();
        return nullptr;
    case HyperKeyDisposition::Kind::suppress:
    case HyperKeyDisposition::Kind::perform:
        return nullptr;
    }
    return event;
}

void CGEventTapHyperKeyEngine::postEscape()
{
    for (const bool keyDownEvent : {true, false}) {
        QuartzEvent* escape = events.eventCreateKeyboardEvent(escapeKey, keyDownEvent);
        if (!escape)
            continue;
        events.eventSetIntegerValueField(escape, sourceUserDataField, syntheticEventMarker);
        events.eventPost(hidEventTap, escape);
        events.release(escape);
    }
}
