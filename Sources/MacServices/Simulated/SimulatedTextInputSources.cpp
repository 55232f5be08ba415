#include "SimulatedTextInputSources.h"

std::optional<QByteArray> SimulatedTextInputSources::currentKeyboardLayoutData()
{
    if (!layout)
        return std::nullopt;
    return QByteArrayLiteral("simulated layout");
}

std::uint32_t SimulatedTextInputSources::keyboardType()
{
    return simulatedKeyboardType;
}

std::optional<QString> SimulatedTextInputSources::keyTranslate(
    const QByteArray&, std::uint16_t virtualKeyCode, std::uint16_t keyAction, std::uint32_t modifierKeyState,
    std::uint32_t keyboardType, std::uint32_t options, std::uint32_t& deadKeyState, int maxLength)
{
    lastTranslation = {keyAction, modifierKeyState, keyboardType, options, deadKeyState, maxLength};
    if (!layout)
        return std::nullopt;
    const QString text = layout->value(virtualKeyCode);
    if (text.size() > maxLength)
        return std::nullopt;
    return text;
}
