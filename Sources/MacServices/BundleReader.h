#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// Reads an application bundle's identifier and Info dictionary.
class BundleReader {
public:
    struct Bundle {
        QString bundleIdentifier; // empty when the bundle has none
        QVariantMap info;         // values through the bundle's localized lookup
    };

    virtual ~BundleReader() = default;

    // Nothing when the path cannot be opened as a bundle.
    virtual std::optional<Bundle> bundleAtPath(const QString& path) = 0;
};
