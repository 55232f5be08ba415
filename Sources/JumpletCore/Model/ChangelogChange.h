#pragma once

#include <QString>

#include <optional>

// One change of a release, as the What's New sheet lists it.
struct ChangelogChange {
    enum class Kind { fix, improved, newFeature };

    Kind kind = Kind::newFeature;
    QString title;
    QString detail; // may be empty or span several lines

    // "Fix", "Improved" or "New", matched exactly.
    static std::optional<Kind> kindFromRawValue(const QString& rawValue);
    static QString rawValue(Kind kind);

    friend bool operator==(const ChangelogChange&, const ChangelogChange&) = default;
};
