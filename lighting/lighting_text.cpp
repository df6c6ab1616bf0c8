#include "lighting/lighting_text.h"

#include "keyboard/key_buttons.h"
#include "keyboard/key_names.h"
#include "keyboard/key_table.h"
#include "platform/text_format.h"
#include "platform/utf.h"

namespace vornak {

std::optional<Colour> ParseHexColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return MakeColour(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v));
}

namespace {

// 1..255 in decimal digits only (at most nine), as vornakctl reads its numbers.
std::optional<int> EffectNumberText(std::u16string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c - u'0');
    }
    if (v < 1 || v > 255) return std::nullopt;
    return v;
}

}  // namespace

int EffectIndexByText(const EffectTable& table, const std::vector<std::u16string>& names,
                      std::u16string_view text) {
    if (const auto n = EffectNumberText(text)) return EffectIndex(table, static_cast<EffectNumber>(*n));
    for (size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoreCase(names[i], text)) return static_cast<int>(i);
    }
    return -1;
}

std::optional<int> PaintablePosition(std::u16string_view name, const LanguageTexts& texts) {
    if (EqualsIgnoreCase(name, u"Fn")) return kExtraKeyMatrixPosition;
    for (int g = 1; g <= 9; ++g) {
        if (EqualsIgnoreCase(name, FormatText(u"G%d", {int64_t{g}}))) return kGKeyMatrixPosition;
    }
    const auto code = KeyCodeByName(name, texts);
    if (!code) return std::nullopt;
    for (const KeyButton& b : kKeyButtons) {
        if (b.code == *code) return KeyMatrixPosition(b.code);
    }
    return std::nullopt;
}

}  // namespace vornak
