// CVornak_DlgProfile: the scene dialog on "Skins\Profile.ini". It renders a SceneDialogModel: the list of
// scene rows with its single check column, and Add, Load, Delete, Apply, OK and Cancel; the file choosers
// are shown here, the work is the model's and the scene switcher's.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "profile/scene_switcher.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skinned_buttons.h"
#include "texts/prompts.h"
#include "widgets/report_list.h"

namespace vornak {

struct ProfileDialogFiles {
    std::filesystem::path profileIni;  // "Skins\Profile.ini"
    std::filesystem::path skinsDir;    // where its pictures are
    std::filesystem::path helpIndex;   // "Help\index.html"
    std::filesystem::path userFolder;  // where Add and Load start, and where the working file lies
};

namespace profile_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kList = 1007;
inline constexpr int kLoad = 1008;
inline constexpr int kAdd = 1010;
inline constexpr int kDelete = 1011;
inline constexpr int kApply = 1012;
}  // namespace profile_id

class CVornak_DlgProfile : public CBaseDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 131;

    // prompts: the UI thread's dialogs (the file choosers and the model's messages).
    CVornak_DlgProfile(SceneDialogModel& model, SceneSwitcher& switcher, const LanguageTexts& texts,
                       Prompts& prompts, ProfileDialogFiles files, QWidget* parent = nullptr);

    // Opens the dialog (modal, not blocking) with its rows built anew for the current profile.
    void OpenDialog(int currentProfile);
    // The keyboard went away or the program ends: closed as by Cancel.
    void CloseAsCancel();
    // Shows the model's rows, check mark and Apply.
    void Render();
    // What F1 does; by default the help page opens in the desktop's browser.
    void SetHelpOpener(std::function<void()> open) { openHelp_ = std::move(open); }

    SceneDialogModel& model() { return model_; }
    CPngButton* button(int id) const;
    ReportList* list() const { return list_; }

  protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    void CreateControls();
    void ConnectControls();
    void PlaceControls();
    void ApplyTexts();

    void OnControl(int id);
    void OnAdd();
    void OnLoad();
    void OnDelete();
    void OnApply();
    void OnCheckChanged(QTreeWidgetItem* item, int column);

    SceneDialogModel& model_;
    SceneSwitcher& switcher_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    ProfileDialogFiles files_;
    std::function<void()> openHelp_;
    std::optional<SkinnedButtons> buttons_;
    ReportList* list_ = nullptr;
    bool rendering_ = false;
};

}  // namespace vornak
