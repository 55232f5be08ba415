#include "AppModelFactory.h"

#include "AppCopy.h"

#include "Logic/ChangelogParser.h"
#include "Storage/JumpCountsJSONStore.h"
#include "Storage/KeyBindingFileStore.h"
#include "Storage/LegacyBindingsMigration.h"
#include "Storage/ProfileJSONStore.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace AppModelFactory {

std::unique_ptr<AppModel> make(PlatformAdapters adapters, std::shared_ptr<UserDefaults> defaults,
                               const QHash<QString, QString>& environment)
{
    // The first run names the default profile from the table, so it must be loaded before the stores are
    // read.
    AppCopy::install();

    QList<ChangelogEntry> changelog;
    QFile changelogFile(u":/CHANGELOG.md"_s);
    if (changelogFile.open(QIODevice::ReadOnly))
        changelog = ChangelogParser::parse(changelogFile.readAll());

    SyncSettings syncSettings(*defaults, Locations::folderName(), Locations::portableFileNames(),
                              u"JUMPLET_LOCAL_DIR"_s, u"JUMPLET_PORTABLE_DIR"_s);
    const Locations locations = Locations::from(SyncLocations::standard(
        syncSettings.folderName(), syncSettings.syncDirectory(), syncSettings.localDirEnvKey(),
        syncSettings.portableDirEnvKey(), environment));
    const QDir local(locations.local);

    LegacyBindingsMigration::migrateIfNeeded(local.filePath(u"key-bindings.json"_s),
                                             locations.bindingsFolder(Profile::defaultID()),
                                             local.filePath(u"jumps.json"_s));

    auto store = std::make_unique<KeyBindingFileStore>(locations.bindingsFolder(Profile::defaultID()));
    auto jumpCountsStore = std::make_unique<JumpCountsJSONStore>(local.filePath(u"jumps.json"_s));
    auto profileStore = std::make_unique<ProfileJSONStore>(local.filePath(u"profiles.json"_s));
    auto makeKeyBindingStore = [](const QString& folder) -> std::unique_ptr<KeyBindingStorePort> {
        return std::make_unique<KeyBindingFileStore>(folder);
    };

    return std::make_unique<AppModel>(std::move(store), makeKeyBindingStore, std::move(jumpCountsStore),
                                      std::move(profileStore), locations, std::move(syncSettings),
                                      std::move(adapters), std::move(changelog), std::move(defaults));
}

} // namespace AppModelFactory
