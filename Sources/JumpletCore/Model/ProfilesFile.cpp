#include "ProfilesFile.h"

#include "JsonRead.h"
#include "Logic/CanonicalUuid.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

QJsonObject ProfilesFile::toJson() const
{
    QJsonArray array;
    for (const Profile& profile : profiles)
        array.append(profile.toJson());
    return {{u"profiles"_s, array}, {u"activeID"_s, CanonicalUuid::format(activeID)}};
}

std::optional<ProfilesFile> ProfilesFile::fromJson(const QJsonObject& object)
{
    const QJsonValue profilesValue = object.value("profiles"_L1);
    const auto activeID = JsonRead::uuid(object, "activeID"_L1);
    if (!profilesValue.isArray() || !activeID)
        return std::nullopt;

    ProfilesFile file;
    file.activeID = *activeID;
    for (const QJsonValue& element : profilesValue.toArray()) {
        const auto profile = element.isObject() ? Profile::fromJson(element.toObject()) : std::nullopt;
        if (!profile)
            return std::nullopt;
        file.profiles.append(*profile);
    }
    return file;
}
