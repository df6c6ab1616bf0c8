// Skin layout files can be edited or replaced by users: every value must read as a rectangle or as the
// default one, never as a negative size, and the pictures they name must join the skin folder without
// throwing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/utf.h"
#include "skin/core/skin_layout.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The keys and values of the file's first lines, split the simple way: what a lookup may meet.
std::vector<std::pair<std::u16string, std::u16string>> Pairs(const std::u16string& text) {
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    size_t start = 0;
    while (start < text.size() && pairs.size() < 64) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string line = text.substr(start, end - start);
        const size_t eq = line.find(u'=');
        if (eq != std::u16string::npos) pairs.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        start = end + 1;
    }
    return pairs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const vornak::SkinLayout layout = vornak::SkinLayout::FromDocument(vornak::IniDocument::Parse(bytes));
    std::u16string text;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        for (size_t i = 2; i + 1 < size; i += 2)
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    } else {
        text = vornak::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
    }

    for (const auto& [key, value] : Pairs(text)) {
        const auto rect = vornak::TryParseSkinRect(value);
        Check(!rect || (rect->w >= 0 && rect->h >= 0));
        Check(vornak::ParseSkinRect(value) == rect.value_or(vornak::SkinRect{}));
        for (const std::u16string_view section :
             {vornak::kButtonInfoSection, vornak::kButtonInfo2Section, vornak::kScreenSection}) {
            const auto found = layout.FindRect(section, key);
            Check(!found || (found->w >= 0 && found->h >= 0));
            Check(layout.Rect(section, key) == found.value_or(vornak::SkinRect{}));
            const vornak::ImageButtonPlacement plan = vornak::PlanImageButton(layout.Rect(section, key));
            Check(plan.disable == (plan.rect.x == 1 && plan.rect.y == 1));
            Check(layout.Text(section, key, u"", vornak::kLayoutValueCapacity).size() <
                  vornak::kLayoutValueCapacity);
        }
    }
    const vornak::SkinScreen screen = layout.Screen();
    Check(screen.main.size() < vornak::kScreenValueCapacity &&
          screen.mask.size() < vornak::kScreenValueCapacity);
    (void)vornak::JoinSkinPath("/skins", screen.main);
    (void)vornak::JoinSkinPath("/skins", screen.mask);
    return 0;
}
