#pragma once

#include <QHash>
#include <QString>

#include <optional>

// The two data folders: local (this machine's profiles and counts) and portable (the bindings folders,
// which synchronisation moves to a shared folder).
struct SyncLocations {
    QString local;
    QString portable;

    // JUMPLET_LOCAL_DIR-style overrides from the environment win; relative paths are taken from the current
    // folder. Both folders are created.
    static SyncLocations standard(const QString& folderName, const std::optional<QString>& syncDirectory,
                                  const QString& localDirEnvKey, const QString& portableDirEnvKey,
                                  const QHash<QString, QString>& environment);
    // folderName inside the platform's application data folder (not created).
    static QString applicationSupport(const QString& folderName);
    // Creates the folder when missing, ignoring failure.
    static QString ensure(const QString& folder);
    // The folder of iCloud Drive in the home folder, which exists only where iCloud Drive is set up.
    static QString iCloudDriveRoot();
    // folderName inside iCloud Drive, created when iCloud Drive exists; nothing when it does not.
    static std::optional<QString> iCloudDirectory(const QString& folderName);
    // An existing folder the current user can write to.
    static bool isUsable(const QString& folder);

    // The process environment as standard() takes it.
    static QHash<QString, QString> processEnvironment();

    friend bool operator==(const SyncLocations&, const SyncLocations&) = default;
};
