#include "ProfileJSONStore.h"

#include "JSONFile.h"

#include <QFileInfo>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcProfileJSONStore, "ProfileJSONStore")

namespace {

ProfilesFile defaultState(const QString& name)
{
    return ProfilesFile{{Profile{Profile::defaultID(), name}}, Profile::defaultID()};
}

} // namespace

ProfileJSONStore::ProfileJSONStore(const QString& fileURL)
    : m_fileURL(fileURL)
{
}

ProfilesFile ProfileJSONStore::load(const QString& defaultProfileName)
{
    if (QFileInfo::exists(m_fileURL)) {
        try {
            return JSONFile::read(m_fileURL, [](const QJsonValue& value) {
                return value.isObject() ? ProfilesFile::fromJson(value.toObject()) : std::nullopt;
            });
        } catch (const JSONFile::Error& error) {
            qCCritical(lcProfileJSONStore).noquote()
                << u"could not read profiles, starting over: %1"_s.arg(error.description());
        }
    }
    const ProfilesFile state = defaultState(defaultProfileName);
    save(state);
    return state;
}

void ProfileJSONStore::save(const ProfilesFile& file)
{
    try {
        JSONFile::write(file.toJson(), m_fileURL);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcProfileJSONStore).noquote() << u"could not save profiles: %1"_s.arg(error.description());
    }
}
