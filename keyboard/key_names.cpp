#include "keyboard/key_names.h"

#include <array>
#include <cstdio>
#include <utility>

#include "platform/utf.h"

namespace vornak {

namespace {

constexpr std::array<std::pair<std::u16string_view, KeyCode>, 6> kSpellings = {{
    {u"Up", 0x148},
    {u"Down", 0x150},
    {u"Left", 0x14B},
    {u"Right", 0x14D},
    {u"Escape", 0x001},
    {u"Minus", 0x00C},
}};

bool IsKey(KeyCode code) {
    const KeyRecord& r = KeyRecordOf(code);
    return !r.name.empty() || r.nameText.has_value();
}

std::optional<KeyCode> HexKeyCode(std::u16string_view text) {
    if (text.size() < 3 || text.size() > 5 || text[0] != u'0' || (text[1] != u'x' && text[1] != u'X'))
        return std::nullopt;
    KeyCode code = 0;
    for (char16_t c : text.substr(2)) {
        int d = -1;
        if (c >= u'0' && c <= u'9') d = c - u'0';
        if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
        if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
        if (d < 0) return std::nullopt;
        code = static_cast<KeyCode>(code * 16 + d);
    }
    return code;
}

}  // namespace

std::optional<KeyCode> KeyCodeByName(std::u16string_view name, const LanguageTexts& texts) {
    if (name.empty()) return std::nullopt;
    if (const auto code = HexKeyCode(name)) {
        if (IsKey(*code)) return code;
        return std::nullopt;
    }
    for (const auto& [spelling, code] : kSpellings) {
        if (EqualsIgnoreCase(name, spelling)) return code;
    }
    for (int slot = 0; slot < 256; ++slot) {
        const KeyRecord& r = KeyTableRecord(static_cast<uint8_t>(slot));
        const std::u16string_view own = r.nameText ? std::u16string_view(texts[*r.nameText]) : r.name;
        if (!own.empty() && EqualsIgnoreCase(name, own)) return SlotToKeyCode(static_cast<uint8_t>(slot));
    }
    return std::nullopt;
}

std::u16string KeyNameForTyping(KeyCode code, const LanguageTexts& texts) {
    for (const auto& [spelling, key] : kSpellings) {
        // Escape has a plain name of its own.
        if (key == code && key != 0x001) return std::u16string(spelling);
    }
    std::u16string name = KeyCodeName(code, texts);
    if (KeyCodeByName(name, texts) == code) return name;
    // The second Right Shift, a multimedia key without a text, a code that is no key.
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%03X", static_cast<unsigned>(code));
    return Utf8ToUtf16(buf);
}

}  // namespace vornak
