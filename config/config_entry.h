// One key's assignment in the configuration image (16 bytes; stored in profile files: do not reorder).
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vornak {

struct ConfigEntry {
    uint16_t kind = 0;      // AssignmentKind 0..8
    uint16_t code = 0;      // repeat count of a macro, the G-key tag, else 0
    uint32_t value = 0;     // depends on the kind
    uint32_t selected = 0;  // selection flag, carried unchanged through every edit
    uint32_t reserved = 0;

    friend bool operator==(const ConfigEntry&, const ConfigEntry&) = default;
};
static_assert(std::is_trivially_copyable_v<ConfigEntry>);
static_assert(sizeof(ConfigEntry) == 16);
static_assert(offsetof(ConfigEntry, code) == 2 && offsetof(ConfigEntry, value) == 4);
static_assert(offsetof(ConfigEntry, selected) == 8 && offsetof(ConfigEntry, reserved) == 12);

}  // namespace vornak
