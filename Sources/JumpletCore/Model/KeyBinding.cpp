#include "KeyBinding.h"

#include "JsonRead.h"
#include "Logic/CanonicalUuid.h"
#include "Logic/Iso8601.h"

#include <QTimeZone>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QDateTime& referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

QJsonValue dateToJson(const QDateTime& date, KeyBinding::DateForm form)
{
    if (form == KeyBinding::DateForm::iso8601)
        return Iso8601::format(date);
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

std::optional<QDateTime> dateFromJson(const QJsonValue& value, KeyBinding::DateForm form)
{
    if (form == KeyBinding::DateForm::iso8601)
        return value.isString() ? Iso8601::parse(value.toString()) : std::nullopt;
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    // Beyond the years any clock shows, a date is damage rather than data.
    const double seconds = value.toDouble();
    constexpr double limit = 1e11;
    if (std::abs(seconds) > limit)
        return std::nullopt;
    return referenceDate().addMSecs(qint64(std::llround(seconds * 1000.0)));
}

} // namespace

QJsonObject KeyBinding::toJson(DateForm dateForm) const
{
    return {
        {u"id"_s, CanonicalUuid::format(id)},
        {u"key"_s, key.toJson()},
        {u"bundleIdentifier"_s, bundleIdentifier},
        {u"appName"_s, appName},
        {u"createdAt"_s, dateToJson(createdAt, dateForm)},
    };
}

std::optional<KeyBinding> KeyBinding::fromJson(const QJsonObject& object, DateForm dateForm)
{
    const auto id = JsonRead::uuid(object, "id"_L1);
    const QJsonValue keyValue = object.value("key"_L1);
    const auto key = keyValue.isObject() ? BoundKey::fromJson(keyValue.toObject()) : std::nullopt;
    const auto bundleIdentifier = JsonRead::string(object, "bundleIdentifier"_L1);
    const auto appName = JsonRead::string(object, "appName"_L1);
    const auto createdAt = dateFromJson(object.value("createdAt"_L1), dateForm);
    if (!id || !key || !bundleIdentifier || !appName || !createdAt)
        return std::nullopt;
    return KeyBinding{*id, *key, *bundleIdentifier, *appName, *createdAt, 0};
}
