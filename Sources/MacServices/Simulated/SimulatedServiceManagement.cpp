#include "SimulatedServiceManagement.h"

using namespace Qt::StringLiterals;

std::optional<QString> SimulatedServiceManagement::registerMainApp()
{
    calls.append(u"register"_s);
    if (!error)
        status = Status::enabled;
    return error;
}

std::optional<QString> SimulatedServiceManagement::unregisterMainApp()
{
    calls.append(u"unregister"_s);
    if (!error)
        status = Status::notRegistered;
    return error;
}
