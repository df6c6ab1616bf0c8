#include "history/step_text.h"

#include "platform/text_format.h"

namespace vornak {

std::u16string SlotName(int slot, const LanguageTexts& texts) {
    return DescribeAssignment(slot, ConfigEntry{}, {}, texts).text;
}

std::u16string DescribeAssignStep(int slot, const ConfigEntry& entry, std::span<const MacroRecord> macros,
                                  const LanguageTexts& texts) {
    const std::u16string name = SlotName(slot, texts);
    const std::u16string& separator = texts[TextId::KEY_PROMPT_SET];
    if (entry.kind == static_cast<uint16_t>(AssignmentKind::Default))
        return name + separator + texts[TextId::HISTORY_KEY_DEFAULT];
    std::u16string text = DescribeAssignment(slot, entry, macros, texts).text;
    // Kinds the description names by the separator alone (disabled, program, text) read better without it.
    if (text.size() == name.size() + separator.size()) text.resize(name.size());
    return text;
}

std::u16string DescribeSwapStep(int slotA, int slotB, const LanguageTexts& texts) {
    const std::u16string a = SlotName(slotA, texts);
    const std::u16string b = SlotName(slotB, texts);
    return FormatText(texts[TextId::HISTORY_SWAP], {std::u16string_view(a), std::u16string_view(b)});
}

std::u16string DescribeCopyStep(int fromSlot, int toSlot, const LanguageTexts& texts) {
    const std::u16string from = SlotName(fromSlot, texts);
    const std::u16string to = SlotName(toSlot, texts);
    return FormatText(texts[TextId::HISTORY_COPY], {std::u16string_view(from), std::u16string_view(to)});
}

std::u16string DescribeRestoreDefaultsStep(const LanguageTexts& texts) {
    return texts[TextId::HISTORY_DEFAULTS];
}

std::u16string UndoMenuText(EditHistory& history, const LanguageTexts& texts) {
    if (!history.CanUndo()) return texts[TextId::HISTORY_UNDO_NONE];
    const std::u16string step = history.UndoDescription();
    return FormatText(texts[TextId::HISTORY_UNDO], {std::u16string_view(step)});
}

std::u16string RedoMenuText(EditHistory& history, const LanguageTexts& texts) {
    if (!history.CanRedo()) return texts[TextId::HISTORY_REDO_NONE];
    const std::u16string step = history.RedoDescription();
    return FormatText(texts[TextId::HISTORY_REDO], {std::u16string_view(step)});
}

std::u16string MoveRefusalText(AssignRefusal refusal, const LanguageTexts& texts) {
    return refusal == AssignRefusal::MacroOnlyKey ? texts[TextId::HISTORY_G9_REFUSED] : std::u16string();
}

}  // namespace vornak
