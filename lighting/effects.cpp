#include "lighting/effects.h"

#include <algorithm>
#include <array>

namespace vornak {

EffectControls ControlsForEffect(int effect) {
    EffectControls c;
    if (!IsHandledEffect(effect)) return c;
    c.handled = true;
    c.brightness = true;
    switch (effect) {
        case 1:
        case 2:
        case 3:
            c.speed = true;
            c.direction = DirectionLayout::LeftRight;
            c.colour = ColourGroup::Hx;
            break;
        case 4:
        case 10:
        case 11:
            c.speed = true;
            break;
        case 5:
        case 7:
        case 8:
        case 9:
        case 13:
        case 14:
        case 15:
            c.speed = true;
            c.colour = ColourGroup::Hx;
            break;
        case 6:
        case 16:
            c.colour = ColourGroup::Fy;
            break;
        case 12:
            c.speed = true;
            c.direction = DirectionLayout::UpDown;
            break;
        case 17:
            c.presetColours = true;
            break;
        case 18:
            c.direction = DirectionLayout::SpreadConverge;
            break;
        case kUserModeEffect:
            c.userMode = true;
            break;
    }
    return c;
}

bool EffectWritesColourful(int effect) {
    switch (effect) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 7:
        case 8:
        case 9:
        case 13:
        case 14:
        case 15:
            return true;
        default:
            return false;
    }
}

DirectionPictures DirectionPicturesFor(int effect, uint8_t direction) {
    const bool first = direction == kDirectionFirst;
    switch (ControlsForEffect(effect).direction) {
        case DirectionLayout::LeftRight:
            return first ? DirectionPictures{"leftdown.bmp", "rightup.bmp"}
                         : DirectionPictures{"leftup.bmp", "rightdown.bmp"};
        case DirectionLayout::UpDown:
            return first ? DirectionPictures{"updown.bmp", "downup.bmp"}
                         : DirectionPictures{"upup.bmp", "downdown.bmp"};
        case DirectionLayout::SpreadConverge:
            return first ? DirectionPictures{"kuosandown.bmp", "julong.bmp"}
                         : DirectionPictures{"kuosan.bmp", "julongdown.bmp"};
        case DirectionLayout::None:
            break;
    }
    return {};
}

std::string BrightnessPicture(int position) {
    return std::to_string(std::clamp(position, 0, kSliderPositions - 1)) + ".bmp";
}

std::string SpeedPicture(int position) {
    return std::to_string(6 + std::clamp(position, 0, kSliderPositions - 1)) + ".bmp";
}

std::string_view PresetColourPicture(int index, bool selected) {
    static constexpr std::array<std::string_view, 4> kPlain = {"hong.bmp", "huang.bmp", "lv.bmp", "lan.bmp"};
    static constexpr std::array<std::string_view, 4> kSelected = {"hongok.bmp", "huangok.bmp", "lvok.bmp",
                                                                  "lanok.bmp"};
    const size_t i = index >= 0 && index <= 3 ? static_cast<size_t>(index) : 0;
    return selected ? kSelected[i] : kPlain[i];
}

std::u16string EffectName(const IniDocument& mainIni, int language, EffectNumber effect) {
    std::u16string_view section;
    if (language == 0) {
        section = u"Mode";
    } else if (language == 1) {
        section = u"Mode1";
    } else {
        return {};
    }
    std::u16string key;
    for (char c : std::to_string(effect))
        key.push_back(static_cast<char16_t>(c));
    return mainIni.GetString(section, key, u"1");
}

}  // namespace vornak
