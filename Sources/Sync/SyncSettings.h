#pragma once

#include "SyncLocations.h"
#include "SyncMode.h"
#include "SyncStart.h"

#include <QFuture>
#include <QStringList>

class UserDefaults;

// The synchronisation settings ("syncMode", "syncFolderPath" in the preferences) and the switch between
// folders. Every property reads the preferences afresh; nothing is cached. Files are only ever copied.
class SyncSettings {
public:
    SyncSettings(UserDefaults& defaults, QString folderName, QStringList portableFileNames,
                 QString localDirEnvKey, QString portableDirEnvKey);

    QString folderName() const { return m_folderName; }
    QStringList portableFileNames() const { return m_portableFileNames; }
    QString localDirEnvKey() const { return m_localDirEnvKey; }
    QString portableDirEnvKey() const { return m_portableDirEnvKey; }

    SyncMode mode() const;
    std::optional<QString> customFolder() const;
    bool isAvailable() const;
    // The portable folder of the stored mode, or nothing when that mode's folder is missing or unusable.
    std::optional<QString> syncDirectory() const;

    // The names of portableFileNames present in the folder the mode would use; folder defaults to the stored
    // custom folder.
    QStringList files(SyncMode mode, const std::optional<QString>& folder) const;

    // Stores the settings at once, then copies between the old and new portable folders on a background
    // thread; the future gives the new folders when the copying is done.
    QFuture<SyncLocations> apply(SyncMode mode, const std::optional<QString>& folder, SyncStart start);

    static void carry(SyncStart start, const QString& from, const QString& to, const QStringList& portableFileNames);
    static void bringBack(const QString& from, const QString& to, const QStringList& portableFileNames);

private:
    std::optional<QString> directory(SyncMode mode, const std::optional<QString>& customFolder) const;
    SyncLocations locations() const;

    UserDefaults& m_defaults;
    QString m_folderName;
    QStringList m_portableFileNames;
    QString m_localDirEnvKey;
    QString m_portableDirEnvKey;
};
