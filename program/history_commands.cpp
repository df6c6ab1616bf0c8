#include "program/history_commands.h"

#include <mutex>

#include "history/step_text.h"
#include "platform/utf.h"

namespace vornak {

HistoryCommands::HistoryCommands(MainWindowModel& model, ConfigStore& store, const LanguageTexts& texts,
                                 HistoryLimits limits)
    : model_(model), store_(store), texts_(texts), history_(store, limits) {
    model_.SetEditObserver(this);
}

HistoryCommands::~HistoryCommands() {
    model_.SetEditObserver(nullptr);
}

std::u16string HistoryCommands::UndoText() {
    return UndoMenuText(history_, texts_);
}

std::u16string HistoryCommands::RedoText() {
    return RedoMenuText(history_, texts_);
}

void HistoryCommands::Follow() {
    if (history_.SendAllProfiles()) model_.RequestAllProfilesOnNextApply();
}

bool HistoryCommands::Undo() {
    if (!history_.Undo(model_.selectedProfile())) return false;
    model_.Refresh();
    model_.SetApplyEnabled(true);  // the keyboard holds what was applied, not this
    Follow();
    return true;
}

bool HistoryCommands::Redo() {
    if (!history_.Redo(model_.selectedProfile())) return false;
    model_.Refresh();
    model_.SetApplyEnabled(true);
    Follow();
    return true;
}

AssignRefusal HistoryCommands::CheckDrop(int fromSlot, int toSlot, bool copy) {
    std::lock_guard lock(store_.lockA());
    const int profile = model_.selectedProfile();
    return copy ? CheckCopy(store_.edit(), profile, fromSlot, toSlot)
                : CheckSwap(store_.edit(), profile, fromSlot, toSlot);
}

namespace {

// A key's entry with its name, to tell whether a swap or copy changed it.
struct KeyState {
    ConfigEntry entry;
    std::optional<std::u16string> name;
    friend bool operator==(const KeyState&, const KeyState&) = default;
};

KeyState StateOf(const EditCopy& edit, int profile, int slot) {
    return {edit.image.entry(profile, slot), edit.names.name(EntryIndex(profile, slot))};
}

}  // namespace

AssignRefusal HistoryCommands::Swap(int slotA, int slotB) {
    const int profile = model_.selectedProfile();
    AssignRefusal refusal = AssignRefusal::None;
    pending_ = DescribeSwapStep(slotA, slotB, texts_);
    model_.Edit(kEditSwap, [&](EditCopy& edit) {
        const KeyState a = StateOf(edit, profile, slotA), b = StateOf(edit, profile, slotB);
        refusal = SwapAssignments(edit, profile, slotA, slotB);
        return !(StateOf(edit, profile, slotA) == a && StateOf(edit, profile, slotB) == b);
    });
    pending_.clear();
    return refusal;
}

AssignRefusal HistoryCommands::Copy(int fromSlot, int toSlot) {
    const int profile = model_.selectedProfile();
    AssignRefusal refusal = AssignRefusal::None;
    pending_ = DescribeCopyStep(fromSlot, toSlot, texts_);
    model_.Edit(kEditCopy, [&](EditCopy& edit) {
        const KeyState to = StateOf(edit, profile, toSlot);
        refusal = CopyAssignment(edit, profile, fromSlot, toSlot);
        return !(StateOf(edit, profile, toSlot) == to);
    });
    pending_.clear();
    return refusal;
}

void HistoryCommands::Applied(const ApplyOutcome& outcome) {
    if (outcome.succeeded()) history_.Applied(outcome.allProfiles);
}

void HistoryCommands::BeforeEdit(const EditCopy&, std::string_view what) {
    capture_ = history_.Begin();
    what_ = std::string(what);
}

void HistoryCommands::AfterEdit(const EditCopy& edit) {
    if (!capture_) return;
    EditHistory::Capture capture = std::move(*capture_);
    capture_.reset();
    if (history_.Commit(std::move(capture), Describe(what_, edit), model_.selectedProfile())) Follow();
}

void HistoryCommands::Loaded() {
    history_.Clear();
}

std::u16string HistoryCommands::Describe(std::string_view what, const EditCopy& after) const {
    if (!pending_.empty()) return pending_;
    if (what == kEditDefaults) return DescribeRestoreDefaultsStep(texts_);
    if (dialogSlot_ >= 0) {
        return DescribeAssignStep(dialogSlot_, after.image.entry(model_.selectedProfile(), dialogSlot_),
                                  after.macros, texts_);
    }
    return Utf8ToUtf16(what);
}

}  // namespace vornak
