#include "porthub/sim/sim_memory.h"

#include <algorithm>

#include "keyboard/key_table.h"

namespace vornak::sim {

namespace {

// The firmware's own default lighting block of every profile, written out in full rather than taken from the
// core's default bytes, so that the core is checked against the keyboard and not against itself: effect 1,
// brightness 4, speed 1, red, colourful.
constexpr std::array<uint8_t, kLightingBlockSize> kFactoryLighting = {
    0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Effects 1..18 and the user colour modes (20).
constexpr std::array<uint8_t, 19> kFactoryEffects = {1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                                     11, 12, 13, 14, 15, 16, 17, 18, 20};

}  // namespace

KeyBlock DefaultLayoutFromKeyTable() {
    KeyBlock layout{};
    for (int slot = 0; slot < 256; ++slot) {
        const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
        const std::optional<uint8_t> position = KeyMatrixPosition(code);
        if (!position || *position >= kKeyBlockSize / 3) continue;
        uint8_t* at = layout.data() + 3 * *position;
        if (const uint8_t bit = KeyCodeToModifierBit(code); bit != 0) {
            at[0] = 0x02;
            at[1] = 0x01;
            at[2] = bit;
        } else if (const HidUsage usage = KeyCodeToHidUsage(code); usage.page == 7) {
            at[0] = 0x02;
            at[1] = 0x02;
            at[2] = static_cast<uint8_t>(usage.usage);
        }
    }
    return layout;
}

SimMemory SimMemory::Factory() {
    SimMemory m;
    m.settings[settings_field::kActiveProfile] = 0;
    m.settings[settings_field::kMacroUnits] = kDefaultMacroUnits;
    std::copy(kFactoryEffects.begin(), kFactoryEffects.end(), m.settings.begin() + settings_field::kEffects);
    for (size_t p = 0; p < 3; ++p)
        std::copy(kFactoryLighting.begin(), kFactoryLighting.end(),
                  m.lighting.begin() + p * kLightingBlockSize);
    m.defaultLayout = DefaultLayoutFromKeyTable();
    for (size_t p = 0; p < 3; ++p)
        std::copy(m.defaultLayout.begin(), m.defaultLayout.end(), m.keyBlocks.begin() + p * kKeyBlockSize);
    m.macro.assign(MacroCapacityOf(m.settings), 0);
    return m;
}

}  // namespace vornak::sim
