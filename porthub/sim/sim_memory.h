// The simulated keyboard's memory, as the factory leaves it and as its state file keeps it between runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "lighting/key_colours.h"
#include "lighting/lighting_block.h"

namespace vornak::sim {

inline constexpr size_t kLightingSize = kLightingAreaSize;
inline constexpr size_t kKeyBlocksSize = 3 * kKeyBlockSize;
inline constexpr size_t kKeyColoursSize = 3 * size_t{kKeyColourProfileStride};
inline constexpr uint8_t kDefaultMacroUnits = 64;  // 8192 bytes

using KeyBlock = std::array<uint8_t, kKeyBlockSize>;

struct SimMemory {
    SettingsBlock settings{};
    std::array<uint8_t, kLightingSize> lighting{};
    std::array<uint8_t, kKeyBlocksSize> keyBlocks{};
    KeyBlock defaultLayout{};
    std::vector<uint8_t> macro;  // MacroCapacityOf(settings) bytes
    std::array<uint8_t, kKeyColoursSize> keyColours{};

    // As the keyboard leaves the factory: profile 0, 64 units of macro memory, effects 1..18 and 20, the
    // default lighting block in every profile, every key block equal to the default layout.
    static SimMemory Factory();

    friend bool operator==(const SimMemory&, const SimMemory&) = default;
};

// Each MatrixPosition of the key table holds its key's code: modifiers 02 01 bit, other keyboard keys 02 02
// usage; positions without a key 00 00 00.
KeyBlock DefaultLayoutFromKeyTable();

// The memory as the state file holds it: a text file, one hex line per area, so the same memory always gives
// the same file.
std::string FormatState(const SimMemory& memory);
std::optional<SimMemory> ParseState(std::string_view text, std::string* error);

}  // namespace vornak::sim
