// The macro page of the key dialog: the private copies of the macros, the one shown with its action rows and
// repeat count, recording into it, and how much of the keyboard's macro memory the list takes. The page's
// widgets render this model and forward what the user does.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_page.h"
#include "macro/macro_record.h"
#include "macro/macro_recorder.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"

namespace vornak {

struct MacroActionRow {
    MacroAction action;
    bool grey = false;  // loaded or recorded: key and action drawn in the system's grey
};

enum class MacroMemoryFit { Unknown, Fits, WithoutNames, TooLarge };

// The macro list as the keyboard would take it at the next download.
struct MacroMemoryUse {
    uint32_t withNames = 0;
    uint32_t withoutNames = 0;
    uint32_t capacity = 0;  // 0 while no keyboard told its size
    MacroMemoryFit fit = MacroMemoryFit::Unknown;
    // The bytes the download would write: with names when they fit.
    uint32_t used() const { return fit == MacroMemoryFit::Fits ? withNames : withoutNames; }
};

// The meter's lines: the amount ("1234 / 4096 bytes") and, when it does not fit whole, why.
struct MacroMemoryText {
    std::u16string amount;
    std::u16string state;
};
MacroMemoryText DescribeMacroMemory(const MacroMemoryUse& use, const LanguageTexts& texts);

// What the page's widgets are told; each call says what to render again.
class MacroEditorObserver {
  public:
    virtual ~MacroEditorObserver() = default;
    virtual void MacroListChanged() {}           // entries, their order, the selected one, enabled controls
    virtual void MacroRenamed(int /*index*/) {}  // the entry's text follows its record's name
    virtual void RowsReset() {}                  // another macro shown, or rows removed, moved or cleared
    virtual void RowInserted(int /*row*/) {}     // selected; the row above may hold a new delay
    virtual void RowChanged(int /*row*/) {}
    virtual void RepeatTextChanged() {}
    virtual void RecordingChanged() {}
    virtual void Edited() {}  // there is something to apply
    // A store-back is about to read the rows: a cell the user is still typing in is committed first.
    virtual void FinishCellEdit() {}
};

class MacroEditor final : public MacroPage, private MacroRecordTarget {
  public:
    // Asked before a macro is deleted (whether a key still plays it, and the user's answer).
    using MayDelete = std::function<bool(const MacroRecord&)>;

    MacroEditor(const LanguageTexts& texts, Prompts& prompts, MayDelete mayDelete, MacroRecorder::Ticks ticks,
                MacroRecorder::PassedOn passedOn);

    void SetObserver(MacroEditorObserver* observer) { observer_ = observer; }

    // MacroPage
    void Load(std::span<const MacroRecord> editMacros) override;
    void Enter(uint32_t currentValue, bool initialForm) override;
    void StopRecording() override;
    void StoreBack() override;
    const std::vector<MacroRecord>& macros() const override { return macros_; }
    int selected() const override { return selected_; }
    uint8_t repeatCount() const override { return cycles_; }
    void Applied() override;
    void Clear() override;
    // How many times Load ran: a new dialog session.
    int loads() const { return loads_; }

    // The macro list.
    void Select(int index);
    // The list's text was edited: renames the shown macro, or on an empty list creates one by that name.
    void TypeName(std::u16string_view text);
    // A new macro named by the prefix and the next free counter; false (with the message) on a full list.
    bool Add();
    // The shown macro, after asking when a key still plays it; false when nothing was deleted.
    bool DeleteSelected();
    bool listEnabled() const { return !recording(); }          // the list, Add and Delete
    bool rowButtonsEnabled() const { return selected_ >= 0; }  // Record and the row buttons

    // The action rows of the shown macro.
    const std::vector<MacroActionRow>& rows() const { return rows_; }
    int selectedRow() const { return selectedRow_; }
    void SelectRow(int row);
    void DeleteRow();
    // Asks first; false when nothing was cleared.
    bool ClearRows();
    void MoveRowToTop();
    void MoveRowUp();
    void MoveRowDown();
    void MoveRowToBottom();

    // Cells: column 0 the key, 1 press or release, 2 the delay.
    std::u16string CellText(int row, int column) const;
    std::vector<std::u16string> KeyChoices() const;
    std::vector<std::u16string> ActionChoices() const;
    int KeyChoice(int row) const;  // -1 when the row's key is not in the list
    int ActionChoice(int row) const;
    // A cell editor opens: recording stops, so no row moves under it.
    void OpenCellEditor();
    void ChooseKey(int row, int choice);
    void ChooseAction(int row, int choice);
    // The typed delay: capped at the maximum (with the message), rounded down to 10 ms. Text that is no
    // number leaves the delay as it was.
    void CommitDelay(int row, std::u16string_view text);

    // The repeat count box. A number outside 1..255 is replaced by the nearest bound. While the box is empty
    // the count stays what it last was; the box shows it again when editing ends.
    const std::u16string& repeatText() const { return repeatText_; }
    void TypeRepeat(std::u16string_view text);
    void FinishRepeat();

    // Recording into the shown macro.
    void ToggleRecording();
    bool recording() const override { return recorder_.recording(); }
    bool OnKeyEvent(uint8_t vk, uint32_t flags, uint32_t eventTime = 0) {
        return recorder_.OnKeyEvent(vk, flags, eventTime);
    }
    // Records a release the recorder holds back (call kReleaseHoldMs after the last key event).
    void FlushRecording() { recorder_.Flush(); }
    void SetDelayMode(RecordDelayMode mode) { recorder_.SetDelayMode(mode); }
    RecordDelayMode delayMode() const { return recorder_.delayMode(); }

    // The keyboard's macro memory in bytes, 0 when unknown.
    void SetMacroCapacity(uint32_t bytes) { capacity_ = bytes; }
    MacroMemoryUse memoryUse() const;

  private:
    enum class RowSource { Load, Record };
    void AddRecordedAction(const MacroAction& action) override;
    bool AddRow(MacroAction action, bool afterSelection, RowSource source);
    void SelectAndShow(int index);
    void Show();
    void MoveRow(int to);
    void SetCycles(int cycles);
    bool RowValid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    void NotifyEdited();
    MacroEditorObserver& observer();

    const LanguageTexts& texts_;
    Prompts& prompts_;
    MayDelete mayDelete_;
    MacroRecorder recorder_;
    MacroEditorObserver* observer_ = nullptr;
    MacroEditorObserver silent_;

    std::vector<MacroRecord> macros_;
    int selected_ = -1;
    int nameCounter_ = 0;
    bool entered_ = false;  // the page was shown since the dialog opened
    int loads_ = 0;

    std::vector<MacroActionRow> rows_;
    int selectedRow_ = -1;
    uint8_t cycles_ = 1;
    std::u16string repeatText_ = u"1";
    uint32_t capacity_ = 0;
};

}  // namespace vornak
