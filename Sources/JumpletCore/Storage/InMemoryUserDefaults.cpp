#include "InMemoryUserDefaults.h"

QVariant InMemoryUserDefaults::value(const QString& key) const
{
    return m_values.value(key);
}

void InMemoryUserDefaults::setValue(const QString& key, const QVariant& value)
{
    const QVariant stored = storable(value);
    if (stored.isValid())
        m_values.insert(key, stored);
}

void InMemoryUserDefaults::remove(const QString& key)
{
    m_values.remove(key);
}
