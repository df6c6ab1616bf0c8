#include "assign/config_edits.h"

#include <algorithm>

#include "platform/utf.h"

namespace vornak {

namespace {

using Kind = EditProblem::Kind;

std::string Quoted(std::u16string_view s) {
    return "'" + Utf16ToUtf8(s) + "'";
}

bool CheckActionCount(size_t count, EditProblem* problem) {
    if (count <= kMaxMacroActions) return true;
    return SetProblem(problem, Kind::Refused,
                      "a macro holds at most 2000 actions, not " + std::to_string(count));
}

// The keyboard plays a macro as often as the macro says: the keys that play it carry that count.
void ShowRepeatCount(EditCopy& edit, const MacroRecord& macro) {
    for (size_t i : EntriesPlayingMacro(edit.image, macro.id)) {
        ConfigEntry e = edit.image.entry(i);
        e.code = macro.cycles;
        edit.image.setEntry(i, e);
    }
}

}  // namespace

bool AssignKeys(EditCopy& edit, int profile, std::span<const KeyAssignment> assignments,
                const LanguageTexts& texts, EditProblem* problem) {
    std::vector<std::pair<int, ConfigEntry>> entries;
    for (const KeyAssignment& a : assignments) {
        const std::string key = Utf16ToUtf8(SlotNameForTyping(a.slot, texts));
        if (std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.first == a.slot; })) {
            return SetProblem(problem, Kind::Unreadable, key + " is given two assignments");
        }
        if (a.assignment.kind == AssignmentKind::Macro &&
            FindMacro(edit.macros, a.assignment.value) == nullptr) {
            return SetProblem(problem, Kind::Unreadable,
                              "no macro has the id " + std::to_string(a.assignment.value));
        }
        const AssignResult r = EntryForAssignment(a.slot, edit.image.entry(profile, a.slot), a.assignment);
        switch (r.refusal) {
            case AssignRefusal::None:
                break;
            case AssignRefusal::MacroOnlyKey:
                return SetProblem(problem, Kind::Refused, key + " takes only a macro or default");
            case AssignRefusal::BadValue:
                return SetProblem(problem, Kind::Refused, key + " cannot take this assignment");
        }
        for (const KeyAssignment& other : assignments) {
            if (a.assignment.kind == AssignmentKind::Macro &&
                other.assignment.kind == AssignmentKind::Macro &&
                other.assignment.value == a.assignment.value &&
                other.assignment.repeat != a.assignment.repeat) {
                return SetProblem(
                    problem, Kind::Refused,
                    "one macro is given two repeat counts, " + std::to_string(a.assignment.repeat) + " and " +
                        std::to_string(other.assignment.repeat) + ": the keyboard keeps one count per macro");
            }
        }
        entries.emplace_back(a.slot, r.entry);
    }
    for (const auto& [slot, entry] : entries)
        StoreEntry(edit, profile, slot, entry);
    for (const KeyAssignment& a : assignments) {
        if (a.assignment.kind != AssignmentKind::Macro) continue;
        for (MacroRecord& m : edit.macros) {
            if (m.id != a.assignment.value) continue;
            m.cycles = static_cast<uint8_t>(a.assignment.repeat);
            ShowRepeatCount(edit, m);
        }
    }
    return true;
}

bool CheckNewMacroName(std::span<const MacroRecord> macros, std::u16string_view name,
                       std::optional<size_t> except, EditProblem* problem) {
    if (name.empty()) return SetProblem(problem, Kind::Unreadable, "a macro needs a name");
    if (name.size() > kMacroNameUnits - 1) {
        return SetProblem(problem, Kind::Unreadable,
                          "a macro name has at most 249 characters, not " + std::to_string(name.size()));
    }
    if (name[0] == u'#')
        return SetProblem(problem, Kind::Unreadable, "a macro name may not begin with '#' (#ID names an id)");
    const size_t star = name.rfind(u'*');
    if (star != std::u16string_view::npos && star + 1 < name.size() &&
        std::all_of(name.begin() + star + 1, name.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return SetProblem(
            problem, Kind::Unreadable,
            "a macro name may not end in " + Quoted(name.substr(star)) + " (*N is a repeat count)");
    }
    for (size_t i = 0; i < macros.size(); ++i) {
        if (except == i || !EqualsIgnoreCase(macros[i].Name(), name)) continue;
        return SetProblem(problem, Kind::Refused,
                          "the macro " + Quoted(macros[i].Name()) + " (id " + std::to_string(macros[i].id) +
                              ") has that name already");
    }
    return true;
}

std::optional<size_t> AddMacro(EditCopy& edit, std::u16string_view name, std::span<const MacroAction> actions,
                               uint8_t cycles, EditProblem* problem) {
    if (edit.macros.size() >= kMaxMacros) {
        SetProblem(problem, Kind::Refused, "the file holds 100 macros already, the most there can be");
        return std::nullopt;
    }
    if (!CheckNewMacroName(edit.macros, name, std::nullopt, problem) ||
        !CheckActionCount(actions.size(), problem)) {
        return std::nullopt;
    }
    MacroRecord m = NewMacroRecord(name, edit.macros);
    m.isNew = 0;  // written straight into the file: nothing is left to apply
    m.cycles = std::max<uint8_t>(cycles, 1);
    m.actionCount = static_cast<uint16_t>(actions.size());
    std::copy(actions.begin(), actions.end(), m.actions);
    edit.macros.push_back(m);
    return edit.macros.size() - 1;
}

bool SetMacro(EditCopy& edit, size_t index, std::span<const MacroAction> actions,
              std::optional<uint8_t> cycles, EditProblem* problem) {
    if (!CheckActionCount(actions.size(), problem)) return false;
    MacroRecord& m = edit.macros.at(index);
    std::fill(std::begin(m.actions), std::end(m.actions), MacroAction{});
    std::copy(actions.begin(), actions.end(), m.actions);
    m.actionCount = static_cast<uint16_t>(actions.size());
    if (cycles) {
        m.cycles = std::max<uint8_t>(*cycles, 1);
        ShowRepeatCount(edit, m);
    }
    return true;
}

bool RenameMacro(EditCopy& edit, size_t index, std::u16string_view name, EditProblem* problem) {
    if (!CheckNewMacroName(edit.macros, name, index, problem)) return false;
    edit.macros.at(index).SetName(name);
    return true;
}

std::vector<size_t> EntriesPlayingMacro(const ConfigImage& image, uint16_t id) {
    std::vector<size_t> out;
    for (size_t i = 0; i < kEntryCount; ++i) {
        const ConfigEntry e = image.entry(i);
        if (e.kind == static_cast<uint16_t>(AssignmentKind::Macro) && (e.value & 0xFFFF) == id)
            out.push_back(i);
    }
    return out;
}

std::vector<size_t> RemoveMacro(EditCopy& edit, size_t index) {
    const uint16_t id = edit.macros.at(index).id;
    const std::vector<size_t> users = EntriesPlayingMacro(edit.image, id);
    for (size_t i : users) {
        const int profile = static_cast<int>(i / kEntriesPerBlock);
        const int slot = static_cast<int>(i % kEntriesPerBlock);
        StoreEntry(edit, profile, slot,
                   EntryForAssignment(slot, edit.image.entry(i), Assignment::Default()).entry);
    }
    edit.macros.erase(edit.macros.begin() + static_cast<std::ptrdiff_t>(index));
    return users;
}

}  // namespace vornak
