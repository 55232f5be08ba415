#pragma once

#include <QStringList>
#include <QVariant>

#include <optional>

// Preference domains other than the application's own. Dictionaries arrive as QVariantMap, lists as
// QVariantList, integers as qlonglong and Booleans as bool.
class PreferenceDomains {
public:
    virtual ~PreferenceDomains() = default;

    // The global domain (any application, the current user, the current host).
    virtual void synchronizeGlobalDomain() = 0;
    virtual std::optional<QStringList> copyGlobalDomainKeyList() = 0;
    virtual QVariant copyGlobalDomainValue(const QString& key) = 0;

    // A value of another application's domain, read only; invalid when the suite or the key is missing.
    virtual QVariant suiteValue(const QString& suiteName, const QString& key) = 0;
};
