#include "JumpCountsJSONStore.h"

#include "JSONFile.h"
#include "Model/JsonRead.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcJumpCountsJSONStore, "JumpCountsJSONStore")

JumpCountsJSONStore::JumpCountsJSONStore(const QString& fileURL)
    : m_fileURL(fileURL)
{
}

JumpCounts JumpCountsJSONStore::load()
{
    if (!QFileInfo::exists(m_fileURL))
        return {};
    try {
        return JSONFile::read(m_fileURL, fromJson);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcJumpCountsJSONStore).noquote()
            << u"could not read jump counts, moving the file aside: %1"_s.arg(error.description());
        moveAside();
        return {};
    }
}

void JumpCountsJSONStore::save(const JumpCounts& counts)
{
    try {
        JSONFile::write(toJson(counts), m_fileURL);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcJumpCountsJSONStore).noquote() << u"could not save jump counts: %1"_s.arg(error.description());
    }
}

std::optional<JumpCounts> JumpCountsJSONStore::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    JumpCounts counts;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto count = JsonRead::integer(it.value());
        if (!count)
            return std::nullopt;
        counts.insert(it.key(), *count);
    }
    return counts;
}

QJsonObject JumpCountsJSONStore::toJson(const JumpCounts& counts)
{
    QJsonObject object;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

void JumpCountsJSONStore::moveAside()
{
    const QFileInfo info(m_fileURL);
    const qint64 seconds = QDateTime::currentSecsSinceEpoch();
    const QString aside = info.dir().filePath(info.completeBaseName() + u".corrupt-%1.json"_s.arg(seconds));
    // A failure leaves the file where it is, to be read and moved aside at the next load.
    QFile::rename(m_fileURL, aside);
}
