#include "PropertyListValue.h"

bool PropertyListValue::isInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool PropertyListValue::isBoolean(const QVariant& value)
{
    return value.typeId() == QMetaType::Bool;
}
