// Conversions between the UTF-16 texts of the core and UTF-8 (file names, terminals, Qt-free logs).
#pragma once

#include <string>
#include <string_view>

namespace vornak {

// Invalid sequences become U+FFFD; nothing is dropped silently.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Case folding for names that the INI files and the key table compare without regard to case (ASCII only:
// every section, key and key name of the program is ASCII).
char16_t AsciiLower(char16_t c);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);

std::u16string_view TrimBlanks(std::u16string_view text);
std::u16string_view TrimTrailingBlanks(std::u16string_view text);

}  // namespace vornak
