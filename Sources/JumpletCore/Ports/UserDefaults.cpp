#include "UserDefaults.h"

namespace {

template<typename T>
std::optional<T> typed(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<T>())
        return std::nullopt;
    return value.value<T>();
}

} // namespace

bool UserDefaults::contains(const QString& key) const
{
    return value(key).isValid();
}

bool UserDefaults::boolean(const QString& key) const
{
    return typed<bool>(value(key)).value_or(false);
}

std::optional<qint64> UserDefaults::integer(const QString& key) const
{
    return typed<qint64>(value(key));
}

std::optional<QString> UserDefaults::string(const QString& key) const
{
    return typed<QString>(value(key));
}

std::optional<QByteArray> UserDefaults::data(const QString& key) const
{
    return typed<QByteArray>(value(key));
}

std::optional<QVariantMap> UserDefaults::dictionary(const QString& key) const
{
    return typed<QVariantMap>(value(key));
}

std::optional<QVariantList> UserDefaults::list(const QString& key) const
{
    return typed<QVariantList>(value(key));
}

void UserDefaults::setBoolean(const QString& key, bool value)
{
    setValue(key, value);
}

void UserDefaults::setInteger(const QString& key, qint64 value)
{
    setValue(key, value);
}

void UserDefaults::setString(const QString& key, const QString& value)
{
    setValue(key, value);
}

void UserDefaults::setData(const QString& key, const QByteArray& value)
{
    setValue(key, value);
}

void UserDefaults::setDictionary(const QString& key, const QVariantMap& value)
{
    setValue(key, value);
}

void UserDefaults::setList(const QString& key, const QVariantList& value)
{
    setValue(key, value);
}

QVariant UserDefaults::storable(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::Int:
    case QMetaType::UInt:
        return QVariant(value.toLongLong());
    case QMetaType::QStringList:
        return QVariant(value.toList());
    case QMetaType::QVariantMap: {
        QVariantMap result;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QVariant element = storable(it.value());
            if (!element.isValid())
                return {};
            result.insert(it.key(), element);
        }
        return result;
    }
    case QMetaType::QVariantList: {
        QVariantList result;
        for (const QVariant& element : value.toList()) {
            const QVariant stored = storable(element);
            if (!stored.isValid())
                return {};
            result.append(stored);
        }
        return result;
    }
    default:
        return {};
    }
}
