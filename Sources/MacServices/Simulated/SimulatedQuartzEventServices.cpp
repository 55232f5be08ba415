#include "SimulatedQuartzEventServices.h"

#include <QMetaObject>

namespace {
constexpr std::uint32_t keyCodeField = 9;
constexpr std::uint32_t autorepeatField = 8;
} // namespace

QuartzEvent SimulatedQuartzEventServices::keyEvent(std::uint32_t type, std::uint16_t keyCode,
                                                   std::uint64_t flags, bool isRepeat)
{
    QuartzEvent event;
    event.type = type;
    event.flags = flags;
    event.fields.insert(keyCodeField, keyCode);
    event.fields.insert(autorepeatField, isRepeat ? 1 : 0);
    return event;
}

std::optional<QuartzEvent> SimulatedQuartzEventServices::deliver(QuartzEvent event)
{
    // By index: a callback may create taps.
    for (std::size_t i = 0; i < createdTaps.size(); ++i) {
        QuartzEventTap* tap = createdTaps[i].get();
        if (!tap->enabled || !tap->inRunLoop || !(tap->eventsOfInterest & (std::uint64_t(1) << event.type)))
            continue;
        QuartzEvent* result = tap->callback(event.type, &event);
        if (!result)
            return std::nullopt;
        event = *result;
    }
    received.append(event);
    return event;
}

void SimulatedQuartzEventServices::disableTaps(std::uint32_t type)
{
    for (std::size_t i = 0; i < createdTaps.size(); ++i) {
        QuartzEventTap* tap = createdTaps[i].get();
        if (!tap->enabled || !tap->inRunLoop)
            continue;
        tap->enabled = false;
        QuartzEvent notice;
        notice.type = type;
        tap->callback(type, &notice);
    }
}

QList<QuartzEvent> SimulatedQuartzEventServices::posted() const
{
    QMutexLocker lock(&postedMutex);
    return postedEvents;
}

QList<const QuartzEventTap*> SimulatedQuartzEventServices::taps() const
{
    QList<const QuartzEventTap*> list;
    for (const auto& tap : createdTaps)
        list.append(tap.get());
    return list;
}

int SimulatedQuartzEventServices::tapsInRunLoop() const
{
    int count = 0;
    for (const auto& tap : createdTaps)
        count += tap->inRunLoop ? 1 : 0;
    return count;
}

QuartzEventTap* SimulatedQuartzEventServices::tapCreate(std::uint32_t location, std::uint32_t placement,
                                                        std::uint32_t options, std::uint64_t eventsOfInterest,
                                                        TapCallback callback)
{
    if (refusesTaps)
        return nullptr;
    auto tap = std::make_unique<QuartzEventTap>();
    *tap = {location, placement, options, eventsOfInterest, callback, true, false};
    createdTaps.push_back(std::move(tap));
    return createdTaps.back().get();
}

void SimulatedQuartzEventServices::tapEnable(QuartzEventTap* tap, bool enable)
{
    tap->enabled = enable;
}

QuartzRunLoopSource* SimulatedQuartzEventServices::machPortCreateRunLoopSource(QuartzEventTap* tap, long)
{
    createdSources.push_back(std::make_unique<QuartzRunLoopSource>(QuartzRunLoopSource{tap}));
    return createdSources.back().get();
}

void SimulatedQuartzEventServices::addSourceToMainRunLoopCommonModes(QuartzRunLoopSource* source)
{
    source->tap->inRunLoop = true;
}

void SimulatedQuartzEventServices::removeSourceFromMainRunLoopCommonModes(QuartzRunLoopSource* source)
{
    source->tap->inRunLoop = false;
}

void SimulatedQuartzEventServices::release(QuartzEventTap*) {}

void SimulatedQuartzEventServices::release(QuartzRunLoopSource*) {}

std::int64_t SimulatedQuartzEventServices::eventGetIntegerValueField(QuartzEvent* event, std::uint32_t field)
{
    return event->fields.value(field, 0);
}

void SimulatedQuartzEventServices::eventSetIntegerValueField(QuartzEvent* event, std::uint32_t field,
                                                             std::int64_t value)
{
    event->fields.insert(field, value);
}

std::uint64_t SimulatedQuartzEventServices::eventGetFlags(QuartzEvent* event)
{
    return event->flags;
}

void SimulatedQuartzEventServices::eventSetFlags(QuartzEvent* event, std::uint64_t flags)
{
    event->flags = flags;
}

QuartzEvent* SimulatedQuartzEventServices::eventCreateKeyboardEvent(PhysicalKeyCode virtualKey,
                                                                    bool isKeyDown)
{
    return new QuartzEvent(keyEvent(isKeyDown ? keyDown : keyUp, virtualKey));
}

void SimulatedQuartzEventServices::eventPost(std::uint32_t tapLocation, QuartzEvent* event)
{
    QuartzEvent copy = *event;
    copy.postedAt = tapLocation;
    {
        QMutexLocker lock(&postedMutex);
        postedEvents.append(copy);
    }
    QMetaObject::invokeMethod(
        this, [this, copy] { deliver(copy); }, Qt::QueuedConnection);
}

void SimulatedQuartzEventServices::release(QuartzEvent* event)
{
    delete event;
}
