#pragma once

#include <QString>

// The interface texts, looked up by key in the translations compiled into the binary. A key the table lacks
// shows as the key itself.
namespace AppCopy {

// Loads the English table into the application; call once after the application object exists.
void install();

QString text(const char* key);

namespace Profiles {
QString defaultName();
QString copyName(const QString& profileName);
} // namespace Profiles

} // namespace AppCopy
