#pragma once

#include "Model/AppInfo.h"

#include <QList>
#include <QString>

#include <optional>

// The applications the user can bind.
class InstalledAppsPort {
public:
    virtual ~InstalledAppsPort() = default;

    // All applications found, sorted by name; scans first when no scan has run.
    virtual QList<AppInfo> installedApplications() = 0;
    // One application by bundle identifier, also one outside the scanned folders.
    virtual std::optional<AppInfo> appInfoForBundleIdentifier(const QString& bundleIdentifier) = 0;
    // Scans the folders again.
    virtual void refresh() = 0;
};
