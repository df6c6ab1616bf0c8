// Writes the default skin: the four layout files, every picture, the lighting panel's bitmaps.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "skin_model.h"

namespace vornak::skingen {

// The scales every picture, mask and bitmap is written at.
inline constexpr std::array<int, 2> kSkinScales = {1, 2};

// Writes into folder (created when missing); false with a message naming the file on the first failure.
bool WriteSkin(const SkinModel& model, const std::filesystem::path& folder, std::string* error);

// The layout file of a dialog as text, lines ending in CRLF.
std::u16string LayoutText(const SkinModel& model, const Dialog& dialog);

}  // namespace vornak::skingen
