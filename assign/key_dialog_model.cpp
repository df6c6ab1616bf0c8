#include "assign/key_dialog_model.h"

#include "keyboard/key_buttons.h"
#include "platform/text_format.h"

namespace vornak {

namespace {

bool HasPage(uint16_t kind) {
    switch (static_cast<AssignmentKind>(kind)) {
        case AssignmentKind::Default:
        case AssignmentKind::Key:
        case AssignmentKind::Macro:
        case AssignmentKind::Media:
        case AssignmentKind::Function:
            return true;
        default:
            return false;
    }
}

// What the captured-key box says of an entry that no page can show.
std::u16string DescribeStoredOnly(const ConfigEntry& entry, const std::optional<std::u16string>& name,
                                  const LanguageTexts& texts) {
    const std::u16string_view text = name ? std::u16string_view(*name) : std::u16string_view();
    switch (static_cast<AssignmentKind>(entry.kind)) {
        case AssignmentKind::Disabled:
            return texts[TextId::KEY_KIND_DISABLED];
        case AssignmentKind::LaunchProgram:
            return FormatText(texts[TextId::KEY_KIND_PROGRAM], {text});
        case AssignmentKind::StopMacro:
            return texts[TextId::KEY_KIND_STOP_MACRO];
        case AssignmentKind::TextBlock:
            return FormatText(texts[TextId::KEY_KIND_TEXT], {text});
        default:
            return FormatText(texts[TextId::KEY_KIND_UNKNOWN], {static_cast<int64_t>(entry.kind)});
    }
}

std::optional<int> SlotOfButton(uint16_t buttonId, bool layerB) {
    if (const auto g = GKeyIndex(buttonId)) return GKeySlot(*g, layerB);
    if (const auto code = KeyButtonCode(buttonId)) return KeySlot(*code);
    return std::nullopt;
}

int RowOf(uint32_t value, size_t rows) {
    return value < rows ? static_cast<int>(value) : 0;
}

}  // namespace

std::u16string MediaRowName(size_t row, const LanguageTexts& texts) {
    return row < kMediaActionTable.size() ? KeyCodeName(kMediaActionTable[row].code, texts)
                                          : std::u16string();
}

std::u16string FunctionRowName(size_t row, const LanguageTexts& texts) {
    return row < kFunctionKeyTable.size() ? texts[kFunctionKeyTable[row]] : std::u16string();
}

KeyDialogModel::KeyDialogModel(KeyDialogHost& host, MacroPage& macroPage, const LanguageTexts& texts)
    : host_(host), macroPage_(macroPage), texts_(texts) {}

bool KeyDialogModel::Open(uint16_t buttonId, bool layerB) {
    if (isOpen()) return false;
    const auto slot = SlotOfButton(buttonId, layerB);
    if (!slot) return false;
    editedKey_ = *slot;
    buttonId_ = buttonId;
    macroOnly_ = buttonId == kMacroOnlyButtonId;
    profile_ = host_.currentProfile();
    ++openCount_;

    mediaRow_ = 0;
    functionRow_ = 0;
    ConfigEntry entry;
    std::optional<std::u16string> name;
    host_.ReadEditCopy([&](const EditCopy& edit) {
        macroPage_.Load(edit.macros);
        const size_t index = EntryIndex(profile_, editedKey_);
        entry = edit.image.entry(index);
        name = edit.names.name(index);
    });
    currentValue_ = entry.value;
    currentCode_ = entry.code;
    const bool stored = !HasPage(entry.kind);
    page_ = stored ? DialogPage::SingleKey : static_cast<DialogPage>(entry.kind);
    if (macroOnly_) page_ = DialogPage::Macro;

    capturedKey_ = 0;
    capturedKeyText_.clear();
    keyChosen_ = false;
    lastCommit_ = {};
    // An entry the pages cannot show opens on the single-key page with nothing captured; the box says what
    // the key holds, and OK leaves it so unless the user chooses something else.
    if (stored && !macroOnly_) {
        currentValue_ = 0;
        EnterPage(page_, true);
        capturedKeyText_ = DescribeStoredOnly(entry, name, texts_);
    } else {
        EnterPage(page_, true);
    }
    // A key whose macro is gone opens on the first macro: OK gives it the macro shown, not its default.
    if (page_ == DialogPage::Macro && !macroOnly_) {
        const auto& macros = macroPage_.macros();
        const int shown = macroPage_.selected();
        if (shown >= 0 && shown < static_cast<int>(macros.size()) &&
            macros[static_cast<size_t>(shown)].id != (currentValue_ & 0xFFFF))
            keyChosen_ = true;
    }
    applyEnabled_ = false;
    return true;
}

void KeyDialogModel::EnterPage(DialogPage page, bool initialForm) {
    switch (page) {
        case DialogPage::Macro:
            macroPage_.Enter(currentValue_, initialForm);
            break;
        case DialogPage::Media:
            macroPage_.StopRecording();
            if (initialForm) mediaRow_ = RowOf(currentValue_, kMediaActionTable.size());
            break;
        case DialogPage::Function:
            macroPage_.StopRecording();
            if (initialForm) functionRow_ = RowOf(currentValue_, kFunctionKeyTable.size());
            break;
        case DialogPage::SingleKey:
        case DialogPage::Default:
            macroPage_.StopRecording();
            if (initialForm) {
                capturedKey_ = static_cast<KeyCode>(currentValue_ & 0xFFFF);
                if (page == DialogPage::SingleKey && capturedKey_ != 0)
                    capturedKeyText_ = KeyCodeName(capturedKey_, texts_);
            }
            break;
    }
}

void KeyDialogModel::SwitchPage(DialogPage page) {
    if (page == page_) return;
    page_ = page;
    EnterPage(page, false);
    applyEnabled_ = true;
    keyChosen_ = true;
}

bool KeyDialogModel::pageButtonEnabled(uint16_t controlId) const {
    switch (controlId) {
        case kCtlMacroPage:
            return true;
        case kCtlSingleKeyPage:
        case kCtlMediaPage:
        case kCtlFunctionPage:
            return !macroOnly_;
        default:
            return false;
    }
}

void KeyDialogModel::PressPageButton(uint16_t controlId) {
    if (!isOpen() || !pageButtonEnabled(controlId)) return;
    switch (controlId) {
        case kCtlSingleKeyPage:
            // Page 0 is the single-key page with the key returned to default: it stays so.
            if (page_ != DialogPage::Default) SwitchPage(DialogPage::SingleKey);
            break;
        case kCtlMacroPage:
            SwitchPage(DialogPage::Macro);
            break;
        case kCtlMediaPage:
            SwitchPage(DialogPage::Media);
            break;
        case kCtlFunctionPage:
            SwitchPage(DialogPage::Function);
            break;
        default:
            break;
    }
}

void KeyDialogModel::Clear() {
    if (!isOpen() || macroOnly_) return;
    if (page_ != DialogPage::SingleKey && page_ != DialogPage::Default) {
        page_ = DialogPage::SingleKey;
        EnterPage(page_, false);
    }
    // Clear changes what OK writes, so it enables Apply wherever it is pressed (the key may already show the
    // single-key page).
    if (page_ != DialogPage::Default) applyEnabled_ = true;
    capturedKeyText_.clear();
    page_ = DialogPage::Default;
    keyChosen_ = true;
}

void KeyDialogModel::ChooseMediaRow(int row) {
    if (!isOpen() || row < 0 || row >= static_cast<int>(kMediaActionTable.size()) || row == mediaRow_) return;
    mediaRow_ = row;
    applyEnabled_ = true;
    keyChosen_ = true;
}

void KeyDialogModel::ChooseFunctionRow(int row) {
    if (!isOpen() || row < 0 || row >= static_cast<int>(kFunctionKeyTable.size()) || row == functionRow_)
        return;
    functionRow_ = row;
    applyEnabled_ = true;
    keyChosen_ = true;
}

void KeyDialogModel::MacroPageEdited() {
    if (!isOpen()) return;
    applyEnabled_ = true;
    if (page_ == DialogPage::Macro) keyChosen_ = true;
}

bool KeyDialogModel::OnKeyEvent(const HookKeyEvent& event) {
    if (!capturing()) return false;
    const CaptureDecision decision = DecideSingleKeyCapture(event);
    switch (decision.action) {
        case CaptureAction::PassOn:
            return false;
        case CaptureAction::Swallow:
            return true;
        case CaptureAction::Capture:
            Capture(decision.code);
            return true;
    }
    return false;
}

void KeyDialogModel::Capture(KeyCode code) {
    capturedKey_ = code;
    capturedKeyText_ = KeyCodeName(code, texts_);
    page_ = DialogPage::SingleKey;
    applyEnabled_ = true;
    keyChosen_ = true;
}

bool KeyDialogModel::helpAllowed() const {
    return isOpen() && !macroPage_.recording();
}

std::optional<Assignment> KeyDialogModel::ChosenAssignment() const {
    // The macro editor's OK gives G9 the macro it shows, as the main window's macro button promises.
    if (!keyChosen_ && !macroOnly_) return std::nullopt;
    switch (page_) {
        case DialogPage::Default:
            return Assignment::Default();
        case DialogPage::SingleKey:
            return Assignment::Key(capturedKey_);
        case DialogPage::Macro: {
            const auto& macros = macroPage_.macros();
            const int selected = macroPage_.selected();
            // No macro on the page, or none shown: the key returns to its default.
            if (macros.empty() || selected < 0 || selected >= static_cast<int>(macros.size()))
                return Assignment::Default();
            return Assignment::Macro(macros[static_cast<size_t>(selected)].id, macroPage_.repeatCount());
        }
        case DialogPage::Media:
            return Assignment::Media(static_cast<uint32_t>(mediaRow_));
        case DialogPage::Function:
            return Assignment::Function(static_cast<uint32_t>(functionRow_));
    }
    return std::nullopt;
}

bool KeyDialogModel::WriteToEditCopy(const KeyDialogCommit& commit) {
    return host_.EditConfig("key dialog", [&](EditCopy& edit) {
        lastCommit_ = CommitKeyDialog(edit, commit);
        return lastCommit_.changed;
    });
}

CommitOutcome KeyDialogModel::Apply() {
    if (!isOpen()) return CommitOutcome::NotOpen;
    macroPage_.StopRecording();
    macroPage_.StoreBack();

    KeyDialogCommit commit;
    commit.profile = profile_;
    commit.slot = editedKey_;
    commit.assignment = ChosenAssignment();
    commit.macros = macroPage_.macros();
    if (!WriteToEditCopy(commit)) return CommitOutcome::Busy;

    macroPage_.Applied();
    if (lastCommit_.entryWritten) {
        host_.ReadEditCopy([&](const EditCopy& edit) {
            const ConfigEntry entry = edit.image.entry(profile_, editedKey_);
            currentValue_ = entry.value;
            currentCode_ = entry.code;
        });
    }
    keyChosen_ = false;
    applyEnabled_ = false;
    return CommitOutcome::Written;
}

CommitOutcome KeyDialogModel::Ok() {
    const CommitOutcome outcome = Apply();
    if (outcome == CommitOutcome::Written) Close();
    return outcome;
}

void KeyDialogModel::Cancel() {
    if (isOpen()) Close();
}

void KeyDialogModel::Close() {
    macroPage_.StopRecording();
    macroPage_.Clear();
    applyEnabled_ = false;
    keyChosen_ = false;
    capturedKeyText_.clear();
    --openCount_;
}

}  // namespace vornak
