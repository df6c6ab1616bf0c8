// CVornak_DlgApps: the Applications dialog on "Skins\Applications.ini". It renders a RulesEditor (the rules
// file's rows, the default, the on/off switch) and forwards each edit to it, which writes the file at once;
// the follower reads the file again through its watch. Add offers the applications seen since start.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "follow/rules_editor.h"
#include "skin/base_dialog.h"
#include "skin/skinned_buttons.h"
#include "texts/language_texts.h"
#include "widgets/report_list.h"

namespace vornak {

struct AppsDialogFiles {
    std::filesystem::path appsIni;    // "Skins\Applications.ini"
    std::filesystem::path skinsDir;   // where its pictures are
    std::filesystem::path rulesFile;  // the rules the follower reads
};

namespace apps_id {
inline constexpr int kClose = 1;
inline constexpr int kAdd = 1020;
inline constexpr int kRemove = 1021;
}  // namespace apps_id

class CVornak_DlgApps : public CBaseDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 140;

    // seen: the applications seen since start, the most recent first (FocusFollower::seenApplications).
    CVornak_DlgApps(const LanguageTexts& texts, AppsDialogFiles files,
                    std::function<std::vector<std::u16string>()> seen, QWidget* parent = nullptr);

    // Opens the dialog (modal, not blocking) on the file as it is now.
    void OpenDialog();
    void Render();

    RulesEditor& editor() { return editor_; }
    CPngButton* button(int id) const { return buttons_->button(id); }
    ReportList* list() const { return list_; }
    QComboBox* appBox() const { return app_; }
    QLineEdit* titleBox() const { return title_; }
    QComboBox* profileBox() const { return profile_; }
    QComboBox* defaultBox() const { return default_; }
    QCheckBox* onBox() const { return on_; }

  protected:
    void OnInitDialog() override;

  private:
    void CreateControls();
    void PlaceControls();
    void ApplyTexts();
    void OnControl(int id);
    void OnAdd();
    void OnRemove();
    void OnDefaultChosen(int index);
    void OnToggled(bool on);
    void ShowError();

    const LanguageTexts& texts_;
    AppsDialogFiles files_;
    std::function<std::vector<std::u16string>()> seen_;
    RulesEditor editor_;
    std::optional<SkinnedButtons> buttons_;
    QLabel* heading_ = nullptr;
    ReportList* list_ = nullptr;
    QComboBox* app_ = nullptr;
    QLineEdit* title_ = nullptr;
    QComboBox* profile_ = nullptr;
    QLabel* defaultText_ = nullptr;
    QComboBox* default_ = nullptr;
    QCheckBox* on_ = nullptr;
    QLabel* onText_ = nullptr;
    QLabel* note_ = nullptr;
    bool rendering_ = false;
};

}  // namespace vornak
