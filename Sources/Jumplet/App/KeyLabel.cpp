#include "KeyLabel.h"

#include "Logic/KeyboardGrid.h"
#include "Logic/TextFolding.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

KeyLabel::LayoutTranslation& installedTranslation()
{
    static KeyLabel::LayoutTranslation translation;
    return translation;
}

// Keys that type no visible character.
const QHash<PhysicalKeyCode, QString>& special()
{
    static const QHash<PhysicalKeyCode, QString> table = {
        {36, u"Return"_s}, {48, u"Tab"_s},  {49, u"Space"_s}, {51, u"Delete"_s}, {53, u"Escape"_s},
        {76, u"Enter"_s},  {123, u"←"_s},   {124, u"→"_s},    {125, u"↓"_s},     {126, u"↑"_s},
        {122, u"F1"_s},    {120, u"F2"_s},  {99, u"F3"_s},    {118, u"F4"_s},    {96, u"F5"_s},
        {97, u"F6"_s},     {98, u"F7"_s},   {100, u"F8"_s},   {101, u"F9"_s},    {109, u"F10"_s},
        {103, u"F11"_s},   {111, u"F12"_s}, {105, u"F13"_s},  {107, u"F14"_s},   {113, u"F15"_s},
        {106, u"F16"_s},   {64, u"F17"_s},  {79, u"F18"_s},   {80, u"F19"_s},
    };
    return table;
}

QString fallback(PhysicalKeyCode keyCode)
{
    return u"Key "_s + QString::number(keyCode);
}

// The layout's caption: what the key types, trimmed and upper-cased, or nothing.
std::optional<QString> typed(PhysicalKeyCode keyCode)
{
    const KeyLabel::LayoutTranslation& translation = installedTranslation();
    if (!translation)
        return std::nullopt;
    const std::optional<QString> text = translation(keyCode);
    if (!text)
        return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return TextFolding::upperCased(trimmed);
}

} // namespace

void KeyLabel::installLayoutTranslation(LayoutTranslation translation)
{
    installedTranslation() = std::move(translation);
}

QString KeyLabel::label(PhysicalKeyCode keyCode)
{
    if (std::optional<QString> caption = typed(keyCode))
        return *caption;
    const auto& qwerty = KeyboardGrid::qwertyLabels();
    const auto found = qwerty.constFind(keyCode);
    return found != qwerty.constEnd() ? *found : fallback(keyCode);
}

QString KeyLabel::label(PhysicalKeyCode keyCode, const QString& charactersIgnoringModifiers)
{
    const auto found = special().constFind(keyCode);
    if (found != special().constEnd())
        return *found;
    if (!charactersIgnoringModifiers.isEmpty())
        return TextFolding::upperCased(charactersIgnoringModifiers);
    return fallback(keyCode);
}

std::optional<PhysicalKeyCode> KeyLabel::keyCode(const QString& typing)
{
    const QString wanted = TextFolding::upperCased(typing);
    for (PhysicalKeyCode code = 0; code <= 127; ++code) {
        if (typed(code) == wanted)
            return code;
    }
    return std::nullopt;
}
