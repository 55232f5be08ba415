#include "SimulatedHIDSystem.h"

namespace {
constexpr HIDSystem::Object service = 7;
constexpr HIDSystem::Object connection = 8;
constexpr int capsLockSelector = 1;
} // namespace

HIDSystem::Object SimulatedHIDSystem::getMatchingService()
{
    if (!hasService)
        return 0;
    ++retainedServices;
    return service;
}

HIDSystem::Object SimulatedHIDSystem::open(Object, std::uint32_t type)
{
    lastConnectionType = type;
    if (refusesConnection)
        return 0;
    ++openConnections;
    return connection;
}

std::optional<bool> SimulatedHIDSystem::getModifierLockState(Object, int selector)
{
    if (readFails || selector != capsLockSelector)
        return std::nullopt;
    return capsLock;
}

bool SimulatedHIDSystem::setModifierLockState(Object, int selector, bool state)
{
    if (setFails || selector != capsLockSelector)
        return false;
    capsLock = state;
    return true;
}

void SimulatedHIDSystem::close(Object)
{
    --openConnections;
}

void SimulatedHIDSystem::release(Object)
{
    --retainedServices;
}
