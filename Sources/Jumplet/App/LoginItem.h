#pragma once

#include <QString>

#include <optional>

class ServiceManagement;

// Starting the application at login. The state lives in the system only and is read anew each time.
namespace LoginItem {

// Registers or unregisters the application; the system's error description when that fails. No retry.
std::optional<QString> set(ServiceManagement& service, bool enabled);

// On exactly when the system reports the registration as enabled; waiting for approval counts as off.
bool isEnabled(ServiceManagement& service);

} // namespace LoginItem
