#include "JsonRead.h"

#include "Logic/CanonicalUuid.h"

#include <cmath>

std::optional<QString> JsonRead::string(const QJsonObject& object, QLatin1StringView key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> JsonRead::integer(const QJsonValue& value, qint64 minimum, qint64 maximum)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    // 2^63 does not fit a qint64, though double(INT64_MAX) rounds up to it.
    constexpr double twoToThe63 = 9223372036854775808.0;
    if (!std::isfinite(number) || number != std::trunc(number) || number >= twoToThe63 ||
        number < -twoToThe63 || number < double(minimum) || number > double(maximum))
        return std::nullopt;
    // Integers beyond 2^53 lose precision as doubles; Qt keeps the exact value for those it parsed as
    // integers.
    const qint64 exact = value.toInteger(qint64(number));
    return exact >= minimum && exact <= maximum ? std::optional(exact) : std::nullopt;
}

std::optional<qint64> JsonRead::integer(const QJsonObject& object, QLatin1StringView key, qint64 minimum,
                                        qint64 maximum)
{
    return integer(object.value(key), minimum, maximum);
}

std::optional<QUuid> JsonRead::uuid(const QJsonObject& object, QLatin1StringView key)
{
    const std::optional<QString> text = string(object, key);
    return text ? CanonicalUuid::parse(*text) : std::nullopt;
}
