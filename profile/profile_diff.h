// What differs between two profile files, as a user reads it: per profile the keys whose assignment differs,
// and the macros one file has and the other lacks or holds otherwise. Macros are paired by name, not by id:
// a capture numbers the keyboard's macros afresh, and keys are compared by the macro they play.
#pragma once

#include <string>
#include <vector>

#include "config/config_store.h"
#include "texts/language_texts.h"

namespace vornak {

struct KeyDifference {
    int profile = 0;
    int slot = 0;
    std::u16string before;  // the action texts (assign/assign_text.h), with the entry's name when it has one
    std::u16string after;
};

// Points into the copies given to DiffProfiles.
struct MacroDifference {
    const MacroRecord* before = nullptr;  // null: only the second file has it
    const MacroRecord* after = nullptr;   // null: only the first file has it
};

struct ProfileDiff {
    std::vector<KeyDifference> keys;  // profile by profile, in slot order
    std::vector<MacroDifference> macros;
    bool empty() const { return keys.empty() && macros.empty(); }
};

ProfileDiff DiffProfiles(const EditCopy& before, const EditCopy& after, const LanguageTexts& texts);

}  // namespace vornak
