// The keyboard's 42-byte lighting record of one on-board profile, the list of effects it supports, and the
// program's in-memory picture of both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/settings_block.h"

namespace vornak {

// Colours live in memory as 0x00BBGGRR and travel as R, G, B bytes.
using Colour = uint32_t;

constexpr Colour MakeColour(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr uint8_t ColourR(Colour c) {
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t ColourG(Colour c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t ColourB(Colour c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

inline constexpr Colour kRed = MakeColour(255, 0, 0);
inline constexpr Colour kWhite = MakeColour(255, 255, 255);
inline constexpr Colour kBlack = MakeColour(0, 0, 0);

// A colour button's pick: its chosen colour, or its automatic colour when nothing is chosen (-1).
constexpr Colour PickedColour(int32_t chosen, Colour automatic) {
    return chosen < 0 ? automatic : static_cast<Colour>(chosen) & 0x00FFFFFF;
}

using EffectNumber = uint8_t;
inline constexpr EffectNumber kUserModeEffect = 20;

// The effects the program knows what to do with: 1..18 and the user mode.
constexpr bool IsHandledEffect(int effect) {
    return (effect >= 1 && effect <= 18) || effect == kUserModeEffect;
}

inline constexpr int kLightingProfileCount = 3;
inline constexpr size_t kLightingBlockSize = 42;
inline constexpr size_t kLightingAreaSize = kLightingBlockSize * kLightingProfileCount;

// Field offsets inside a block. Bytes not named here (8..14, 16, 20..24, 29, 34..41) belong to the keyboard:
// the program neither writes nor shows them.
namespace lighting_field {
inline constexpr uint8_t kEffect = 0;
inline constexpr uint8_t kBrightness = 1;
inline constexpr uint8_t kSpeed = 2;  // 5 - slider position
inline constexpr uint8_t kDirection = 3;
inline constexpr uint8_t kColourful = 4;
inline constexpr uint8_t kMainColour = 5;  // R, G, B
inline constexpr uint8_t kOption = 15;
inline constexpr uint8_t kPresetColour = 17;
inline constexpr uint8_t kEffect7Flag = 18;
inline constexpr uint8_t kTriggerMode = 19;
inline constexpr uint8_t kSecondColour = 25;  // R, G, B
inline constexpr uint8_t kSecondColourful = 28;
inline constexpr uint8_t kThirdColour = 30;  // R, G, B
inline constexpr uint8_t kThirdColourful = 33;
}  // namespace lighting_field

inline constexpr uint8_t kDirectionFirst = 255;
inline constexpr uint8_t kDirectionSecond = 0;
inline constexpr int kSliderPositions = 6;  // 0..5
inline constexpr uint8_t kMaxOption = 3;

struct LightingBlock {
    std::array<uint8_t, kLightingBlockSize> bytes{};

    uint8_t operator[](size_t offset) const { return bytes[offset]; }
    Colour ColourAt(size_t offset) const {
        return MakeColour(bytes[offset], bytes[offset + 1], bytes[offset + 2]);
    }

    static LightingBlock FromBytes(
        std::span<const uint8_t> data);  // the first 42 bytes; short input is padded
};

// What "restore the default settings" writes: bytes 0..34 of a block.
inline constexpr size_t kDefaultLightingSize = 35;
extern const std::array<uint8_t, kDefaultLightingSize> kDefaultLightingBytes;

// Offset of a field of a profile's block inside the keyboard's lighting area.
constexpr uint16_t LightingOffset(int profile, uint8_t field) {
    return static_cast<uint16_t>(profile * static_cast<int>(kLightingBlockSize) + field);
}

// The settings block's effect list: the supported effects, zeros skipped.
inline constexpr size_t kEffectListSize = settings_field::kEffectCount;
inline constexpr size_t kEffectListOffset = settings_field::kEffects;
using EffectList = std::array<uint8_t, kEffectListSize>;

struct EffectTableEntry {
    int listIndex = 0;
    EffectNumber effect = 0;
};

// The effect list box's rows: list index i holds the i-th non-zero byte of the EffectList.
class EffectTable {
  public:
    EffectTable() = default;
    explicit EffectTable(const EffectList& list);

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const EffectTableEntry& operator[](size_t i) const { return entries_[i]; }
    std::span<const EffectTableEntry> entries() const { return {entries_.data(), count_}; }

    // The effect at a list index; 0 when there is no such row.
    EffectNumber EffectAt(int listIndex) const;

  private:
    std::array<EffectTableEntry, kEffectListSize> entries_{};
    size_t count_ = 0;
};

EffectList EffectListFromSettings(std::span<const uint8_t> settingsBlock);
// The first list index holding the effect, or -1.
int EffectIndex(const EffectTable& table, EffectNumber effect);
// User modes exist when the keyboard lists effect 20 anywhere.
bool UserModesExist(const EffectList& list);

// The lighting of the current profile as the panel shows it.
struct LightingState {
    int currentProfile = 0;
    EffectNumber effect = 0;
    uint8_t brightness = 0;  // slider position as stored
    uint8_t speed = 0;       // device value: 5 - slider position
    uint8_t direction = kDirectionFirst;
    bool colourful = false;
    // The main colour in three copies: the FY button's, the HX button's (also the preview's) and the JT
    // button's. A read sets all three; each button's pick sets its own copies.
    Colour fyColour = kRed;
    Colour hxColour = kRed;
    Colour jtColour = kRed;
    uint8_t option = 0;        // 0..3
    uint8_t presetColour = 0;  // 0 red, 1 yellow, 2 green, 3 blue
    bool effect7Colourful = false;
    uint8_t triggerMode = 0;  // 0 or 1
    Colour secondColour = kWhite;
    bool secondColourful = false;
    Colour thirdColour = kWhite;
    bool thirdColourful = false;
    bool lightingSwitch = false;

    EffectList effectList{};
    EffectTable effectTable;

    // Slider positions for the pictures "0.bmp".."5.bmp" and "6.bmp".."11.bmp": bytes outside 0..5 (which no
    // write of ours produces) are shown at the nearest end instead of naming a picture that does not exist.
    int BrightnessPosition() const;
    int SpeedPosition() const;
};

// Takes a profile's block into the state, with the clamps and "read only when" rules of each field.
void DecodeLightingBlock(const LightingBlock& block, LightingState& state);
// The state's fields written over a block (the HX copy of the main colour; flags as 0 or 1). Bytes the
// program does not interpret keep the block's values.
LightingBlock EncodeLightingBlock(const LightingState& state, LightingBlock block = {});

}  // namespace vornak
