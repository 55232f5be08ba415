#pragma once

#include "Ports/InstalledAppsPort.h"

#include <QHash>

class BundleReader;
class Workspace;

// The installed applications of macOS: the bundles in the application folders, one level deep, and the
// Finder.
class AppCatalogAdapter : public InstalledAppsPort {
public:
    // The fixed folders are read under rootFolder ("/" in production) and homeFolder (the user's home).
    AppCatalogAdapter(Workspace& workspace, BundleReader& bundles, const QString& rootFolder,
                      const QString& homeFolder);

    QList<AppInfo> installedApplications() override;
    std::optional<AppInfo> appInfoForBundleIdentifier(const QString& bundleIdentifier) override;
    void refresh() override;

private:
    void scanFolder(const QString& folder, QList<AppInfo>& found);
    void addBundle(const QString& path, QList<AppInfo>& found);

    Workspace& workspace;
    BundleReader& bundles;
    QString rootFolder;
    QString homeFolder;
    QHash<QString, AppInfo> appsByBundleIdentifier;
    QList<AppInfo> sortedApps;
    bool hasScanned = false;
};
