#pragma once

#include <QVariant>

// Type checks of values read from property lists and window descriptions, where an integer and a Boolean
// are different kinds even though both convert to the other.
namespace PropertyListValue {

bool isInteger(const QVariant& value);
bool isBoolean(const QVariant& value);

} // namespace PropertyListValue
