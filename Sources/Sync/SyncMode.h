#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where the portable folder is: the local folder, the data folder in iCloud Drive, or a folder the user
// picked. Stored by its raw value, which is case-sensitive.
enum class SyncMode { off, iCloud, custom };

namespace SyncModes {

QList<SyncMode> allCases();
QString rawValue(SyncMode mode);
std::optional<SyncMode> fromRawValue(const QString& rawValue);

} // namespace SyncModes
