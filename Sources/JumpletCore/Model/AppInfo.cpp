#include "AppInfo.h"

#include "JsonRead.h"

using namespace Qt::StringLiterals;

QJsonObject AppInfo::toJson() const
{
    return {{u"bundleIdentifier"_s, bundleIdentifier}, {u"name"_s, name}, {u"path"_s, path}};
}

std::optional<AppInfo> AppInfo::fromJson(const QJsonObject& object)
{
    const auto bundleIdentifier = JsonRead::string(object, "bundleIdentifier"_L1);
    const auto name = JsonRead::string(object, "name"_L1);
    const auto path = JsonRead::string(object, "path"_L1);
    if (!bundleIdentifier || !name || !path)
        return std::nullopt;
    return AppInfo{*bundleIdentifier, *name, *path};
}
