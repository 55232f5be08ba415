#pragma once

#include "Model/ProfilesFile.h"

#include <QString>

// Where the profiles and the active profile are kept. Never fails: a bad file gives the default state.
class ProfileStorePort {
public:
    virtual ~ProfileStorePort() = default;

    virtual ProfilesFile load(const QString& defaultProfileName) = 0;
    virtual void save(const ProfilesFile& file) = 0;
};
