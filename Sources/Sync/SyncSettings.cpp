#include "SyncSettings.h"

#include "Ports/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace {

const QString modeKey = u"syncMode"_s;
const QString folderKey = u"syncFolderPath"_s;

bool exists(const QString& path)
{
    // A dangling link is still an entry.
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

// The same folder however it is spelled: through a link, with a trailing slash or "..".
bool isSameFolder(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return a == b || (!canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath());
}

// True when path lies somewhere inside folder.
bool isInside(const QString& path, const QString& folder)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return !canonicalFolder.isEmpty() && QFileInfo(path).canonicalFilePath().startsWith(canonicalFolder + u'/');
}

void removeEntry(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

void copyEntry(const QString& from, const QString& to)
{
    const QFileInfo info(from);
    if (info.isSymLink()) {
        // Recreated rather than followed, so a link to a parent folder cannot make the copy endless.
        QFile::link(info.symLinkTarget(), to);
        return;
    }
    if (!info.isDir()) {
        // A pipe or a device is no data, and reading one would stall the copy.
        if (info.isFile())
            QFile::copy(from, to);
        return;
    }
    // Listed before the copy is made, so a copy made inside its own source is not copied again.
    const QDir source(from);
    const QStringList names =
        source.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (!QDir().mkpath(to))
        return;
    for (const QString& name : names)
        copyEntry(source.filePath(name), QDir(to).filePath(name));
}

// "bindings" becomes "bindings (replaced 2025-03-01 0930)", "a.json" becomes "a (replaced ...).json".
void setAside(const QString& path)
{
    const QFileInfo info(path);
    const QString time = QLocale::c().toString(QDateTime::currentDateTime(), u"yyyy-MM-dd HHmm"_s);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasExtension = dot > 0;
    QString newName = (hasExtension ? name.left(dot) : name) + u" (replaced "_s + time + u')';
    if (hasExtension)
        newName += name.mid(dot);
    const QString target = info.dir().filePath(newName);
    removeEntry(target);
    QFile::rename(path, target);
}

} // namespace

SyncSettings::SyncSettings(UserDefaults& defaults, QString folderName, QStringList portableFileNames,
                           QString localDirEnvKey, QString portableDirEnvKey)
    : m_defaults(defaults), m_folderName(std::move(folderName)), m_portableFileNames(std::move(portableFileNames)),
      m_localDirEnvKey(std::move(localDirEnvKey)), m_portableDirEnvKey(std::move(portableDirEnvKey))
{
}

SyncMode SyncSettings::mode() const
{
    return SyncModes::fromRawValue(m_defaults.string(modeKey).value_or(QString())).value_or(SyncMode::off);
}

std::optional<QString> SyncSettings::customFolder() const
{
    return m_defaults.string(folderKey);
}

bool SyncSettings::isAvailable() const
{
    switch (mode()) {
    case SyncMode::off: return true;
    case SyncMode::iCloud:
        return QFileInfo(SyncLocations::iCloudDriveRoot()).isDir();
    case SyncMode::custom: {
        const auto folder = customFolder();
        return folder && SyncLocations::isUsable(*folder);
    }
    }
    return false;
}

std::optional<QString> SyncSettings::syncDirectory() const
{
    return directory(mode(), customFolder());
}

QStringList SyncSettings::files(SyncMode mode, const std::optional<QString>& folder) const
{
    const auto directory = this->directory(mode, folder ? folder : customFolder());
    QStringList names;
    if (!directory)
        return names;
    for (const QString& name : m_portableFileNames) {
        if (exists(QDir(*directory).filePath(name)))
            names.append(name);
    }
    return names;
}

QFuture<SyncLocations> SyncSettings::apply(SyncMode mode, const std::optional<QString>& folder, SyncStart start)
{
    const SyncLocations current = locations();
    m_defaults.setString(modeKey, SyncModes::rawValue(mode));
    if (folder)
        m_defaults.setString(folderKey, *folder);
    const SyncLocations next = locations();
    // Copying a folder onto itself would set aside or delete the only copy.
    if (isSameFolder(next.portable, current.portable))
        return QtFuture::makeReadyFuture(next);

    const QStringList names = m_portableFileNames;
    return QtConcurrent::run([mode, start, current, next, names] {
        if (mode == SyncMode::off)
            bringBack(current.portable, next.portable, names);
        else
            carry(start, current.portable, next.portable, names);
        return next;
    });
}

void SyncSettings::carry(SyncStart start, const QString& from, const QString& to,
                         const QStringList& portableFileNames)
{
    for (const QString& name : portableFileNames) {
        const QString source = QDir(from).filePath(name);
        const QString target = QDir(to).filePath(name);
        if (!exists(source))
            continue;
        if (exists(target)) {
            if (start == SyncStart::adoptCloud)
                continue;
            setAside(target);
        }
        copyEntry(source, target);
    }
}

void SyncSettings::bringBack(const QString& from, const QString& to, const QStringList& portableFileNames)
{
    for (const QString& name : portableFileNames) {
        const QString source = QDir(from).filePath(name);
        if (!exists(source))
            continue;
        const QString target = QDir(to).filePath(name);
        if (isInside(source, target)) {
            // Deleting the local copy first would delete the source inside it: copy it out, then swap it in.
            const QString incoming = target + u".incoming"_s;
            removeEntry(incoming);
            copyEntry(source, incoming);
            removeEntry(target);
            QFile::rename(incoming, target);
            continue;
        }
        removeEntry(target);
        copyEntry(source, target);
    }
}

std::optional<QString> SyncSettings::directory(SyncMode mode, const std::optional<QString>& customFolder) const
{
    switch (mode) {
    case SyncMode::off: return std::nullopt;
    case SyncMode::iCloud: return SyncLocations::iCloudDirectory(m_folderName);
    case SyncMode::custom:
        if (customFolder && SyncLocations::isUsable(*customFolder))
            return SyncLocations::ensure(*customFolder);
        return std::nullopt;
    }
    return std::nullopt;
}

SyncLocations SyncSettings::locations() const
{
    return SyncLocations::standard(m_folderName, syncDirectory(), m_localDirEnvKey, m_portableDirEnvKey,
                                   SyncLocations::processEnvironment());
}
