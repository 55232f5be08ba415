#pragma once

#include <QString>
#include <QUuid>

#include <optional>

// UUIDs as files hold them: 36 characters, 8-4-4-4-12 hexadecimal digits, written in upper case.
namespace CanonicalUuid {

// Reads exactly the 36-character form (either letter case); anything else is absent.
std::optional<QUuid> parse(const QString& text);

QString format(const QUuid& uuid);

} // namespace CanonicalUuid
