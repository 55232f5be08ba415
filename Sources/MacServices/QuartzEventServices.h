#pragma once

#include "Model/PhysicalKeyCode.h"

#include <cstdint>

// Opaque handles of the Quartz event services; each implementation defines them.
struct QuartzEvent;
struct QuartzEventTap;
struct QuartzRunLoopSource;

// The keyboard event tap and event posting, as the event services offer them.
class QuartzEventServices {
public:
    // Receives the event type and the event; returns the event to deliver or nullptr to swallow it.
    using TapCallback = QuartzEvent* (*)(std::uint32_t type, QuartzEvent* event);

    virtual ~QuartzEventServices() = default;

    // nullptr when the system refuses the tap. The callback gets no user data.
    virtual QuartzEventTap* tapCreate(std::uint32_t location, std::uint32_t placement, std::uint32_t options,
                                      std::uint64_t eventsOfInterest, TapCallback callback) = 0;
    virtual void tapEnable(QuartzEventTap* tap, bool enable) = 0;
    virtual QuartzRunLoopSource* machPortCreateRunLoopSource(QuartzEventTap* tap, long order) = 0;
    virtual void addSourceToMainRunLoopCommonModes(QuartzRunLoopSource* source) = 0;
    virtual void removeSourceFromMainRunLoopCommonModes(QuartzRunLoopSource* source) = 0;
    virtual void release(QuartzEventTap* tap) = 0;
    virtual void release(QuartzRunLoopSource* source) = 0;

    virtual std::int64_t eventGetIntegerValueField(QuartzEvent* event, std::uint32_t field) = 0;
    virtual void eventSetIntegerValueField(QuartzEvent* event, std::uint32_t field, std::int64_t value) = 0;
    virtual std::uint64_t eventGetFlags(QuartzEvent* event) = 0;
    virtual void eventSetFlags(QuartzEvent* event, std::uint64_t flags) = 0;
    // A keyboard event without an event source; nullptr when it cannot be made.
    virtual QuartzEvent* eventCreateKeyboardEvent(PhysicalKeyCode virtualKey, bool keyDown) = 0;
    virtual void eventPost(std::uint32_t tapLocation, QuartzEvent* event) = 0;
    virtual void release(QuartzEvent* event) = 0;
};
