// Short ways to write the macros and entries a test needs.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "assign/assignment.h"
#include "config/config_entry.h"
#include "macro/macro_record.h"

namespace vornak::test {

inline MacroRecord MakeMacro(std::u16string_view name, uint16_t id, std::vector<MacroAction> actions = {},
                             uint8_t cycles = 1) {
    MacroRecord m{};
    m.SetName(name);
    m.id = id;
    m.cycles = cycles;
    m.actionCount = static_cast<uint16_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.actions);
    return m;
}

// count actions: A pressed and released in turn, 10 ms more delay each.
inline std::vector<MacroAction> Taps(size_t count) {
    std::vector<MacroAction> actions;
    for (size_t k = 0; k < count; ++k)
        actions.push_back({static_cast<uint32_t>(10 * k), 0x01E, uint16_t(k % 2)});
    return actions;
}

inline ConfigEntry MakeEntry(AssignmentKind kind, uint32_t value, uint16_t code = 0) {
    return ConfigEntry{static_cast<uint16_t>(kind), code, value, 0, 0};
}

}  // namespace vornak::test
