#include "tools/vornakctl/output.h"

#include "assign/assign_text.h"
#include "assign/config_edits.h"
#include "macro/macro_steps.h"
#include "platform/utf.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/json.h"

namespace vornak::cli {

std::string U8(std::u16string_view s) {
    return Utf16ToUtf8(s);
}

std::string KeyName(int slot, const LanguageTexts& texts) {
    return U8(SlotNameForTyping(slot, texts));
}

std::string StepsText(std::span<const MacroAction> actions, const LanguageTexts& texts) {
    std::string out;
    for (const std::u16string& step : FormatMacroSteps(actions, texts))
        out += (out.empty() ? "" : " ") + ShellWord(U8(step));
    return out;
}

std::string StepsJson(std::span<const MacroAction> actions, const LanguageTexts& texts) {
    std::string out = "[";
    for (const std::u16string& step : FormatMacroSteps(actions, texts))
        out += (out.size() > 1 ? ", " : "") + JsonString(U8(step));
    return out + "]";
}

std::string ActionsJson(std::span<const MacroAction> actions, const LanguageTexts& texts) {
    std::string out = "[";
    for (const MacroAction& a : actions) {
        if (out.size() > 1) out += ", ";
        out += "{\"key\": " + JsonString(U8(KeyCodeName(a.keyCode, texts))) +
               ", \"code\": " + std::to_string(a.keyCode) +
               ", \"release\": " + (a.release == 1 ? "true" : "false") +
               ", \"delay\": " + std::to_string(a.delay) + "}";
    }
    return out + "]";
}

std::vector<KeyUse> KeysPlaying(const EditCopy& copy, uint16_t id) {
    std::vector<KeyUse> uses;
    const std::vector<int> named = NamedSlots();
    for (size_t i : EntriesPlayingMacro(copy.image, id)) {
        const int profile = static_cast<int>(i / kEntriesPerBlock);
        const int slot = static_cast<int>(i % kEntriesPerBlock);
        if (profile >= kProfileCount || std::find(named.begin(), named.end(), slot) == named.end()) continue;
        uses.push_back({profile, slot});
    }
    return uses;
}

std::string KeyUsesText(std::span<const KeyUse> uses, const LanguageTexts& texts) {
    std::string out;
    for (const KeyUse& u : uses)
        out += (out.empty() ? "" : ", ") + KeyName(u.slot, texts) + " (profile " +
               std::to_string(u.profile + 1) + ")";
    return out;
}

std::string KeyUsesJson(std::span<const KeyUse> uses, const LanguageTexts& texts) {
    std::string out = "[";
    for (const KeyUse& u : uses) {
        if (out.size() > 1) out += ", ";
        out += "{\"profile\": " + std::to_string(u.profile + 1) +
               ", \"key\": " + JsonString(KeyName(u.slot, texts)) + "}";
    }
    return out + "]";
}

}  // namespace vornak::cli
