// The macro record: a named list of key presses and releases with a delay after each, kept in the macro lists
// of the configuration and stored whole in profile files (do not change its layout).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace vornak {

inline constexpr size_t kMaxMacros = 100;
inline constexpr size_t kMaxMacroActions = 2000;
inline constexpr size_t kMacroNameUnits = 250;  // 249 characters and the terminator
inline constexpr uint32_t kMaxMacroDelayMs = 40000;
inline constexpr size_t kMacroRecordSize = 16512;

struct MacroAction {
    uint32_t delay = 0;    // milliseconds to wait after this action
    uint16_t keyCode = 0;  // KeyCode
    uint16_t release = 0;  // 0 press, 1 release
};
static_assert(sizeof(MacroAction) == 8);
static_assert(offsetof(MacroAction, keyCode) == 4 && offsetof(MacroAction, release) == 6);

struct MacroRecord {
    char16_t name[kMacroNameUnits] = {};
    uint8_t cycles = 0;  // repeat count 1..255
    uint8_t reserved501 = 0;
    uint16_t isNew = 0;  // 1 while the key dialog that created it has not applied it
    uint16_t reserved504 = 0;
    uint16_t id = 0;           // 1..100, unique in its list
    uint16_t actionCount = 0;  // valid entries of actions
    uint16_t reserved510 = 0;
    MacroAction actions[kMaxMacroActions] = {};

    std::u16string_view Name() const;
    // Cut to 249 units.
    void SetName(std::u16string_view text);
    // actionCount, never more than the record holds.
    size_t ActionCount() const { return actionCount < kMaxMacroActions ? actionCount : kMaxMacroActions; }
    std::span<const MacroAction> Actions() const { return {actions, ActionCount()}; }
};
static_assert(std::is_trivially_copyable_v<MacroRecord>);
static_assert(sizeof(MacroRecord) == kMacroRecordSize);
static_assert(offsetof(MacroRecord, cycles) == 500 && offsetof(MacroRecord, isNew) == 502);
static_assert(offsetof(MacroRecord, id) == 506 && offsetof(MacroRecord, actionCount) == 508);
static_assert(offsetof(MacroRecord, actions) == 512);
// Records are copied to and from files as bytes.
static_assert(std::endian::native == std::endian::little);

// The lowest id in 1..100 that no macro of the list uses; 0 when all are used.
uint16_t LowestFreeMacroId(std::span<const MacroRecord> list);

// A new record: zero-filled, the name, cycles 1, isNew 1, no actions and the lowest free id (0 when the list
// is full).
MacroRecord NewMacroRecord(std::u16string_view name, std::span<const MacroRecord> list);

// 0-based position of the macro with the id (low 16 bits compared); 0 when no macro has it.
size_t MacroPositionOfId(std::span<const MacroRecord> list, uint32_t id);
// The id of the macro at a position; 0 out of range.
uint16_t MacroIdAtPosition(std::span<const MacroRecord> list, size_t position);
// The macro with the id, or null.
const MacroRecord* FindMacro(std::span<const MacroRecord> list, uint32_t id);

}  // namespace vornak
