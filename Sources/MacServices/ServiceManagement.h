#pragma once

#include <QString>

#include <optional>

// Registration of this application as a login item.
class ServiceManagement {
public:
    enum class Status { notRegistered, enabled, requiresApproval, notFound };

    virtual ~ServiceManagement() = default;

    // Nothing on success, else the system's localized error description.
    virtual std::optional<QString> registerMainApp() = 0;
    virtual std::optional<QString> unregisterMainApp() = 0;
    virtual Status mainAppStatus() = 0;
};
