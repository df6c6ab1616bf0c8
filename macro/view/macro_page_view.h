// The macro page's controls on the key dialog, placed where the dialog's skin puts them: the macro list, the
// action list with its cell editors, the buttons, the repeat count, the record-delays box and the memory
// meter. It renders the MacroEditor (the MacroPage the dialog's model drives) and forwards what the user
// does; recording runs through a RecordingGuard on the dialog's key hook.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "macro/macro_editor.h"
#include "macro/view/recording_guard.h"
#include "platform/app_profile.h"
#include "skin/placement.h"
#include "skin/png_button.h"
#include "widgets/level_meter.h"
#include "widgets/macro_page_slot.h"
#include "widgets/report_list.h"

namespace vornak {

// Control ids of the page.
inline constexpr int kCtlMacroAdd = 1017;
inline constexpr int kCtlMacroDelete = 1018;
inline constexpr int kCtlMacroActions = 1019;
inline constexpr int kCtlMacroRecord = 1020;
inline constexpr int kCtlMacroDeleteAction = 1021;
inline constexpr int kCtlMacroClearActions = 1022;
inline constexpr int kCtlMacroTop = 1023;
inline constexpr int kCtlMacroUp = 1024;
inline constexpr int kCtlMacroDown = 1025;
inline constexpr int kCtlMacroBottom = 1026;
inline constexpr int kCtlMacroRecordDelay = 1027;
inline constexpr int kCtlMacroCycles = 1125;
inline constexpr int kCtlMacroList = 1126;
inline constexpr int kCtlMacroCyclesLabel = 1130;
inline constexpr int kCtlMacroRecordDelayLabel = 1133;
inline constexpr int kCtlMacroNameLabel = 1200;

// What the page reads besides its editor.
struct MacroPageSettings {
    // The application profile that keeps the record-delays setting; none: the box starts unticked.
    const AppProfile* profile = nullptr;
    // The keyboard's macro memory in bytes, 0 while unknown; read whenever the page is refreshed.
    std::function<uint32_t()> capacity;
};

class MacroPageView : public QObject, public MacroPageWidgets, private MacroEditorObserver {
    Q_OBJECT

  public:
    MacroPageView(const MacroPageContext& context, MacroEditor& editor, MacroPageSettings settings);
    ~MacroPageView() override;

    // MacroPageWidgets. Hiding the page ends a recording. The first refresh after the dialog loaded the page
    // reads the record-delays setting (normalised and written back).
    void SetShown(bool shown) override;
    void Refresh() override;

    QWidget* control(int id) const;
    ReportList* actionList() const { return actions_; }
    QComboBox* macroList() const { return list_; }
    QLineEdit* cyclesBox() const { return cycles_; }
    QCheckBox* recordDelayBox() const { return recordDelay_; }
    LevelMeter* memoryMeter() const { return meter_; }
    RecordingGuard& guard() { return *guard_; }

  private:
    // Set-up steps.
    void CreateControls();
    void PlaceControls(const MacroPageContext& context);
    void SetCaptions();
    void ConnectControls();

    // MacroEditorObserver
    void MacroListChanged() override;
    void MacroRenamed(int index) override;
    void RowsReset() override;
    void RowInserted(int row) override;
    void RowChanged(int row) override;
    void RepeatTextChanged() override;
    void RecordingChanged() override;
    void Edited() override;
    void FinishCellEdit() override;

    void OnCellClicked(int row, int column);
    void OnChoiceMade(int row, int column, int index);
    void OnRecordDelayToggled(bool on);
    void LoadRecordDelay();
    void FillRow(int row);
    void UpdateEnabled();
    void UpdateMeter();
    CPngButton* Button(int id) const;

    QWidget& dialog_;
    MacroEditor& editor_;
    const LanguageTexts& texts_;
    MacroPageSettings settings_;
    std::function<void()> edited_;
    std::unique_ptr<RecordingGuard> guard_;
    QTimer flush_;             // records the release the recorder holds back once no repeat can follow
    int settingsReadAt_ = -1;  // the editor's load the record-delays box was read for

    QComboBox* list_ = nullptr;
    ReportList* actions_ = nullptr;
    QLineEdit* cycles_ = nullptr;
    QCheckBox* recordDelay_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* cyclesLabel_ = nullptr;
    QLabel* recordDelayLabel_ = nullptr;
    LevelMeter* meter_ = nullptr;
    std::array<CPngButton*, 10> buttons_{};  // ids 1017..1026
    bool visible_ = true;                    // as made; the constructor hides the page
};

// The factory the key dialog is given: the page over this editor.
MacroPageFactory MacroEditorPageFactory(MacroEditor& editor, MacroPageSettings settings);

}  // namespace vornak
