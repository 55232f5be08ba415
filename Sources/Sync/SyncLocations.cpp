#include "SyncLocations.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString absolute(const QString& path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

} // namespace

SyncLocations SyncLocations::standard(const QString& folderName, const std::optional<QString>& syncDirectory,
                                      const QString& localDirEnvKey, const QString& portableDirEnvKey,
                                      const QHash<QString, QString>& environment)
{
    const QString local = environment.contains(localDirEnvKey) ? absolute(environment.value(localDirEnvKey))
                                                               : applicationSupport(folderName);
    QString portable = local;
    if (environment.contains(portableDirEnvKey))
        portable = absolute(environment.value(portableDirEnvKey));
    else if (syncDirectory)
        portable = *syncDirectory;
    return SyncLocations{ensure(local), ensure(portable)};
}

QString SyncLocations::applicationSupport(const QString& folderName)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Every supported platform reports one; the home folder is the fallback should one not.
    return QDir(base.isEmpty() ? QDir::homePath() : base).filePath(folderName);
}

QString SyncLocations::ensure(const QString& folder)
{
    QDir().mkpath(folder);
    return folder;
}

QString SyncLocations::iCloudDriveRoot()
{
    return QDir::home().filePath(u"Library/Mobile Documents/com~apple~CloudDocs"_s);
}

std::optional<QString> SyncLocations::iCloudDirectory(const QString& folderName)
{
    const QDir root(iCloudDriveRoot());
    if (!root.exists())
        return std::nullopt;
    return ensure(root.filePath(folderName));
}

bool SyncLocations::isUsable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.exists() && info.isDir() && info.isWritable();
}

QHash<QString, QString> SyncLocations::processEnvironment()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QHash<QString, QString> result;
    for (const QString& key : environment.keys())
        result.insert(key, environment.value(key));
    return result;
}
