// What each lighting effect shows on the panel, and the effect names of the skin. The panel asks here instead
// of keeping its own list of effect numbers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "lighting/lighting_block.h"
#include "platform/ini_file.h"

namespace vornak {

// Where the direction pictures sit and which pictures they use.
enum class DirectionLayout : uint8_t {
    None,
    LeftRight,       // layout keys ending in 2: leftup/leftdown, rightup/rightdown
    UpDown,          // layout keys ending in 3: upup/updown, downup/downdown
    SpreadConverge,  // the plain layout keys: kuosan/kuosandown, julong/julongdown
};

// The colour groups of the lighting panel, named after the skin keys of their controls (FY, HX; the JT, TS
// and CD groups are never shown): a colour button with the colourful toggle beside it.
enum class ColourGroup : uint8_t {
    None,
    Fy,  // "CONTROL_FYYSButton" with "CONTROL_FYSJSStaPic"
    Hx,  // "CONTROL_HXysButton" with "CONTROL_HXsjsStaPic"
};

struct EffectControls {
    bool handled = false;  // false: every parameter control hides
    bool brightness = false;
    bool speed = false;
    DirectionLayout direction = DirectionLayout::None;
    ColourGroup colour = ColourGroup::None;
    bool presetColours = false;  // the four preset colour pictures
    bool userMode = false;       // user-mode list, brushes and tools; key clicks paint keys
};

EffectControls ControlsForEffect(int effect);

// Whether selecting the effect also writes the colourful flag as it stands.
bool EffectWritesColourful(int effect);

// The direction pictures for the stored direction byte: 255 selects the first picture, anything else the
// second. Empty names when the effect has no direction controls.
struct DirectionPictures {
    std::string_view first;
    std::string_view second;
};
DirectionPictures DirectionPicturesFor(int effect, uint8_t direction);

// Skin picture of a slider position: brightness "0.bmp".."5.bmp", speed "6.bmp".."11.bmp".
std::string BrightnessPicture(int position);
std::string SpeedPicture(int position);

// The preset colour pictures, plain or in their selected ("ok") form; index 0..3, anything else as red.
std::string_view PresetColourPicture(int index, bool selected);

// The name of an effect from "Skins\Main.ini": section "Mode" for language 0, "Mode1" for language 1, key =
// the effect number, default "1". Any other language has no names.
std::u16string EffectName(const IniDocument& mainIni, int language, EffectNumber effect);

}  // namespace vornak
