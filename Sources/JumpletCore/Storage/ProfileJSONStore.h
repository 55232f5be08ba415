#pragma once

#include "Ports/ProfileStorePort.h"

// The profiles file. A missing or unreadable file is replaced by the default state: one default profile,
// active.
class ProfileJSONStore : public ProfileStorePort {
public:
    explicit ProfileJSONStore(const QString& fileURL);

    ProfilesFile load(const QString& defaultProfileName) override;
    void save(const ProfilesFile& file) override;

private:
    QString m_fileURL;
};
