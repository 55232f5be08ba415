#pragma once

#include "BoundKey.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One key bound to one application. jumps is held in memory only and never written.
struct KeyBinding {
    // How the file that holds the record writes "createdAt".
    enum class DateForm {
        iso8601,                  // binding files: "2025-03-01T09:30:00Z"
        secondsSinceReferenceDate // the shortcuts file: seconds since 2001-01-01T00:00:00Z
    };

    QUuid id;
    BoundKey key;
    QString bundleIdentifier;
    QString appName;
    QDateTime createdAt;
    qint64 jumps = 0;

    QJsonObject toJson(DateForm dateForm = DateForm::iso8601) const;
    // Every key is required with its type; a "jumps" key is ignored, so the result always has 0 jumps.
    static std::optional<KeyBinding> fromJson(const QJsonObject& object,
                                              DateForm dateForm = DateForm::iso8601);

    friend bool operator==(const KeyBinding&, const KeyBinding&) = default;
};
