#include "KeyBindingFileStore.h"

#include "JSONFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QPointer>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcKeyBindingFileStore, "KeyBindingFileStore")

namespace {

std::optional<KeyBinding> decodeBinding(const QJsonValue& value)
{
    return value.isObject() ? KeyBinding::fromJson(value.toObject()) : std::nullopt;
}

} // namespace

KeyBindingFileStore::KeyBindingFileStore(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder)
{
    QDir().mkpath(m_folder);
}

QList<KeyBinding> KeyBindingFileStore::load()
{
    const QDir dir(m_folder);
    QList<KeyBinding> bindings;
    if (!dir.exists())
        return bindings;
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& name : names) {
        if (!name.endsWith(".json"_L1) || name.startsWith(u'.'))
            continue;
        const QString path = dir.filePath(name);
        if (JSONFile::isAwaitingDownload(path))
            continue;
        try {
            bindings.append(JSONFile::read(path, decodeBinding));
        } catch (const JSONFile::Error& error) {
            qCCritical(lcKeyBindingFileStore).noquote()
                << u"skipping unreadable binding file %1: %2"_s.arg(name, error.description());
        }
    }
    return bindings;
}

void KeyBindingFileStore::save(const QList<KeyBinding>& bindings)
{
    for (const KeyBinding& binding : bindings) {
        const QString path = fileFor(binding.key.keyCode);
        const QJsonObject stored = binding.toJson();
        try {
            // Compared in stored form, so a date's fraction of a second, which is never written, is no change.
            if (JSONFile::read(path, decodeBinding).toJson() == stored)
                continue;
        } catch (const JSONFile::Error&) {
            // Missing, too large or unreadable: written over.
        }
        try {
            JSONFile::write(stored, path);
        } catch (const JSONFile::Error& error) {
            qCCritical(lcKeyBindingFileStore).noquote()
                << u"could not save binding for key %1: %2"_s.arg(binding.key.keyCode).arg(error.description());
        }
    }
}

void KeyBindingFileStore::remove(PhysicalKeyCode keyCode)
{
    QFile::remove(fileFor(keyCode));
}

std::function<void()> KeyBindingFileStore::onExternalChange() const
{
    return m_onExternalChange;
}

void KeyBindingFileStore::setOnExternalChange(std::function<void()> callback)
{
    m_onExternalChange = std::move(callback);
    rearmWatch();
}

QString KeyBindingFileStore::fileFor(PhysicalKeyCode keyCode) const
{
    return QDir(m_folder).filePath(QString::number(keyCode) + u".json"_s);
}

void KeyBindingFileStore::rearmWatch()
{
    if (m_watch) {
        // The callback may be replacing itself from inside the watch's own signal: let go of it safely.
        m_watch->disconnect(this);
        m_watch->removePaths(m_watch->directories());
        m_watch->deleteLater();
        m_watch = nullptr;
    }
    if (!m_onExternalChange || !QFileInfo(m_folder).isDir())
        return;

    auto* watch = new QFileSystemWatcher(this);
    if (!watch->addPath(m_folder)) {
        delete watch;
        return;
    }
    // Holds the store weakly: a change reported after the store is gone does nothing.
    connect(watch, &QFileSystemWatcher::directoryChanged, this, [store = QPointer(this)] {
        if (!store || !store->m_onExternalChange)
            return;
        // A copy, because the callback may replace the store and with it this function.
        const std::function<void()> callback = store->m_onExternalChange;
        callback();
    });
    m_watch = watch;
}
