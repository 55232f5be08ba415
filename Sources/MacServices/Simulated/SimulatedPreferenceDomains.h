#pragma once

#include "PreferenceDomains.h"

#include <QHash>
#include <QVariantMap>

// The global domain and other applications' domains as the test fills them.
class SimulatedPreferenceDomains : public PreferenceDomains {
public:
    QVariantMap globalDomain;
    QHash<QString, QVariantMap> suites;
    int synchronizations = 0;

    void synchronizeGlobalDomain() override;
    std::optional<QStringList> copyGlobalDomainKeyList() override;
    QVariant copyGlobalDomainValue(const QString& key) override;
    QVariant suiteValue(const QString& suiteName, const QString& key) override;
};
