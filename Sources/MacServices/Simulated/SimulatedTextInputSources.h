#pragma once

#include "TextInputSources.h"

#include "Model/PhysicalKeyCode.h"

#include <QHash>

// A keyboard layout given as what each key types; keys missing from it type nothing.
class SimulatedTextInputSources : public TextInputSources {
public:
    struct Translation {
        std::uint16_t keyAction = 0;
        std::uint32_t modifierKeyState = 0;
        std::uint32_t keyboardType = 0;
        std::uint32_t options = 0;
        std::uint32_t deadKeyState = 0;
        int maxLength = 0;
    };

    std::optional<QHash<PhysicalKeyCode, QString>> layout; // nothing: no layout data
    std::uint32_t simulatedKeyboardType = 40;
    Translation lastTranslation; // the parameters of the last keyTranslate call

    std::optional<QByteArray> currentKeyboardLayoutData() override;
    std::uint32_t keyboardType() override;
    // Fails when the text does not fit into maxLength units.
    std::optional<QString> keyTranslate(const QByteArray& layoutData, std::uint16_t virtualKeyCode,
                                        std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                        std::uint32_t keyboardType, std::uint32_t options,
                                        std::uint32_t& deadKeyState, int maxLength) override;
};
