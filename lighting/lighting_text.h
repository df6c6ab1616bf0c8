// What a user types for the lighting, for vornakctl: a colour, an effect by number or name, a key to paint.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/lighting_block.h"
#include "texts/language_texts.h"

namespace vornak {

// "RRGGBB" or "#RRGGBB" in hex digits of either case.
std::optional<Colour> ParseHexColour(std::string_view text);

// The index in the keyboard's effect list of an effect given by its number (1..255) or by its name in the
// skin (any case; names[i] belongs to list index i); -1 when the list has no such effect.
int EffectIndexByText(const EffectTable& table, const std::vector<std::u16string>& names,
                      std::u16string_view text);

// A key button by its name (keyboard/key_names.h), or G1..G9 and Fn: the MatrixPosition a paint writes.
std::optional<int> PaintablePosition(std::u16string_view name, const LanguageTexts& texts);

}  // namespace vornak
