#include "AppCatalogAdapter.h"

#include "BundleReader.h"
#include "Workspace.h"

#include "Logic/LocalizedStandardCompare.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

AppCatalogAdapter::AppCatalogAdapter(Workspace& workspace, BundleReader& bundles, const QString& rootFolder,
                                     const QString& homeFolder)
    : workspace(workspace), bundles(bundles), rootFolder(rootFolder), homeFolder(homeFolder)
{
}

QList<AppInfo> AppCatalogAdapter::installedApplications()
{
    if (!hasScanned)
        refresh();
    return sortedApps;
}

std::optional<AppInfo> AppCatalogAdapter::appInfoForBundleIdentifier(const QString& bundleIdentifier)
{
    if (!hasScanned)
        refresh();
    const auto found = appsByBundleIdentifier.constFind(bundleIdentifier);
    if (found != appsByBundleIdentifier.constEnd())
        return *found;
    const std::optional<QString> path = workspace.urlForApplicationWithBundleIdentifier(bundleIdentifier);
    if (!path)
        return std::nullopt;
    const AppInfo app{bundleIdentifier, workspace.displayNameAtPath(*path), *path};
    appsByBundleIdentifier.insert(bundleIdentifier, app);
    return app;
}

void AppCatalogAdapter::refresh()
{
    hasScanned = true;
    appsByBundleIdentifier.clear();
    // In scan order, so the first folder that holds an identifier wins.
    QList<AppInfo> found;
    for (const QString& folder :
         {u"/Applications"_s, u"/System/Applications"_s, u"/System/Applications/Utilities"_s})
        scanFolder(QDir::cleanPath(rootFolder + folder), found);
    scanFolder(QDir::cleanPath(homeFolder + u"/Applications"_s), found);
    addBundle(QDir::cleanPath(rootFolder + u"/System/Library/CoreServices/Finder.app"_s), found);

    std::stable_sort(found.begin(), found.end(), [](const AppInfo& a, const AppInfo& b) {
        return LocalizedStandardCompare::lessThan(a.name, b.name);
    });
    sortedApps = found;
}

void AppCatalogAdapter::scanFolder(const QString& folder, QList<AppInfo>& found)
{
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.endsWith(".app"_L1))
            addBundle(folder + u'/' + entry, found);
    }
}

void AppCatalogAdapter::addBundle(const QString& path, QList<AppInfo>& found)
{
    const std::optional<BundleReader::Bundle> bundle = bundles.bundleAtPath(path);
    if (!bundle || bundle->bundleIdentifier.isEmpty())
        return;
    if (appsByBundleIdentifier.contains(bundle->bundleIdentifier))
        return;
    // An empty name would list the application as a blank row, so it counts as no name.
    QString name;
    for (const QString& key : {u"CFBundleDisplayName"_s, u"CFBundleName"_s}) {
        const QVariant value = bundle->info.value(key);
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty()) {
            name = value.toString();
            break;
        }
    }
    if (name.isEmpty())
        name = QFileInfo(path).completeBaseName();
    const AppInfo app{bundle->bundleIdentifier, name, path};
    appsByBundleIdentifier.insert(app.bundleIdentifier, app);
    found.append(app);
}
