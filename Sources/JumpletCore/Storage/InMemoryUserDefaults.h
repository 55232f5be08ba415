#pragma once

#include "Ports/UserDefaults.h"

#include <QHash>

// Preferences that live as long as the object: for tests and for runs that must not touch the user's own.
class InMemoryUserDefaults : public UserDefaults {
public:
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

private:
    QHash<QString, QVariant> m_values;
};
