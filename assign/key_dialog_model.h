// The key assignment dialog without its window: which key it edits, its pages, the single-key capture, Clear,
// and what OK, Apply and Cancel do to the edit copy. The dialog (assign/view) renders this state and forwards
// the user's actions; tests drive it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "assign/key_capture.h"
#include "assign/key_dialog_commit.h"
#include "assign/key_dialog_host.h"
#include "macro/macro_page.h"

namespace vornak {

// The page values are the kinds they give a key: do not renumber.
enum class DialogPage : int { Default = 0, SingleKey = 2, Macro = 4, Media = 7, Function = 8 };

// Control ids of the dialog.
inline constexpr uint16_t kCtlSingleKeyPage = 1028;
inline constexpr uint16_t kCtlMacroPage = 1029;
inline constexpr uint16_t kCtlMediaPage = 1030;
inline constexpr uint16_t kCtlFunctionPage = 1031;
inline constexpr uint16_t kCtlClear = 1032;
inline constexpr uint16_t kCtlOsk = 1132;
inline constexpr uint16_t kCtlOk = 1;
inline constexpr uint16_t kCtlCancel = 2;
inline constexpr uint16_t kCtlApply = 1015;
// The G9 button: the dialog opened for it (and by the main window's macro button) shows only the macro page.
inline constexpr uint16_t kMacroOnlyButtonId = 1143;

enum class CommitOutcome {
    Written,  // the edit copy holds the dialog's state
    Busy,     // the edit copy could not be changed now: nothing was written, the dialog stays as it was
    NotOpen,
};

class KeyDialogModel {
  public:
    KeyDialogModel(KeyDialogHost& host, MacroPage& macroPage, const LanguageTexts& texts);

    // Opens the dialog for a key button of the main window (a G key stands for slot 256 + i on layer A and
    // 265 + i on layer B). False for an id that is no key button, or while the dialog is open.
    bool Open(uint16_t buttonId, bool layerB);
    // OK: Apply, then close. Stays open when the edit copy is busy.
    CommitOutcome Ok();
    CommitOutcome Apply();
    // Cancel, the main window's exit and the keyboard's removal: what was not applied is dropped.
    void Cancel();

    // A page button (1028..1031), Clear (1032).
    void PressPageButton(uint16_t controlId);
    void Clear();
    void ChooseMediaRow(int row);
    void ChooseFunctionRow(int row);
    // The macro page changed something (a macro, its actions, the selection, the repeat count).
    void MacroPageEdited();

    // A key event while the capture is on; true swallows it.
    bool OnKeyEvent(const HookKeyEvent& event);
    // Whether F1 may open the help now (never while a macro is being recorded).
    bool helpAllowed() const;

    bool isOpen() const { return openCount_ > 0; }
    // How many times the dialog is open now: a switch of scene profile is refused while it is above 0.
    int openCount() const { return openCount_; }
    int editedKey() const { return editedKey_; }
    uint16_t buttonId() const { return buttonId_; }
    bool macroOnly() const { return macroOnly_; }
    DialogPage page() const { return page_; }
    // The page whose controls are shown: page 0 (the key returned to default) shows the single-key page.
    DialogPage shownPage() const { return page_ == DialogPage::Default ? DialogPage::SingleKey : page_; }
    KeyCode capturedKey() const { return capturedKey_; }
    // What the captured-key box shows.
    const std::u16string& capturedKeyText() const { return capturedKeyText_; }
    int mediaRow() const { return mediaRow_; }
    int functionRow() const { return functionRow_; }
    bool applyEnabled() const { return applyEnabled_; }
    // The capture is on exactly while the single-key page (or page 0) is current.
    bool capturing() const {
        return isOpen() && (page_ == DialogPage::SingleKey || page_ == DialogPage::Default);
    }
    bool pageButtonEnabled(uint16_t controlId) const;
    bool clearEnabled() const { return !macroOnly_; }
    uint32_t currentValue() const { return currentValue_; }
    uint16_t currentCode() const { return currentCode_; }
    // The result of the last commit (OK or Apply), for the window to show what changed.
    const KeyDialogCommitResult& lastCommit() const { return lastCommit_; }

  private:
    void EnterPage(DialogPage page, bool initialForm);
    void SwitchPage(DialogPage page);
    void Capture(KeyCode code);
    std::optional<Assignment> ChosenAssignment() const;
    // The only place the dialog writes into the edit copy.
    bool WriteToEditCopy(const KeyDialogCommit& commit);
    void Close();

    KeyDialogHost& host_;
    MacroPage& macroPage_;
    const LanguageTexts& texts_;

    int editedKey_ = 0;
    uint16_t buttonId_ = 0;
    int profile_ = 0;
    bool macroOnly_ = false;
    DialogPage page_ = DialogPage::SingleKey;
    uint32_t currentValue_ = 0;
    uint16_t currentCode_ = 0;
    KeyCode capturedKey_ = 0;
    std::u16string capturedKeyText_;
    int mediaRow_ = 0;
    int functionRow_ = 0;
    bool applyEnabled_ = false;
    // The user gave the key a new assignment since the dialog opened or last applied: only then do OK and
    // Apply rewrite the key's entry (an entry the pages cannot show, such as a text block, survives an OK).
    bool keyChosen_ = false;
    int openCount_ = 0;
    KeyDialogCommitResult lastCommit_;
};

// The media and function lists of the dialog, in row order.
std::u16string MediaRowName(size_t row, const LanguageTexts& texts);
std::u16string FunctionRowName(size_t row, const LanguageTexts& texts);

}  // namespace vornak
