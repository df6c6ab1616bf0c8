#include "macro/macro_editor.h"

#include <algorithm>

#include "keyboard/key_table.h"
#include "macro/macro_blob.h"
#include "platform/text_format.h"

namespace vornak {

namespace {

constexpr uint32_t kDelayStepMs = 10;
constexpr int kMinCycles = 1;
constexpr int kMaxCycles = 255;

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
    }
    return true;
}

std::u16string Number(int64_t value) {
    return FormatText(u"%d", {value});
}

// A box of digits read as a number, saturating far above any bound it is checked against; nothing when the
// text is empty or holds anything but digits.
std::optional<uint64_t> ReadDigits(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(c - u'0'), 1'000'000'000);
    }
    return value;
}

}  // namespace

MacroMemoryText DescribeMacroMemory(const MacroMemoryUse& use, const LanguageTexts& texts) {
    MacroMemoryText text;
    if (use.fit == MacroMemoryFit::Unknown) {
        text.amount = FormatText(texts[TextId::MACRO_MEMORY_UNKNOWN], {int64_t{use.used()}});
        return text;
    }
    text.amount = FormatText(texts[TextId::MACRO_MEMORY_USED], {int64_t{use.used()}, int64_t{use.capacity}});
    if (use.fit == MacroMemoryFit::WithoutNames) text.state = texts[TextId::MACRO_MEMORY_NO_NAMES];
    if (use.fit == MacroMemoryFit::TooLarge) text.state = texts[TextId::MACRO_MEMORY_TOO_LARGE];
    return text;
}

MacroEditor::MacroEditor(const LanguageTexts& texts, Prompts& prompts, MayDelete mayDelete,
                         MacroRecorder::Ticks ticks, MacroRecorder::PassedOn passedOn)
    : texts_(texts),
      prompts_(prompts),
      mayDelete_(std::move(mayDelete)),
      recorder_(std::move(ticks), std::move(passedOn)) {}

MacroEditorObserver& MacroEditor::observer() {
    return observer_ ? *observer_ : silent_;
}

void MacroEditor::NotifyEdited() {
    observer().Edited();
}

// --- MacroPage ---

void MacroEditor::Load(std::span<const MacroRecord> editMacros) {
    StopRecording();
    ++loads_;
    macros_.assign(editMacros.begin(), editMacros.end());
    for (auto& m : macros_)
        m.isNew = 0;
    selected_ = -1;
    nameCounter_ = 0;
    entered_ = false;
    rows_.clear();
    selectedRow_ = -1;
    SetCycles(kMinCycles);
    observer().MacroListChanged();
    observer().RowsReset();
}

void MacroEditor::Enter(uint32_t currentValue, bool initialForm) {
    if (!macros_.empty()) {
        if (initialForm) {
            const auto wanted = static_cast<uint16_t>(currentValue & 0xFFFF);
            const auto found = std::find_if(macros_.begin(), macros_.end(),
                                            [wanted](const MacroRecord& m) { return m.id == wanted; });
            SelectAndShow(found == macros_.end() ? 0 : static_cast<int>(found - macros_.begin()));
        } else if (!entered_ && currentValue == 0) {
            SelectAndShow(0);
        }
    }
    entered_ = true;
}

void MacroEditor::StopRecording() {
    if (!recording()) return;
    recorder_.Stop();
    observer().RecordingChanged();
    observer().MacroListChanged();
}

void MacroEditor::StoreBack() {
    if (selected_ < 0 || selected_ >= static_cast<int>(macros_.size())) return;
    observer().FinishCellEdit();
    MacroRecord& m = macros_[static_cast<size_t>(selected_)];
    m.cycles = cycles_;
    m.actionCount = static_cast<uint16_t>(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        m.actions[i] = rows_[i].action;
}

void MacroEditor::Applied() {
    for (auto& m : macros_)
        m.isNew = 0;
}

void MacroEditor::Clear() {
    StopRecording();
    macros_.clear();
    selected_ = -1;
    rows_.clear();
    selectedRow_ = -1;
    observer().MacroListChanged();
    observer().RowsReset();
}

// --- The macro list ---

void MacroEditor::SelectAndShow(int index) {
    StoreBack();
    selected_ = index;
    Show();
}

void MacroEditor::Show() {
    rows_.clear();
    selectedRow_ = -1;
    if (selected_ >= 0) {
        const MacroRecord& m = macros_[static_cast<size_t>(selected_)];
        SetCycles(m.cycles);
        for (const MacroAction& a : m.Actions())
            AddRow(a, false, RowSource::Load);
    }
    observer().MacroListChanged();
    observer().RowsReset();
}

void MacroEditor::Select(int index) {
    if (index < 0 || index >= static_cast<int>(macros_.size()) || index == selected_) return;
    SelectAndShow(index);
    // The shown macro is what the key plays after OK: choosing another one is something to apply.
    NotifyEdited();
}

void MacroEditor::TypeName(std::u16string_view text) {
    if (macros_.empty()) {
        if (text.empty()) return;
        macros_.insert(macros_.begin(), NewMacroRecord(text, macros_));
        selected_ = 0;
        Show();
    } else {
        if (selected_ < 0) return;
        macros_[static_cast<size_t>(selected_)].SetName(text);
        observer().MacroRenamed(selected_);
    }
    NotifyEdited();
}

bool MacroEditor::Add() {
    if (macros_.size() >= kMaxMacros) {
        prompts_.Inform(FormatText(texts_[TextId::MACRO_ERR_MAX], {int64_t{kMaxMacros}}));
        return false;
    }
    if (macros_.empty()) nameCounter_ = 0;
    std::u16string candidate;
    bool taken = true;
    while (taken) {
        ++nameCounter_;
        candidate = texts_[TextId::MACRO_NEW_PREFIX] + Number(nameCounter_);
        taken = std::any_of(macros_.begin(), macros_.end(), [&candidate](const MacroRecord& m) {
            return StartsWithIgnoringCase(m.Name(), candidate);
        });
    }
    MacroRecord record = NewMacroRecord(candidate, macros_);
    StoreBack();
    macros_.push_back(record);
    selected_ = static_cast<int>(macros_.size()) - 1;
    Show();
    NotifyEdited();
    return true;
}

bool MacroEditor::DeleteSelected() {
    if (macros_.empty() || selected_ < 0) return false;
    if (mayDelete_ && !mayDelete_(macros_[static_cast<size_t>(selected_)])) return false;
    macros_.erase(macros_.begin() + selected_);
    selected_ = macros_.empty() ? -1 : std::max(0, selected_ - 1);
    Show();
    NotifyEdited();
    return true;
}

// --- Rows ---

bool MacroEditor::AddRow(MacroAction action, bool afterSelection, RowSource source) {
    if (rows_.size() >= kMaxMacroActions) return false;
    if (action.release > 1) action.release = 0;
    const size_t at =
        afterSelection && RowValid(selectedRow_) ? static_cast<size_t>(selectedRow_) + 1 : rows_.size();
    if (source == RowSource::Record) {
        // Each row's delay is the wait after it: the row above waits this action's delay, and the new row
        // takes over what the row above waited before.
        if (at == 0) {
            action.delay = 0;
        } else {
            std::swap(action.delay, rows_[at - 1].action.delay);
        }
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), MacroActionRow{action, true});
    if (source == RowSource::Record) {
        selectedRow_ = static_cast<int>(at);
        observer().RowInserted(selectedRow_);
        NotifyEdited();
    }
    return true;
}

void MacroEditor::AddRecordedAction(const MacroAction& action) {
    AddRow(action, true, RowSource::Record);
}

void MacroEditor::SelectRow(int row) {
    selectedRow_ = RowValid(row) ? row : -1;
}

void MacroEditor::DeleteRow() {
    if (!RowValid(selectedRow_)) return;
    rows_.erase(rows_.begin() + selectedRow_);
    // The row that took its place stays selected, so Delete can be pressed again.
    if (selectedRow_ >= static_cast<int>(rows_.size())) selectedRow_ = static_cast<int>(rows_.size()) - 1;
    observer().RowsReset();
    NotifyEdited();
}

bool MacroEditor::ClearRows() {
    if (rows_.empty()) return false;
    if (!prompts_.AskYesNo(texts_[TextId::MACRO_ACTION_CLEAR_CONFIRM], PromptAnswer::No)) return false;
    rows_.clear();
    selectedRow_ = -1;
    observer().RowsReset();
    NotifyEdited();
    return true;
}

void MacroEditor::MoveRow(int to) {
    if (!RowValid(selectedRow_)) return;
    to = std::clamp(to, 0, static_cast<int>(rows_.size()) - 1);
    if (to == selectedRow_) return;
    const MacroActionRow row = rows_[static_cast<size_t>(selectedRow_)];
    rows_.erase(rows_.begin() + selectedRow_);
    rows_.insert(rows_.begin() + to, row);
    selectedRow_ = to;
    observer().RowsReset();
    NotifyEdited();
}

void MacroEditor::MoveRowToTop() {
    MoveRow(0);
}
void MacroEditor::MoveRowUp() {
    MoveRow(selectedRow_ - 1);
}
void MacroEditor::MoveRowDown() {
    MoveRow(selectedRow_ + 1);
}
void MacroEditor::MoveRowToBottom() {
    MoveRow(static_cast<int>(rows_.size()) - 1);
}

// --- Cells ---

std::u16string MacroEditor::CellText(int row, int column) const {
    if (!RowValid(row)) return {};
    const MacroAction& a = rows_[static_cast<size_t>(row)].action;
    switch (column) {
        case 0:
            return KeyCodeName(a.keyCode, texts_);
        case 1:
            return ActionChoices()[a.release == 1 ? 1 : 0];
        case 2:
            return Number(a.delay);
        default:
            return {};
    }
}

std::vector<std::u16string> MacroEditor::KeyChoices() const {
    std::vector<std::u16string> names;
    names.reserve(kListPositionCount);
    for (uint16_t p = 0; p < kListPositionCount; ++p)
        names.push_back(ListPositionName(p, texts_));
    return names;
}

std::vector<std::u16string> MacroEditor::ActionChoices() const {
    return {u"\u2193", u"  \u2191"};
}

int MacroEditor::KeyChoice(int row) const {
    if (!RowValid(row)) return -1;
    const uint16_t p = KeyCodeToListPosition(rows_[static_cast<size_t>(row)].action.keyCode);
    return p < kListPositionCount ? p : -1;
}

int MacroEditor::ActionChoice(int row) const {
    return RowValid(row) ? (rows_[static_cast<size_t>(row)].action.release == 1 ? 1 : 0) : -1;
}

void MacroEditor::OpenCellEditor() {
    StopRecording();
}

void MacroEditor::ChooseKey(int row, int choice) {
    if (!RowValid(row) || choice < 0 || choice >= static_cast<int>(kListPositionCount)) return;
    if (choice == KeyChoice(row)) return;
    rows_[static_cast<size_t>(row)].action.keyCode = ListPositionToKeyCode(static_cast<uint16_t>(choice));
    observer().RowChanged(row);
    NotifyEdited();
}

void MacroEditor::ChooseAction(int row, int choice) {
    if (!RowValid(row) || (choice != 0 && choice != 1) || choice == ActionChoice(row)) return;
    rows_[static_cast<size_t>(row)].action.release = static_cast<uint16_t>(choice);
    observer().RowChanged(row);
    NotifyEdited();
}

void MacroEditor::CommitDelay(int row, std::u16string_view text) {
    if (!RowValid(row)) return;
    const std::optional<uint64_t> typed = ReadDigits(text);
    if (typed) {
        uint64_t delay = *typed;
        if (delay > kMaxMacroDelayMs) {
            prompts_.Inform(
                FormatText(texts_[TextId::MACRO_ACTION_ERR_DELAY_MAX], {int64_t{kMaxMacroDelayMs}}));
            delay = kMaxMacroDelayMs;
        }
        uint32_t& stored = rows_[static_cast<size_t>(row)].action.delay;
        const auto rounded = static_cast<uint32_t>(delay - delay % kDelayStepMs);
        if (rounded != stored) {
            stored = rounded;
            NotifyEdited();
        }
    }
    // The cell shows what is stored, also when the text was refused.
    observer().RowChanged(row);
}

// --- Repeat count ---

void MacroEditor::SetCycles(int cycles) {
    cycles_ = static_cast<uint8_t>(std::clamp(cycles, kMinCycles, kMaxCycles));
    repeatText_ = Number(cycles_);
    observer().RepeatTextChanged();
}

void MacroEditor::TypeRepeat(std::u16string_view text) {
    if (text.empty()) {
        repeatText_.clear();
    } else {
        const std::optional<uint64_t> typed = ReadDigits(text);
        if (!typed) {
            observer().RepeatTextChanged();  // the box goes back to its text
            return;
        }
        repeatText_ = text;
        if (*typed > kMaxCycles || *typed < kMinCycles) {
            SetCycles(*typed > kMaxCycles ? kMaxCycles : kMinCycles);
        } else {
            cycles_ = static_cast<uint8_t>(*typed);
        }
    }
    NotifyEdited();
}

void MacroEditor::FinishRepeat() {
    if (repeatText_.empty()) SetCycles(cycles_);
}

// --- Recording ---

void MacroEditor::ToggleRecording() {
    if (recording()) {
        StopRecording();
        return;
    }
    if (selected_ < 0) return;
    recorder_.Start(*this);
    observer().RecordingChanged();
    observer().MacroListChanged();
}

// --- Memory ---

MacroMemoryUse MacroEditor::memoryUse() const {
    MacroBlobSizes sizes = ComputeMacroBlobSizes(macros_);
    // The shown macro counts with its rows as they are now, not as last stored.
    if (selected_ >= 0) {
        const int64_t extra =
            4 * (static_cast<int64_t>(rows_.size()) -
                 static_cast<int64_t>(macros_[static_cast<size_t>(selected_)].ActionCount()));
        sizes.withNames = static_cast<uint32_t>(sizes.withNames + extra);
        sizes.withoutNames = static_cast<uint32_t>(sizes.withoutNames + extra);
    }
    MacroMemoryUse use;
    use.withNames = sizes.withNames;
    use.withoutNames = sizes.withoutNames;
    use.capacity = capacity_;
    if (capacity_ == 0) {
        use.fit = MacroMemoryFit::Unknown;
    } else if (use.withoutNames > capacity_) {
        use.fit = MacroMemoryFit::TooLarge;
    } else if (use.withNames > capacity_) {
        use.fit = MacroMemoryFit::WithoutNames;
    } else {
        use.fit = MacroMemoryFit::Fits;
    }
    return use;
}

}  // namespace vornak
