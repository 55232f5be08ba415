#pragma once

#include "Ports/UserDefaults.h"

#include <QHash>
#include <QJsonValue>

// Preferences kept in one JSON file, rewritten atomically on every change. Each value is stored with its
// type ({"data" : "<base64>"}, {"string" : "..."}, ...) so that it reads back as the same type.
// An unreadable file is moved aside to "<name>.corrupt-<unix seconds>.json" and the preferences start empty.
class JSONFileUserDefaults : public UserDefaults {
public:
    explicit JSONFileUserDefaults(const QString& fileURL);

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

private:
    void load();
    void write() const;

    QString m_fileURL;
    QHash<QString, QVariant> m_values;
};
