#include "macro/macro_record.h"

#include <algorithm>
#include <bitset>

namespace vornak {

std::u16string_view MacroRecord::Name() const {
    size_t n = 0;
    while (n < kMacroNameUnits && name[n] != u'\0')
        ++n;
    return {name, n};
}

void MacroRecord::SetName(std::u16string_view text) {
    std::fill(std::begin(name), std::end(name), u'\0');
    const size_t n = std::min(text.size(), kMacroNameUnits - 1);
    std::copy_n(text.begin(), n, name);
}

uint16_t LowestFreeMacroId(std::span<const MacroRecord> list) {
    std::bitset<kMaxMacros + 1> used;
    for (const auto& m : list) {
        if (m.id >= 1 && m.id <= kMaxMacros) used.set(m.id);
    }
    for (uint16_t id = 1; id <= kMaxMacros; ++id) {
        if (!used.test(id)) return id;
    }
    return 0;
}

MacroRecord NewMacroRecord(std::u16string_view name, std::span<const MacroRecord> list) {
    MacroRecord r{};
    r.SetName(name);
    r.cycles = 1;
    r.isNew = 1;
    r.id = LowestFreeMacroId(list);
    return r;
}

size_t MacroPositionOfId(std::span<const MacroRecord> list, uint32_t id) {
    const auto wanted = static_cast<uint16_t>(id & 0xFFFF);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].id == wanted) return i;
    }
    return 0;
}

uint16_t MacroIdAtPosition(std::span<const MacroRecord> list, size_t position) {
    return position < list.size() ? list[position].id : 0;
}

const MacroRecord* FindMacro(std::span<const MacroRecord> list, uint32_t id) {
    const auto wanted = static_cast<uint16_t>(id & 0xFFFF);
    for (const auto& m : list) {
        if (m.id == wanted) return &m;
    }
    return nullptr;
}

}  // namespace vornak
