// Pieces of vornakctl's output shared by show, diff and the macro commands.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_store.h"
#include "macro/macro_record.h"
#include "texts/language_texts.h"

namespace vornak::cli {

std::string U8(std::u16string_view s);

// A key by the name the commands read back ("Caps Lock", "G3:B").
std::string KeyName(int slot, const LanguageTexts& texts);

// The actions in the step language, each step one shell word: a line that pastes back into "macro set".
std::string StepsText(std::span<const MacroAction> actions, const LanguageTexts& texts);
// The same as a JSON array of strings.
std::string StepsJson(std::span<const MacroAction> actions, const LanguageTexts& texts);
// [{"key": ..., "code": ..., "release": ..., "delay": ...}, ...]
std::string ActionsJson(std::span<const MacroAction> actions, const LanguageTexts& texts);

// The keys of the three profiles that play the macro.
struct KeyUse {
    int profile = 0;
    int slot = 0;
};
std::vector<KeyUse> KeysPlaying(const EditCopy& copy, uint16_t id);
// "F5 (profile 1), G3:B (profile 2)"
std::string KeyUsesText(std::span<const KeyUse> uses, const LanguageTexts& texts);
// [{"profile": 1, "key": "F5"}, ...]
std::string KeyUsesJson(std::span<const KeyUse> uses, const LanguageTexts& texts);

}  // namespace vornak::cli
