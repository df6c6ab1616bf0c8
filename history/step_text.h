// The words of the history: what each kind of step is called in the Undo and Redo menu entries, and why a
// drop of one key onto another was refused.
#pragma once

#include <span>
#include <string>

#include "assign/assign_rules.h"
#include "history/edit_history.h"
#include "texts/language_texts.h"

namespace vornak {

// "G3", or the key's name.
std::u16string SlotName(int slot, const LanguageTexts& texts);
// A key given an assignment (the key dialog's OK or Apply): "A → Key (B)", "A → Default".
std::u16string DescribeAssignStep(int slot, const ConfigEntry& entry, std::span<const MacroRecord> macros,
                                  const LanguageTexts& texts);
std::u16string DescribeSwapStep(int slotA, int slotB, const LanguageTexts& texts);
std::u16string DescribeCopyStep(int fromSlot, int toSlot, const LanguageTexts& texts);
std::u16string DescribeRestoreDefaultsStep(const LanguageTexts& texts);

// The menu entries: "Undo: <step>", or the bare "Undo" when there is nothing to undo.
std::u16string UndoMenuText(EditHistory& history, const LanguageTexts& texts);
std::u16string RedoMenuText(EditHistory& history, const LanguageTexts& texts);

// The message for a refused swap or copy; empty when there is nothing to say.
std::u16string MoveRefusalText(AssignRefusal refusal, const LanguageTexts& texts);

}  // namespace vornak
