// Previews of the generated skin: each dialog put together from the files in the Skins folder the way the
// program does it (skinned dialog base, image buttons cut from the state pictures), with stand-ins for the
// lists, combo boxes and labels the program makes itself, and a few buttons shown hovered, pressed,
// selected or disabled.
#pragma once

#include <filesystem>
#include <string>

#include "skin_model.h"

namespace vornak::skingen {

// Needs a QApplication. Writes one PNG per view into outFolder.
bool RenderPreviews(const SkinModel& model, const std::filesystem::path& skinsFolder,
                    const std::filesystem::path& outFolder, std::string* error);

}  // namespace vornak::skingen
