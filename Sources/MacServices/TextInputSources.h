#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The current keyboard layout and its key translation.
class TextInputSources {
public:
    virtual ~TextInputSources() = default;

    // The Unicode key layout data of the current keyboard layout, or nothing.
    virtual std::optional<QByteArray> currentKeyboardLayoutData() = 0;
    virtual std::uint32_t keyboardType() = 0;
    // The UTF-16 units the key produces, at most maxLength of them; nothing when the translation fails.
    virtual std::optional<QString> keyTranslate(const QByteArray& layoutData, std::uint16_t virtualKeyCode,
                                                std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                                std::uint32_t keyboardType, std::uint32_t options,
                                                std::uint32_t& deadKeyState, int maxLength) = 0;
};
