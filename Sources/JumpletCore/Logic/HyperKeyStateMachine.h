#pragma once

#include "Model/HyperKeyDisposition.h"
#include "Model/RawKeyEvent.h"

#include <bitset>
#include <functional>
#include <optional>

// Turns every key event the tap sees into what the tap must do with it: the trigger's hold, chords with the
// trigger held, taps and double taps, and the key-ups that belong to swallowed key-downs.
// Not thread-safe: one thread calls handle, and the functions it is given must be cheap.
class HyperKeyStateMachine {
public:
    using BindingResolver = std::function<std::optional<HyperKeyAction>(PhysicalKeyCode)>;

    HyperKeyStateMachine(PhysicalKeyCode triggerKeyCode, std::function<bool()> sendsEscapeWhenTappedAlone,
                         std::function<bool()> togglesCapsLockOnDoubleTap, double doubleTapInterval,
                         std::function<double()> now, std::function<void(bool)> onTriggerHeldChanged,
                         BindingResolver resolveBinding);

    HyperKeyStateMachine(PhysicalKeyCode triggerKeyCode, std::function<bool()> sendsEscapeWhenTappedAlone,
                         std::function<bool()> togglesCapsLockOnDoubleTap, double doubleTapInterval,
                         std::function<void(bool)> onTriggerHeldChanged, BindingResolver resolveBinding);

    HyperKeyDisposition handle(const RawKeyEvent& event);

    // Seconds on a monotonic clock: the default time source.
    static double systemUptime();

private:
    HyperKeyDisposition handleTriggerUp();
    HyperKeyDisposition handleOtherKeyDown(const RawKeyEvent& event);

    PhysicalKeyCode triggerKeyCode;
    BindingResolver resolveBinding;
    std::function<bool()> sendsEscapeWhenTappedAlone;
    std::function<bool()> togglesCapsLockOnDoubleTap;
    double doubleTapInterval;
    std::function<double()> now;
    std::function<void(bool)> onTriggerHeldChanged;

    bool isTriggerHeld = false;
    bool wasOtherKeyPressed = false;
    // One bit per possible key code: constant-time and never allocates on the key path.
    std::bitset<65536> consumedKeyCodes;
    std::optional<double> lastTapTime;
};
