#include "assign/assign_text.h"

#include <algorithm>

#include "keyboard/key_buttons.h"
#include "keyboard/key_names.h"
#include "platform/utf.h"

namespace vornak {

const std::array<std::u16string_view, 18> kMediaActionNames = {
    u"media-player", u"play-pause",     u"stop",       u"previous-track", u"next-track", u"volume-down",
    u"volume-up",    u"mute",           u"web-home",   u"web-refresh",    u"web-stop",   u"web-back",
    u"web-forward",  u"web-favourites", u"web-search", u"my-computer",    u"calculator", u"mail",
};

const std::array<std::u16string_view, 11> kFunctionActionNames = {
    u"open",  u"new",  u"undo",       u"save",     u"copy",    u"cut",
    u"paste", u"find", u"select-all", u"zoom-out", u"zoom-in",
};

namespace {

using Kind = EditProblem::Kind;

std::string U8(std::u16string_view s) {
    return Utf16ToUtf8(s);
}

std::string Quoted(std::u16string_view s) {
    return "'" + U8(s) + "'";
}

std::optional<uint32_t> Number(std::u16string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    uint32_t v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c - u'0');
    }
    return v;
}

// A row by its name for typing, or by its name in the language, when only one row has it.
template <size_t N>
std::optional<uint32_t> RowByName(std::u16string_view name, const std::array<std::u16string_view, N>& names,
                                  const auto& displayName) {
    for (size_t row = 0; row < N; ++row) {
        if (EqualsIgnoreCase(name, names[row])) return static_cast<uint32_t>(row);
    }
    std::optional<uint32_t> found;
    for (size_t row = 0; row < N; ++row) {
        const std::u16string shown = displayName(row);
        if (shown.empty() || !EqualsIgnoreCase(name, shown)) continue;
        if (found) return std::nullopt;  // a language file that gives two rows one name
        found = static_cast<uint32_t>(row);
    }
    return found;
}

std::optional<int> GKeySlotByName(std::u16string_view name) {
    if (name.size() < 2 || (name[0] != u'G' && name[0] != u'g') || name[1] < u'1' || name[1] > u'9')
        return std::nullopt;
    const int index = name[1] - u'1';
    const std::u16string_view layer = name.substr(2);
    if (layer.empty() || EqualsIgnoreCase(layer, u":A")) return GKeySlot(index, false);
    if (EqualsIgnoreCase(layer, u":B")) return GKeySlot(index, true);
    return std::nullopt;
}

// Macro names that would read as something else in an ACTION.
bool NameReadsAsRepeat(std::u16string_view name) {
    const size_t star = name.rfind(u'*');
    return star != std::u16string_view::npos && Number(name.substr(star + 1), 9).has_value();
}

}  // namespace

std::optional<std::pair<std::u16string_view, std::u16string_view>> SplitKeyArgument(std::u16string_view arg) {
    const size_t eq = arg.find(u'=', 1);
    if (eq == std::u16string_view::npos) return std::nullopt;
    return std::pair{arg.substr(0, eq), arg.substr(eq + 1)};
}

std::optional<int> SlotByName(std::u16string_view name, const LanguageTexts& texts, EditProblem* problem) {
    if (const auto g = GKeySlotByName(name)) return g;
    const auto code = KeyCodeByName(name, texts);
    if (!code) {
        SetProblem(problem, Kind::Unreadable, "no key is named " + Quoted(name) + " (see vornakctl keys)");
        return std::nullopt;
    }
    const bool onKeyboard = std::any_of(kKeyButtons.begin(), kKeyButtons.end(),
                                        [&](const KeyButton& b) { return b.code == *code; });
    if (!onKeyboard) {
        SetProblem(problem, Kind::Refused,
                   U8(KeyCodeName(*code, texts)) + " is no key of the keyboard, so it takes no assignment");
        return std::nullopt;
    }
    return KeySlot(*code);
}

std::vector<int> NamedSlots() {
    std::vector<int> slots;
    for (int slot = 0; slot < 256; ++slot) {
        const KeyRecord& r = KeyTableRecord(static_cast<uint8_t>(slot));
        if (!r.name.empty() || r.nameText) slots.push_back(slot);
    }
    for (int slot = kGKeySlotLayerA; slot < kGKeySlotLayerB + kGKeyCount; ++slot)
        slots.push_back(slot);
    return slots;
}

std::u16string SlotNameForTyping(int slot, const LanguageTexts& texts) {
    if (IsGKeySlot(slot)) {
        const bool layerB = slot >= kGKeySlotLayerB;
        std::u16string name = u"G";
        name += static_cast<char16_t>(u'1' + (slot - (layerB ? kGKeySlotLayerB : kGKeySlotLayerA)));
        return layerB ? name + u":B" : name;
    }
    return KeyNameForTyping(SlotKeyCode(slot), texts);
}

std::optional<size_t> FindMacroByName(std::span<const MacroRecord> macros, std::u16string_view name,
                                      EditProblem* problem) {
    if (!name.empty() && name[0] == u'#') {
        const auto id = Number(name.substr(1), 5);
        for (size_t i = 0; id && i < macros.size(); ++i) {
            if (macros[i].id == *id) return i;
        }
        SetProblem(problem, Kind::Unreadable, "no macro has the id " + Quoted(name.substr(1)));
        return std::nullopt;
    }
    std::vector<size_t> found;
    for (size_t i = 0; i < macros.size(); ++i) {
        if (macros[i].Name() == name) found.push_back(i);
    }
    if (found.empty()) {
        for (size_t i = 0; i < macros.size(); ++i) {
            if (EqualsIgnoreCase(macros[i].Name(), name)) found.push_back(i);
        }
    }
    if (found.empty()) {
        SetProblem(problem, Kind::Unreadable, "no macro is named " + Quoted(name));
        return std::nullopt;
    }
    if (found.size() > 1) {
        std::string ids;
        for (size_t k = 0; k < found.size(); ++k) {
            ids += (k == 0                  ? ""
                    : k + 1 == found.size() ? " and "
                                            : ", ") +
                   std::to_string(macros[found[k]].id);
        }
        SetProblem(problem, Kind::Refused,
                   std::to_string(found.size()) + " macros are named " + Quoted(name) + " (ids " + ids +
                       "): name one as #ID");
        return std::nullopt;
    }
    return found.front();
}

std::optional<Assignment> ParseAction(std::u16string_view text, std::span<const MacroRecord> macros,
                                      const LanguageTexts& texts, EditProblem* problem) {
    if (EqualsIgnoreCase(text, u"default")) return Assignment::Default();
    const size_t colon = text.find(u':');
    const std::u16string_view kind = text.substr(0, colon);
    const std::u16string_view rest = colon == std::u16string_view::npos ? u"" : text.substr(colon + 1);
    if (colon != std::u16string_view::npos && EqualsIgnoreCase(kind, u"key")) {
        const auto code = KeyCodeByName(rest, texts);
        if (!code) {
            SetProblem(problem, Kind::Unreadable,
                       "no key is named " + Quoted(rest) + " (see vornakctl keys)");
            return std::nullopt;
        }
        if (!KeyboardCanSendKey(*code)) {
            std::string hint = IsMultimediaKey(*code) ? " (media:NAME does that, see vornakctl actions)" : "";
            SetProblem(problem, Kind::Refused,
                       "the keyboard cannot send " + U8(KeyCodeName(*code, texts)) + " as a key" + hint);
            return std::nullopt;
        }
        return Assignment::Key(*code);
    }
    if (colon != std::u16string_view::npos && EqualsIgnoreCase(kind, u"macro")) {
        std::u16string_view name = rest;
        std::optional<uint32_t> repeat;
        if (NameReadsAsRepeat(rest)) {
            const size_t star = rest.rfind(u'*');
            const auto n = Number(rest.substr(star + 1), 9);
            if (*n < kMinRepeat || *n > kMaxRepeat) {
                SetProblem(problem, Kind::Unreadable,
                           "the repeat count " + Quoted(rest.substr(star)) + " is out of range: 1 to 255");
                return std::nullopt;
            }
            repeat = *n;
            name = rest.substr(0, star);
        }
        const auto index = FindMacroByName(macros, name, problem);
        if (!index) return std::nullopt;
        const MacroRecord& m = macros[*index];
        return Assignment::Macro(m.id,
                                 static_cast<uint16_t>(repeat.value_or(std::max<uint8_t>(m.cycles, 1))));
    }
    if (colon != std::u16string_view::npos && EqualsIgnoreCase(kind, u"media")) {
        const auto row = RowByName(rest, kMediaActionNames,
                                   [&](size_t r) { return KeyCodeName(kMediaActionTable[r].code, texts); });
        if (!row) {
            SetProblem(problem, Kind::Unreadable,
                       "no media action is named " + Quoted(rest) + " (see vornakctl actions)");
            return std::nullopt;
        }
        return Assignment::Media(*row);
    }
    if (colon != std::u16string_view::npos && EqualsIgnoreCase(kind, u"function")) {
        static const LanguageTexts builtIn;
        auto row =
            RowByName(rest, kFunctionActionNames, [&](size_t r) { return texts[kFunctionKeyTable[r]]; });
        if (!row) {
            row = RowByName(rest, kFunctionActionNames,
                            [&](size_t r) { return builtIn[kFunctionKeyTable[r]]; });
        }
        if (!row) {
            SetProblem(problem, Kind::Unreadable,
                       "no function is named " + Quoted(rest) + " (see vornakctl actions)");
            return std::nullopt;
        }
        return Assignment::Function(*row);
    }
    SetProblem(problem, Kind::Unreadable,
               "cannot read the action " + Quoted(text) +
                   ": it is default, key:NAME, macro:NAME, macro:#ID, media:NAME or function:NAME");
    return std::nullopt;
}

std::u16string ActionText(const ConfigEntry& entry, std::span<const MacroRecord> macros,
                          const LanguageTexts& texts) {
    switch (static_cast<AssignmentKind>(entry.kind)) {
        case AssignmentKind::Default:
            return u"default";
        case AssignmentKind::Disabled:
            return u"disabled";
        case AssignmentKind::LaunchProgram:
            return u"program";
        case AssignmentKind::StopMacro:
            return u"stop-macro";
        case AssignmentKind::TextBlock:
            return u"text";
        case AssignmentKind::Key:
            return u"key:" + KeyNameForTyping(static_cast<KeyCode>(entry.value & 0xFFFF), texts);
        case AssignmentKind::Macro: {
            std::u16string text = u"macro:";
            const MacroRecord* m = FindMacro(macros, entry.value);
            const auto byName = m != nullptr ? FindMacroByName(macros, m->Name(), nullptr) : std::nullopt;
            if (byName && &macros[*byName] == m && !NameReadsAsRepeat(m->Name()) && !m->Name().empty()) {
                text += m->Name();
            } else {
                text += u"#" + Utf8ToUtf16(std::to_string(entry.value & 0xFFFF));
            }
            // ParseAction takes the macro's own count when none is given.
            const uint16_t implied = m != nullptr ? std::max<uint8_t>(m->cycles, 1) : 1;
            if (entry.code != implied) text += u"*" + Utf8ToUtf16(std::to_string(entry.code));
            return text;
        }
        case AssignmentKind::Media:
            if (entry.value < kMediaActionNames.size())
                return u"media:" + std::u16string(kMediaActionNames[entry.value]);
            return u"media:" + Utf8ToUtf16(std::to_string(entry.value));
        case AssignmentKind::Function:
            if (entry.value < kFunctionActionNames.size())
                return u"function:" + std::u16string(kFunctionActionNames[entry.value]);
            return u"function:" + Utf8ToUtf16(std::to_string(entry.value));
    }
    return u"kind " + Utf8ToUtf16(std::to_string(entry.kind));
}

std::optional<KeyAssignment> ParseKeyAssignment(std::u16string_view arg, std::span<const MacroRecord> macros,
                                                const LanguageTexts& texts, EditProblem* problem) {
    const auto split = SplitKeyArgument(arg);
    if (!split) {
        SetProblem(problem, Kind::Unreadable, "expected KEY=ACTION, not " + Quoted(arg));
        return std::nullopt;
    }
    const auto slot = SlotByName(split->first, texts, problem);
    if (!slot) return std::nullopt;
    const auto action = ParseAction(split->second, macros, texts, problem);
    if (!action) return std::nullopt;
    return KeyAssignment{*slot, *action};
}

}  // namespace vornak
