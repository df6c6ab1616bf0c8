// The keyboard's 44-byte settings block (read with command 3, written with command 4). The program reads the
// active profile, the size of the macro memory and the effect list from it, and writes back only the active
// profile; every other byte keeps the keyboard's value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vornak {

inline constexpr size_t kSettingsBlockSize = 44;
using SettingsBlock = std::array<uint8_t, kSettingsBlockSize>;

namespace settings_field {
inline constexpr size_t kActiveProfile = 10;  // on-board profile 0..2
inline constexpr size_t kMacroUnits = 11;     // macro memory, in units of kMacroUnitSize bytes
inline constexpr size_t kEffects = 12;        // 12..43: the effect numbers the keyboard has, 0 = none
inline constexpr size_t kEffectCount = kSettingsBlockSize - kEffects;
}  // namespace settings_field

inline constexpr uint32_t kMacroUnitSize = 128;

inline uint8_t ActiveProfileOf(const SettingsBlock& settings) {
    return settings[settings_field::kActiveProfile];
}

// Bytes of macro memory the keyboard has.
inline uint32_t MacroCapacityOf(const SettingsBlock& settings) {
    return settings[settings_field::kMacroUnits] * kMacroUnitSize;
}

}  // namespace vornak
