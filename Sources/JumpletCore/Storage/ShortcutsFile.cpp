#include "ShortcutsFile.h"

#include "JSONFile.h"
#include "Model/KeyBindingList.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

QByteArray ShortcutsFile::encode(const QList<KeyBinding>& bindings)
{
    QJsonArray array;
    for (const KeyBinding& binding : bindings)
        array.append(binding.toJson(KeyBinding::DateForm::secondsSinceReferenceDate));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<KeyBinding> ShortcutsFile::decode(const QByteArray& bytes)
{
    const QJsonValue value = JSONFile::parse(bytes);
    if (!value.isArray())
        throw JSONFile::Error(u"the data is not a list of bindings"_s);
    QList<KeyBinding> bindings;
    for (const QJsonValue& element : value.toArray()) {
        const auto binding = element.isObject()
            ? KeyBinding::fromJson(element.toObject(), KeyBinding::DateForm::secondsSinceReferenceDate)
            : std::nullopt;
        if (!binding)
            throw JSONFile::Error(u"the data is not a list of bindings"_s);
        bindings.append(*binding);
    }
    return bindings;
}

QList<KeyBinding> ShortcutsFile::read(const QString& path)
{
    return decode(JSONFile::data(path));
}

ShortcutsFile::Import ShortcutsFile::importBindings(const QList<KeyBinding>& current,
                                                    const QList<KeyBinding>& imported, bool replacingAll)
{
    Import result;
    if (!replacingAll)
        result.bindings = current;
    for (const KeyBinding& binding : imported)
        result.bindings = KeyBindingList::settingBinding(result.bindings, binding);
    result.bindings = KeyBindingList::sortedByLabel(result.bindings);

    for (const KeyBinding& binding : current) {
        const PhysicalKeyCode keyCode = binding.key.keyCode;
        if (!KeyBindingList::binding(result.bindings, keyCode) && !result.removedKeyCodes.contains(keyCode))
            result.removedKeyCodes.append(keyCode);
    }
    return result;
}
