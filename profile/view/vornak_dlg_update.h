// CVornak_DlgUpdate: the firmware update dialog on "Skins\UpdateDlg.ini": the updater's path, Open, Update,
// Cancel Update and Backup. It renders a FirmwareUpdate, which outlives it, and forwards the clicks.
#pragma once

#include <filesystem>
#include <map>
#include <optional>

#include "profile/firmware_update.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skinned_buttons.h"

class QComboBox;
class QLabel;

namespace vornak {

struct UpdateDialogFiles {
    std::filesystem::path updateIni;  // "Skins\UpdateDlg.ini"
    std::filesystem::path skinsDir;
};

namespace update_id {
inline constexpr int kUpdate = 1147;
inline constexpr int kCombo = 1178;
inline constexpr int kPath = 1179;
inline constexpr int kCancelUpdate = 1180;
inline constexpr int kOpen = 1181;
inline constexpr int kBackup = 1182;
}  // namespace update_id

class CVornak_DlgUpdate : public CBaseDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 149;

    CVornak_DlgUpdate(FirmwareUpdate& model, const LanguageTexts& texts, UpdateDialogFiles files,
                      QWidget* parent = nullptr);

    // Opens the dialog (modal, not blocking); the path kept from an earlier opening is shown.
    void OpenDialog();
    void Render();

    FirmwareUpdate& model() { return model_; }
    CPngButton* button(int id) const;
    QLabel* pathText() const { return path_; }

  protected:
    void OnInitDialog() override;

  private:
    void CreateControls();
    void PlaceControls();
    void OnControl(int id);

    FirmwareUpdate& model_;
    const LanguageTexts& texts_;
    UpdateDialogFiles files_;
    std::optional<SkinnedButtons> buttons_;
    QLabel* path_ = nullptr;
    QComboBox* combo_ = nullptr;
};

}  // namespace vornak
