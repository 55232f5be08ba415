#include "JSONFileUserDefaults.h"

#include "JSONFile.h"
#include "Model/JsonRead.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcJSONFileUserDefaults, "JSONFileUserDefaults")

namespace {

QJsonValue encodeValue(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool: return QJsonObject{{u"bool"_s, value.toBool()}};
    case QMetaType::LongLong: return QJsonObject{{u"integer"_s, value.toLongLong()}};
    case QMetaType::QString: return QJsonObject{{u"string"_s, value.toString()}};
    case QMetaType::QByteArray:
        return QJsonObject{{u"data"_s, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), encodeValue(it.value()));
        return QJsonObject{{u"dictionary"_s, object}};
    }
    default: {
        QJsonArray array;
        for (const QVariant& element : value.toList())
            array.append(encodeValue(element));
        return QJsonObject{{u"list"_s, array}};
    }
    }
}

std::optional<QVariant> decodeValue(const QJsonValue& json)
{
    const QJsonObject object = json.toObject();
    if (object.size() != 1)
        return std::nullopt;
    const QString type = object.begin().key();
    const QJsonValue value = object.begin().value();
    if (type == "bool"_L1 && value.isBool())
        return QVariant(value.toBool());
    if (type == "integer"_L1) {
        const auto integer = JsonRead::integer(value);
        return integer ? std::optional(QVariant(*integer)) : std::nullopt;
    }
    if (type == "string"_L1 && value.isString())
        return QVariant(value.toString());
    if (type == "data"_L1 && value.isString()) {
        const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? std::optional(QVariant(*decoded)) : std::nullopt;
    }
    if (type == "dictionary"_L1 && value.isObject()) {
        QVariantMap map;
        const QJsonObject elements = value.toObject();
        for (auto it = elements.begin(); it != elements.end(); ++it) {
            const auto element = decodeValue(it.value());
            if (!element)
                return std::nullopt;
            map.insert(it.key(), *element);
        }
        return QVariant(map);
    }
    if (type == "list"_L1 && value.isArray()) {
        QVariantList list;
        for (const QJsonValue& item : value.toArray()) {
            const auto element = decodeValue(item);
            if (!element)
                return std::nullopt;
            list.append(*element);
        }
        return QVariant(list);
    }
    return std::nullopt;
}

std::optional<QHash<QString, QVariant>> decodeFile(const QJsonValue& json)
{
    if (!json.isObject())
        return std::nullopt;
    QHash<QString, QVariant> values;
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto value = decodeValue(it.value());
        if (!value)
            return std::nullopt;
        values.insert(it.key(), *value);
    }
    return values;
}

} // namespace

JSONFileUserDefaults::JSONFileUserDefaults(const QString& fileURL)
    : m_fileURL(fileURL)
{
    load();
}

QVariant JSONFileUserDefaults::value(const QString& key) const
{
    return m_values.value(key);
}

void JSONFileUserDefaults::setValue(const QString& key, const QVariant& value)
{
    const QVariant stored = storable(value);
    if (!stored.isValid())
        return;
    m_values.insert(key, stored);
    write();
}

void JSONFileUserDefaults::remove(const QString& key)
{
    if (m_values.remove(key))
        write();
}

void JSONFileUserDefaults::load()
{
    if (!QFileInfo::exists(m_fileURL))
        return;
    try {
        m_values = JSONFile::read(m_fileURL, decodeFile);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcJSONFileUserDefaults).noquote()
            << u"could not read the preferences, moving the file aside: %1"_s.arg(error.description());
        const QFileInfo info(m_fileURL);
        const QString aside = info.dir().filePath(
            info.completeBaseName() + u".corrupt-%1.json"_s.arg(QDateTime::currentSecsSinceEpoch()));
        QFile::rename(m_fileURL, aside);
    }
}

void JSONFileUserDefaults::write() const
{
    QJsonObject object;
    for (auto it = m_values.begin(); it != m_values.end(); ++it)
        object.insert(it.key(), encodeValue(it.value()));
    try {
        JSONFile::write(object, m_fileURL);
    } catch (const JSONFile::Error& error) {
        qCCritical(lcJSONFileUserDefaults).noquote()
            << u"could not save the preferences: %1"_s.arg(error.description());
    }
}
