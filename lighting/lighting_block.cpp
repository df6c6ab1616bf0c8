#include "lighting/lighting_block.h"

#include <algorithm>

namespace vornak {

// Effect 1, brightness 4, speed 1, direction 0, colourful on, red; option 0xFF (read as 3), preset red,
// trigger 0, second and third colours white with their colourful flags off.
const std::array<uint8_t, kDefaultLightingSize> kDefaultLightingBytes = {
    0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
};

LightingBlock LightingBlock::FromBytes(std::span<const uint8_t> data) {
    LightingBlock block;
    std::copy_n(data.begin(), std::min(data.size(), kLightingBlockSize), block.bytes.begin());
    return block;
}

EffectTable::EffectTable(const EffectList& list) {
    for (uint8_t effect : list) {
        if (effect == 0) continue;
        entries_[count_] = {static_cast<int>(count_), effect};
        ++count_;
    }
}

EffectNumber EffectTable::EffectAt(int listIndex) const {
    if (listIndex < 0 || static_cast<size_t>(listIndex) >= count_) return 0;
    return entries_[static_cast<size_t>(listIndex)].effect;
}

EffectList EffectListFromSettings(std::span<const uint8_t> settingsBlock) {
    EffectList list{};
    if (settingsBlock.size() >= kEffectListOffset + kEffectListSize)
        std::copy_n(settingsBlock.begin() + kEffectListOffset, kEffectListSize, list.begin());
    return list;
}

int EffectIndex(const EffectTable& table, EffectNumber effect) {
    for (const auto& e : table.entries()) {
        if (e.effect == effect) return e.listIndex;
    }
    return -1;
}

bool UserModesExist(const EffectList& list) {
    return std::find(list.begin(), list.end(), kUserModeEffect) != list.end();
}

int LightingState::BrightnessPosition() const {
    return std::min<int>(brightness, kSliderPositions - 1);
}

int LightingState::SpeedPosition() const {
    return std::clamp(kSliderPositions - 1 - static_cast<int>(speed), 0, kSliderPositions - 1);
}

void DecodeLightingBlock(const LightingBlock& block, LightingState& state) {
    namespace f = lighting_field;
    state.effect = block[f::kEffect];
    state.brightness = block[f::kBrightness];
    state.speed = block[f::kSpeed];
    state.direction = block[f::kDirection];
    state.colourful = block[f::kColourful] != 0;
    const Colour main = block.ColourAt(f::kMainColour);
    state.fyColour = state.hxColour = state.jtColour = main;
    state.option = std::min(block[f::kOption], kMaxOption);
    // The preset pictures know four colours; anything else shows as red.
    state.presetColour = block[f::kPresetColour] <= 3 ? block[f::kPresetColour] : 0;
    if (state.effect == 7 && block[f::kEffect7Flag] <= 1)
        state.effect7Colourful = block[f::kEffect7Flag] == 1;
    if (block[f::kTriggerMode] <= 1) state.triggerMode = block[f::kTriggerMode];
    state.secondColour = block.ColourAt(f::kSecondColour);
    state.secondColourful = block[f::kSecondColourful] != 0;
    state.thirdColour = block.ColourAt(f::kThirdColour);
    state.thirdColourful = block[f::kThirdColourful] != 0;
}

LightingBlock EncodeLightingBlock(const LightingState& state, LightingBlock block) {
    namespace f = lighting_field;
    auto& b = block.bytes;
    auto put = [&b](size_t offset, Colour c) {
        b[offset] = ColourR(c);
        b[offset + 1] = ColourG(c);
        b[offset + 2] = ColourB(c);
    };
    b[f::kEffect] = state.effect;
    b[f::kBrightness] = state.brightness;
    b[f::kSpeed] = state.speed;
    b[f::kDirection] = state.direction;
    b[f::kColourful] = state.colourful ? 1 : 0;
    put(f::kMainColour, state.hxColour);
    b[f::kOption] = state.option;
    b[f::kPresetColour] = state.presetColour;
    if (state.effect == 7) b[f::kEffect7Flag] = state.effect7Colourful ? 1 : 0;
    b[f::kTriggerMode] = state.triggerMode;
    put(f::kSecondColour, state.secondColour);
    b[f::kSecondColourful] = state.secondColourful ? 1 : 0;
    put(f::kThirdColour, state.thirdColour);
    b[f::kThirdColourful] = state.thirdColourful ? 1 : 0;
    return block;
}

}  // namespace vornak
