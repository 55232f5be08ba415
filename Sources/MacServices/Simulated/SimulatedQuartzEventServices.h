#pragma once

#include "QuartzEventServices.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

struct QuartzEvent {
    std::uint32_t type = 0;
    std::uint64_t flags = 0;
    QHash<std::uint32_t, std::int64_t> fields;
    std::uint32_t postedAt = 0; // the tap location of a posted event
};

struct QuartzEventTap {
    std::uint32_t location = 0;
    std::uint32_t placement = 0;
    std::uint32_t options = 0;
    std::uint64_t eventsOfInterest = 0;
    QuartzEventServices::TapCallback callback = nullptr;
    bool enabled = false;
    bool inRunLoop = false;
};

struct QuartzRunLoopSource {
    QuartzEventTap* tap = nullptr;
};

// Event taps in memory. Key events sent by a test pass through the installed, enabled taps in the order they
// were created; posted events are recorded and come back through the taps on the next turn of the event loop
// of the thread the simulation lives on, as the system delivers them.
class SimulatedQuartzEventServices : public QObject, public QuartzEventServices {
public:
    static constexpr std::uint32_t keyDown = 10;
    static constexpr std::uint32_t keyUp = 11;
    static constexpr std::uint32_t flagsChanged = 12;

    static QuartzEvent keyEvent(std::uint32_t type, std::uint16_t keyCode, std::uint64_t flags = 0,
                                bool isRepeat = false);

    // Sends an event through the taps: what the applications receive, or nothing when a tap swallowed it.
    std::optional<QuartzEvent> deliver(QuartzEvent event);
    // The system disables every enabled tap and tells each callback with the given type.
    void disableTaps(std::uint32_t type);

    QList<QuartzEvent> posted() const;
    // Every event that made it through the taps, the sent ones and the posted ones.
    QList<QuartzEvent> receivedByApplications() const { return received; }
    // All taps ever created, in creation order.
    QList<const QuartzEventTap*> taps() const;
    int tapsInRunLoop() const;

    bool refusesTaps = false;

    QuartzEventTap* tapCreate(std::uint32_t location, std::uint32_t placement, std::uint32_t options,
                              std::uint64_t eventsOfInterest, TapCallback callback) override;
    void tapEnable(QuartzEventTap* tap, bool enable) override;
    QuartzRunLoopSource* machPortCreateRunLoopSource(QuartzEventTap* tap, long order) override;
    void addSourceToMainRunLoopCommonModes(QuartzRunLoopSource* source) override;
    void removeSourceFromMainRunLoopCommonModes(QuartzRunLoopSource* source) override;
    void release(QuartzEventTap* tap) override;
    void release(QuartzRunLoopSource* source) override;
    std::int64_t eventGetIntegerValueField(QuartzEvent* event, std::uint32_t field) override;
    void eventSetIntegerValueField(QuartzEvent* event, std::uint32_t field, std::int64_t value) override;
    std::uint64_t eventGetFlags(QuartzEvent* event) override;
    void eventSetFlags(QuartzEvent* event, std::uint64_t flags) override;
    QuartzEvent* eventCreateKeyboardEvent(PhysicalKeyCode virtualKey, bool keyDown) override;
    void eventPost(std::uint32_t tapLocation, QuartzEvent* event) override;
    void release(QuartzEvent* event) override;

private:
    // Taps and sources stay alive with the simulation, as the run loop keeps them in the system.
    std::vector<std::unique_ptr<QuartzEventTap>> createdTaps;
    std::vector<std::unique_ptr<QuartzRunLoopSource>> createdSources;
    QList<QuartzEvent> received;
    mutable QMutex postedMutex;
    QList<QuartzEvent> postedEvents;
};
