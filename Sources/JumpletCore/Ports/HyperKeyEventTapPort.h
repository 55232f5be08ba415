#pragma once

#include "Model/HyperKeyDisposition.h"
#include "Model/RawKeyEvent.h"

#include <functional>

// The keyboard hook: every key event goes to the handler, which says what becomes of it.
class HyperKeyEventTapPort {
public:
    using Handler = std::function<HyperKeyDisposition(const RawKeyEvent&)>;

    virtual ~HyperKeyEventTapPort() = default;

    // Installs the hook (replacing a running one); false when the system refuses it.
    virtual bool start(Handler handler) = 0;
    // Removes the hook; harmless when none is installed.
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};
