#pragma once

#include "PhysicalKeyCode.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>

#include <optional>

// The key a binding sits on, with its caption as the keyboard picture shows it.
struct BoundKey {
    PhysicalKeyCode keyCode = 0;
    QString label;

    QJsonObject toJson() const;
    static std::optional<BoundKey> fromJson(const QJsonObject& object);

    friend bool operator==(const BoundKey&, const BoundKey&) = default;
};

inline size_t qHash(const BoundKey& key, size_t seed = 0) noexcept
{
    return qHashMulti(seed, key.keyCode, key.label);
}
