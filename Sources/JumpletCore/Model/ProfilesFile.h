#pragma once

#include "Profile.h"

#include <QList>

// The whole profile state as stored: every profile in selector order, and the active one.
struct ProfilesFile {
    QList<Profile> profiles;
    QUuid activeID;

    QJsonObject toJson() const;
    // Every profile must be readable; an empty list reads, and the caller decides what it means.
    static std::optional<ProfilesFile> fromJson(const QJsonObject& object);

    friend bool operator==(const ProfilesFile&, const ProfilesFile&) = default;
};
