#include "profile/profile_diff.h"

#include <algorithm>

#include "assign/assign_text.h"

namespace vornak {

namespace {

std::u16string KeyText(const EditCopy& copy, int profile, int slot, const LanguageTexts& texts) {
    std::u16string text = ActionText(copy.image.entry(profile, slot), copy.macros, texts);
    if (const auto& name = copy.names.name(EntryIndex(profile, slot))) text += u" \"" + *name + u"\"";
    return text;
}

bool SameMacro(const MacroRecord& a, const MacroRecord& b) {
    return a.cycles == b.cycles &&
           std::ranges::equal(a.Actions(), b.Actions(), [](const auto& x, const auto& y) {
               return x.delay == y.delay && x.keyCode == y.keyCode && (x.release == 1) == (y.release == 1);
           });
}

}  // namespace

ProfileDiff DiffProfiles(const EditCopy& before, const EditCopy& after, const LanguageTexts& texts) {
    ProfileDiff diff;
    const std::vector<int> slots = NamedSlots();
    for (int p = 0; p < kProfileCount; ++p) {
        for (int slot : slots) {
            std::u16string a = KeyText(before, p, slot, texts);
            std::u16string b = KeyText(after, p, slot, texts);
            if (a != b) diff.keys.push_back({p, slot, std::move(a), std::move(b)});
        }
    }
    std::vector<bool> paired(after.macros.size(), false);
    for (const MacroRecord& a : before.macros) {
        const MacroRecord* match = nullptr;
        for (size_t i = 0; i < after.macros.size() && match == nullptr; ++i) {
            if (!paired[i] && after.macros[i].Name() == a.Name()) {
                paired[i] = true;
                match = &after.macros[i];
            }
        }
        if (match == nullptr || !SameMacro(a, *match)) diff.macros.push_back({&a, match});
    }
    for (size_t i = 0; i < after.macros.size(); ++i) {
        if (!paired[i]) diff.macros.push_back({nullptr, &after.macros[i]});
    }
    return diff;
}

}  // namespace vornak
