#include "SimulatedPreferenceDomains.h"

void SimulatedPreferenceDomains::synchronizeGlobalDomain()
{
    ++synchronizations;
}

std::optional<QStringList> SimulatedPreferenceDomains::copyGlobalDomainKeyList()
{
    if (globalDomain.isEmpty())
        return std::nullopt;
    return globalDomain.keys();
}

QVariant SimulatedPreferenceDomains::copyGlobalDomainValue(const QString& key)
{
    return globalDomain.value(key);
}

QVariant SimulatedPreferenceDomains::suiteValue(const QString& suiteName, const QString& key)
{
    return suites.value(suiteName).value(key);
}
