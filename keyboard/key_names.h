// Keys by the names people type on a command line or in a file: the key table's own names, a few spellings
// for keys whose names are symbols, and hexadecimal key codes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "keyboard/key_table.h"
#include "texts/language_texts.h"

namespace vornak {

// The key a name stands for: a name of the key table in any case (multimedia keys by their text in the
// given language), one of the spellings "Up", "Down", "Left", "Right", "Escape" and "Minus", or a key code
// in hexadecimal ("0x03A"). A name two keys share gives the first in slot order (Right Shift is 0x036).
// Nothing when no key of the table has the name or the code.
std::optional<KeyCode> KeyCodeByName(std::u16string_view name, const LanguageTexts& texts);

// A name KeyCodeByName reads back as the same key: the spelling above for the arrows and the minus sign
// (which a shell or an option parser would take for something else), else the table's name, else the
// hexadecimal code.
std::u16string KeyNameForTyping(KeyCode code, const LanguageTexts& texts);

}  // namespace vornak
