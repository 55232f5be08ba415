#include "BoundKey.h"

#include "JsonRead.h"

using namespace Qt::StringLiterals;

QJsonObject BoundKey::toJson() const
{
    return {{u"keyCode"_s, int(keyCode)}, {u"label"_s, label}};
}

std::optional<BoundKey> BoundKey::fromJson(const QJsonObject& object)
{
    const auto keyCode = JsonRead::integer(object, "keyCode"_L1, 0, 65535);
    const auto label = JsonRead::string(object, "label"_L1);
    if (!keyCode || !label)
        return std::nullopt;
    return BoundKey{PhysicalKeyCode(*keyCode), *label};
}
