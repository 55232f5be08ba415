#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// The application's preferences: typed values under string keys, kept across restarts.
// A value is a bool, an integer (qint64), a string, data (QByteArray), a dictionary (QVariantMap) or a list
// (QVariantList); dictionaries and lists hold such values too. Each value keeps its type: data never comes
// back as a string. A typed read of a value of another type gives the absent or false result.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // The stored value, invalid when absent.
    virtual QVariant value(const QString& key) const = 0;
    // Stores a value of one of the types above (int is taken as an integer, QStringList as a list); a value
    // of any other type is not stored.
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

    bool contains(const QString& key) const;

    bool boolean(const QString& key) const;
    std::optional<qint64> integer(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    std::optional<QVariantMap> dictionary(const QString& key) const;
    std::optional<QVariantList> list(const QString& key) const;

    void setBoolean(const QString& key, bool value);
    void setInteger(const QString& key, qint64 value);
    void setString(const QString& key, const QString& value);
    void setData(const QString& key, const QByteArray& value);
    void setDictionary(const QString& key, const QVariantMap& value);
    void setList(const QString& key, const QVariantList& value);

    // The value in its stored form (int widened to qint64), or an invalid value for an unsupported type.
    static QVariant storable(const QVariant& value);
};
