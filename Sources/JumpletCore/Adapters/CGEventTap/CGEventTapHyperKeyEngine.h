#pragma once

#include "Ports/HyperKeyEventTapPort.h"

#include "QuartzEventServices.h"

#include <cstdint>

// The keyboard hook of macOS: a Quartz event tap on the session that asks the handler about every key event.
class CGEventTapHyperKeyEngine : public HyperKeyEventTapPort {
public:
    // Written into every event the program posts, so that its own tap lets them through.
    static constexpr std::int64_t syntheticEventMarker = 0x4A704C74;
    static constexpr std::uint32_t sourceUserDataField = 42;

    explicit CGEventTapHyperKeyEngine(QuartzEventServices& events);
    // Drops the references only: the tap stays installed, but with no current engine it passes everything.
    ~CGEventTapHyperKeyEngine() override;

    bool start(Handler handler) override;
    void stop() override;
    bool isRunning() const override { return tap != nullptr; }

    // The engine whose tap receives the events: the one that started last.
    static CGEventTapHyperKeyEngine* current() { return currentEngine; }

private:
    // The tap carries no user data, so the callback finds its engine through current().
    static QuartzEvent* callback(std::uint32_t type, QuartzEvent* event);
    QuartzEvent* handle(std::uint32_t type, QuartzEvent* event);
    void postEscape();
    void releaseReferences();

    QuartzEventServices& events;
    QuartzEventTap* tap = nullptr;
    QuartzRunLoopSource* runLoopSource = nullptr;
    Handler handler;

    static CGEventTapHyperKeyEngine* currentEngine;
};
