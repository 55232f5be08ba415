#pragma once

#include "ServiceManagement.h"

#include <QStringList>

// A login item registration; the test sets the error the system answers with.
class SimulatedServiceManagement : public ServiceManagement {
public:
    Status status = Status::notRegistered;
    std::optional<QString> error; // answered by register and unregister when set
    QStringList calls;

    std::optional<QString> registerMainApp() override;
    std::optional<QString> unregisterMainApp() override;
    Status mainAppStatus() override { return status; }
};
