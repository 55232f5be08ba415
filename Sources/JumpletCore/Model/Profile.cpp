#include "Profile.h"

#include "JsonRead.h"
#include "Logic/CanonicalUuid.h"

using namespace Qt::StringLiterals;

QUuid Profile::defaultID()
{
    return QUuid(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
}

QJsonObject Profile::toJson() const
{
    return {{u"id"_s, CanonicalUuid::format(id)}, {u"name"_s, name}};
}

std::optional<Profile> Profile::fromJson(const QJsonObject& object)
{
    const auto id = JsonRead::uuid(object, "id"_L1);
    const auto name = JsonRead::string(object, "name"_L1);
    if (!id || !name)
        return std::nullopt;
    return Profile{*id, *name};
}
