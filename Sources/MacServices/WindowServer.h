#pragma once

#include <QList>
#include <QVariantMap>

#include <cstdint>
#include <optional>

// The window server's list of windows.
class WindowServer {
public:
    virtual ~WindowServer() = default;

    // Window descriptions front to back ("kCGWindowLayer", "kCGWindowOwnerPID", ...); nothing when
    // unavailable.
    virtual std::optional<QList<QVariantMap>> windowListCopyWindowInfo(std::uint32_t options,
                                                                       std::uint32_t relativeToWindow) = 0;
};
