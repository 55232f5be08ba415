#include "LoginItem.h"

#include "ServiceManagement.h"

std::optional<QString> LoginItem::set(ServiceManagement& service, bool enabled)
{
    return enabled ? service.registerMainApp() : service.unregisterMainApp();
}

bool LoginItem::isEnabled(ServiceManagement& service)
{
    return service.mainAppStatus() == ServiceManagement::Status::enabled;
}
