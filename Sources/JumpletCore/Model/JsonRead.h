#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <limits>
#include <optional>

// Strict readers for the values of stored records: a missing key, a null or a value of the wrong type is
// absent.
namespace JsonRead {

std::optional<QString> string(const QJsonObject& object, QLatin1StringView key);

// A JSON number without a fraction, within [minimum, maximum].
std::optional<qint64> integer(const QJsonValue& value, qint64 minimum = std::numeric_limits<qint64>::min(),
                              qint64 maximum = std::numeric_limits<qint64>::max());
std::optional<qint64> integer(const QJsonObject& object, QLatin1StringView key, qint64 minimum,
                              qint64 maximum);

std::optional<QUuid> uuid(const QJsonObject& object, QLatin1StringView key);

} // namespace JsonRead
