#include "KeyLayoutTranslation.h"

#include "TextInputSources.h"

namespace {
constexpr std::uint16_t keyActionDisplay = 3;
constexpr std::uint32_t noModifiers = 0;
constexpr std::uint32_t noOptions = 0;
constexpr int maxUnits = 4;
} // namespace

std::optional<QString> KeyLayoutTranslation::operator()(PhysicalKeyCode keyCode) const
{
    const std::optional<QByteArray> layout = sources->currentKeyboardLayoutData();
    if (!layout)
        return std::nullopt;
    std::uint32_t deadKeyState = 0;
    std::optional<QString> units =
        sources->keyTranslate(*layout, keyCode, keyActionDisplay, noModifiers, sources->keyboardType(),
                              noOptions, deadKeyState, maxUnits);
    if (!units || units->isEmpty())
        return std::nullopt;
    return units;
}
