#pragma once

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// A named set of key bindings.
struct Profile {
    QUuid id;
    QString name;

    // The profile every installation starts with, the same everywhere so synchronised machines share it.
    static QUuid defaultID();

    QJsonObject toJson() const;
    static std::optional<Profile> fromJson(const QJsonObject& object);

    friend bool operator==(const Profile&, const Profile&) = default;
};
