// The key buttons of the main window: control ids and the keys they stand for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "keyboard/key_table.h"

namespace vornak {

struct KeyButton {
    uint16_t controlId;
    KeyCode code;
};

// The 104 key buttons, in the order the main window lays them out and refreshes them.
extern const std::array<KeyButton, 104> kKeyButtons;

// G1..G9, in this order.
inline constexpr std::array<uint16_t, 9> kGKeyControlIds = {1000, 1001, 1002, 1003, 1004,
                                                            1140, 1141, 1142, 1143};

// The Fn key picture: the key button at MatrixPosition 110 that has no KeyCode of its own.
inline constexpr uint16_t kExtraKeyControlId = 1174;

std::optional<KeyCode> KeyButtonCode(uint16_t controlId);
// 0..8 for the G key buttons.
std::optional<int> GKeyIndex(uint16_t controlId);

}  // namespace vornak
