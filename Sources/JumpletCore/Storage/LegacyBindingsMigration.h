#pragma once

#include <QString>

// Converts the single bindings file of older versions, once, into one binding file per key and the
// jump-count file, then renames it to "<name>.migrated.json". Runs at start-up before any store exists.
namespace LegacyBindingsMigration {

// Existing binding files and existing counts win; an unreadable legacy file is left in place and logged.
void migrateIfNeeded(const QString& legacyFileURL, const QString& bindingsFolder, const QString& jumpCountsFileURL);

} // namespace LegacyBindingsMigration
