#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>

#include <optional>

// An installed application that can be bound.
struct AppInfo {
    QString bundleIdentifier;
    QString name;
    QString path;

    QJsonObject toJson() const;
    static std::optional<AppInfo> fromJson(const QJsonObject& object);

    friend bool operator==(const AppInfo&, const AppInfo&) = default;
};

inline size_t qHash(const AppInfo& app, size_t seed = 0) noexcept
{
    return qHashMulti(seed, app.bundleIdentifier, app.name, app.path);
}
