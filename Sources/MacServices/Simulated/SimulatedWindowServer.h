#pragma once

#include "WindowServer.h"

// A window list set by the test.
class SimulatedWindowServer : public WindowServer {
public:
    std::optional<QList<QVariantMap>> windows = QList<QVariantMap>();
    std::uint32_t lastOptions = 0;

    // A normal window (layer 0) of a process.
    static QVariantMap window(qint64 ownerPid, qint64 layer = 0);

    std::optional<QList<QVariantMap>> windowListCopyWindowInfo(std::uint32_t options,
                                                               std::uint32_t relativeToWindow) override;
};
