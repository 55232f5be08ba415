#include "HyperKeyStateMachine.h"

#include <chrono>

HyperKeyStateMachine::HyperKeyStateMachine(PhysicalKeyCode triggerKeyCode,
                                           std::function<bool()> sendsEscapeWhenTappedAlone,
                                           std::function<bool()> togglesCapsLockOnDoubleTap,
                                           double doubleTapInterval, std::function<double()> now,
                                           std::function<void(bool)> onTriggerHeldChanged,
                                           BindingResolver resolveBinding)
    : triggerKeyCode(triggerKeyCode), resolveBinding(std::move(resolveBinding)),
      sendsEscapeWhenTappedAlone(std::move(sendsEscapeWhenTappedAlone)),
      togglesCapsLockOnDoubleTap(std::move(togglesCapsLockOnDoubleTap)), doubleTapInterval(doubleTapInterval),
      now(std::move(now)), onTriggerHeldChanged(std::move(onTriggerHeldChanged))
{
}

HyperKeyStateMachine::HyperKeyStateMachine(PhysicalKeyCode triggerKeyCode,
                                           std::function<bool()> sendsEscapeWhenTappedAlone,
                                           std::function<bool()> togglesCapsLockOnDoubleTap,
                                           double doubleTapInterval,
                                           std::function<void(bool)> onTriggerHeldChanged,
                                           BindingResolver resolveBinding)
    : HyperKeyStateMachine(triggerKeyCode, std::move(sendsEscapeWhenTappedAlone),
                           std::move(togglesCapsLockOnDoubleTap), doubleTapInterval, &systemUptime,
                           std::move(onTriggerHeldChanged), std::move(resolveBinding))
{
}

double HyperKeyStateMachine::systemUptime()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

HyperKeyDisposition HyperKeyStateMachine::handle(const RawKeyEvent& event)
{
    if (event.keyCode == triggerKeyCode) {
        if (event.kind == RawKeyEventKind::keyUp)
            return handleTriggerUp();
        if (!event.isRepeat)
            wasOtherKeyPressed = false;
        if (!isTriggerHeld)
            onTriggerHeldChanged(true);
        isTriggerHeld = true;
        return HyperKeyDisposition::suppress();
    }

    if (event.kind == RawKeyEventKind::keyDown)
        return handleOtherKeyDown(event);

    if (consumedKeyCodes.test(event.keyCode)) {
        consumedKeyCodes.reset(event.keyCode);
        return HyperKeyDisposition::suppress();
    }
    return isTriggerHeld ? HyperKeyDisposition::passThroughAsHyper() : HyperKeyDisposition::passThrough();
}

HyperKeyDisposition HyperKeyStateMachine::handleTriggerUp()
{
    if (isTriggerHeld)
        onTriggerHeldChanged(false);
    isTriggerHeld = false;
    if (wasOtherKeyPressed)
        return HyperKeyDisposition::suppress();

    // A clean tap: the second of two within the interval toggles Caps Lock instead of sending Escape.
    const double tapTime = now();
    if (togglesCapsLockOnDoubleTap() && lastTapTime && tapTime - *lastTapTime <= doubleTapInterval) {
        lastTapTime.reset();
        return HyperKeyDisposition::perform(HyperKeyAction::toggleCapsLock());
    }
    lastTapTime = tapTime;
    return sendsEscapeWhenTappedAlone() ? HyperKeyDisposition::sendEscape() : HyperKeyDisposition::suppress();
}

HyperKeyDisposition HyperKeyStateMachine::handleOtherKeyDown(const RawKeyEvent& event)
{
    // A fresh key-down drops a consumed entry whose key-up never arrived.
    if (!event.isRepeat)
        consumedKeyCodes.reset(event.keyCode);
    lastTapTime.reset();
    if (!isTriggerHeld)
        return HyperKeyDisposition::passThrough();

    wasOtherKeyPressed = true;
    std::optional<HyperKeyAction> action = resolveBinding(event.keyCode);
    if (!action)
        return HyperKeyDisposition::passThroughAsHyper();
    if (event.isRepeat)
        return HyperKeyDisposition::suppress();
    consumedKeyCodes.set(event.keyCode);
    return HyperKeyDisposition::perform(std::move(*action));
}
