#pragma once

#include "BundleReader.h"

// Reads a bundle folder's Contents/Info.plist (an XML property list) from disk, without localization.
class SimulatedBundleReader : public BundleReader {
public:
    std::optional<Bundle> bundleAtPath(const QString& path) override;
};
