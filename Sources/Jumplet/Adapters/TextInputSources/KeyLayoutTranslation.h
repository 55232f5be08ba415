#pragma once

#include "Model/PhysicalKeyCode.h"

#include <QString>

#include <optional>

class TextInputSources;

// What a key types in the current keyboard layout with no modifier held, for the key captions.
class KeyLayoutTranslation {
public:
    explicit KeyLayoutTranslation(TextInputSources& sources) : sources(&sources) {}

    // The raw units, untrimmed; nothing when there is no layout or the key types nothing.
    std::optional<QString> operator()(PhysicalKeyCode keyCode) const;

private:
    TextInputSources* sources;
};
