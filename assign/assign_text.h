// Assignments as they are typed: "KEY=ACTION" arguments, the names of the media and function rows, and the
// way back from an entry to the text that gives it.
//   KEY     a key of the keyboard by name or hexadecimal code (keyboard/key_names.h), or G1..G9 with an
//           optional layer, "G1" (layer A), "G1:B"
//   ACTION  "default", "key:NAME", "macro:NAME" or "macro:#ID" with an optional repeat count "*N" (1..255),
//           "media:NAME", "function:NAME"
// The keyboard keeps one repeat count per macro, not per key: a key that plays a macro stores the macro's
// count, and "*N" sets the macro's count, as the cycles box of the key dialog's macro page does.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assign/assign_rules.h"
#include "macro/edit_problem.h"
#include "macro/macro_record.h"
#include "texts/language_texts.h"

namespace vornak {

// Names for typing, in row order of kMediaActionTable and kFunctionKeyTable; the language's names are
// accepted as well, but these stay the same in every language.
extern const std::array<std::u16string_view, 18> kMediaActionNames;
extern const std::array<std::u16string_view, 11> kFunctionActionNames;

// "KEY=ACTION" split at the first '=' that is not the argument's first character, so the key '=' is written
// "==ACTION". Nothing when there is no such '='.
std::optional<std::pair<std::u16string_view, std::u16string_view>> SplitKeyArgument(std::u16string_view arg);

// The slot a key name stands for: one of the keyboard's key buttons, or a G key (slots 256..273). A key of
// the table without a place on the keyboard (a mouse button, Power, ...) is refused.
std::optional<int> SlotByName(std::u16string_view name, const LanguageTexts& texts, EditProblem* problem);
// The slots that stand for a key, in order: every slot of the key table that has a key, then the G keys
// of layer A and of layer B.
std::vector<int> NamedSlots();

// A name SlotByName reads back as the slot: "G3", "G3:B", or the key's name for typing.
std::u16string SlotNameForTyping(int slot, const LanguageTexts& texts);

// The macro a name stands for, as an index into the list: "#ID" by its id; otherwise the macros of exactly
// that name, or when there are none, those of that name in any case. A name two macros share is refused,
// naming their ids.
std::optional<size_t> FindMacroByName(std::span<const MacroRecord> macros, std::u16string_view name,
                                      EditProblem* problem);

// An ACTION against the macros of the file it is for. A macro is referred to by its id; its repeat count is
// the "*N" given, else the macro's own.
std::optional<Assignment> ParseAction(std::u16string_view text, std::span<const MacroRecord> macros,
                                      const LanguageTexts& texts, EditProblem* problem);

// The text ParseAction reads back as the entry's assignment. Kinds that only stored data carries read
// "disabled", "program", "stop-macro" and "text"; a macro that the list lacks reads "macro:#ID".
std::u16string ActionText(const ConfigEntry& entry, std::span<const MacroRecord> macros,
                          const LanguageTexts& texts);

struct KeyAssignment {
    int slot = -1;
    Assignment assignment;
};

// A whole "KEY=ACTION" argument.
std::optional<KeyAssignment> ParseKeyAssignment(std::u16string_view arg, std::span<const MacroRecord> macros,
                                                const LanguageTexts& texts, EditProblem* problem);

}  // namespace vornak
