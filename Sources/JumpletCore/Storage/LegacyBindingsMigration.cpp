#include "LegacyBindingsMigration.h"

#include "JSONFile.h"
#include "JumpCountsJSONStore.h"
#include "Logic/CanonicalUuid.h"
#include "Model/JsonRead.h"
#include "Model/KeyBinding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcLegacyBindingsMigration, "LegacyBindingsMigration")

namespace {

// An element of the legacy file: a binding with its jump count inside.
struct LegacyKeyBinding {
    KeyBinding binding;
    qint64 jumps = 0;
};

std::optional<QList<LegacyKeyBinding>> decodeLegacy(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QList<LegacyKeyBinding> entries;
    for (const QJsonValue& element : value.toArray()) {
        if (!element.isObject())
            return std::nullopt;
        const QJsonObject object = element.toObject();
        const auto binding = KeyBinding::fromJson(object);
        const auto jumps = JsonRead::integer(object.value("jumps"_L1));
        if (!binding || !jumps)
            return std::nullopt;
        entries.append({*binding, *jumps});
    }
    return entries;
}

} // namespace

void LegacyBindingsMigration::migrateIfNeeded(const QString& legacyFileURL, const QString& bindingsFolder,
                                              const QString& jumpCountsFileURL)
{
    if (!QFileInfo::exists(legacyFileURL))
        return;

    QList<LegacyKeyBinding> entries;
    try {
        entries = JSONFile::read(legacyFileURL, decodeLegacy);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcLegacyBindingsMigration).noquote()
            << u"could not read the pre-sync bindings file, leaving it in place: %1"_s.arg(error.description());
        return;
    }

    // Through the store, so an unreadable count file is moved aside rather than written over below.
    JumpCounts counts = JumpCountsJSONStore(jumpCountsFileURL).load();
    const QDir folder(bindingsFolder);
    for (const LegacyKeyBinding& entry : entries) {
        const PhysicalKeyCode keyCode = entry.binding.key.keyCode;
        const QString path = folder.filePath(QString::number(keyCode) + u".json"_s);
        if (!QFileInfo::exists(path)) {
            try {
                JSONFile::write(entry.binding.toJson(), path);
            } catch (const JSONFile::Error& error) {
                qCCritical(lcLegacyBindingsMigration).noquote()
                    << u"could not migrate binding for key %1: %2"_s.arg(keyCode).arg(error.description());
                continue;
            }
        }
        const QString id = CanonicalUuid::format(entry.binding.id);
        if (entry.jumps >= 1 && !counts.contains(id))
            counts.insert(id, entry.jumps);
    }

    if (!counts.isEmpty()) {
        try {
            JSONFile::write(JumpCountsJSONStore::toJson(counts), jumpCountsFileURL);
        } catch (const JSONFile::Error&) {
            // The bindings are what matters; counts start again from what was there.
        }
    }

    const QFileInfo legacy(legacyFileURL);
    const QString migrated = legacy.dir().filePath(legacy.completeBaseName() + u".migrated.json"_s);
    QFile::remove(migrated);
    QFile::rename(legacyFileURL, migrated);
}
