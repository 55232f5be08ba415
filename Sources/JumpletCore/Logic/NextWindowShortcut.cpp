#include "NextWindowShortcut.h"

#include "PropertyListValue.h"

#include <QVariantList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 noCharacter = 65535;

bool isScalar(qint64 code)
{
    return code >= 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}
} // namespace

NextWindowShortcut NextWindowShortcut::standard()
{
    return {U'`', 50, 0x100000};
}

std::optional<NextWindowShortcut> NextWindowShortcut::from(const QVariant& symbolicHotKeys)
{
    if (symbolicHotKeys.typeId() != QMetaType::QVariantMap)
        return standard();
    const QVariant entry = symbolicHotKeys.toMap().value(u"27"_s);
    if (entry.typeId() != QMetaType::QVariantMap)
        return standard();
    const QVariantMap shortcut = entry.toMap();

    const QVariant enabled = shortcut.value(u"enabled"_s);
    if (PropertyListValue::isBoolean(enabled) && !enabled.toBool())
        return std::nullopt;

    const QVariant value = shortcut.value(u"value"_s);
    if (value.typeId() != QMetaType::QVariantMap)
        return standard();
    const QVariant parameters = value.toMap().value(u"parameters"_s);
    if (parameters.typeId() != QMetaType::QVariantList)
        return standard();
    const QVariantList list = parameters.toList();
    if (list.size() != 3 || !std::all_of(list.begin(), list.end(), PropertyListValue::isInteger))
        return standard();

    const qint64 characterCode = list[0].toLongLong();
    const qint64 keyCode = list[1].toLongLong();
    const qint64 modifiers = list[2].toLongLong();
    // A key code that does not fit 16 bits is as malformed as a negative one.
    if (keyCode < 0 || keyCode > 0xFFFF || modifiers < 0)
        return standard();

    NextWindowShortcut read;
    if (isScalar(characterCode) && characterCode != noCharacter)
        read.character = static_cast<char32_t>(characterCode);
    read.keyCode = static_cast<PhysicalKeyCode>(keyCode);
    read.modifiers = static_cast<std::uint64_t>(modifiers);
    return read;
}
