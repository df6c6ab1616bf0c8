// Vornak_DlgComposite: the key assignment dialog. It renders a KeyDialogModel on the skin of
// "Skins\Composite.ini" (one picture set per page), forwards the user's clicks and key presses to it, and
// hosts the macro page's widgets on page 4.
#pragma once

#include <QRect>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "assign/key_dialog_model.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "widgets/key_event_hook.h"
#include "widgets/macro_page_slot.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vornak {

struct CompositeDialogFiles {
    std::filesystem::path compositeIni;  // "Skins\Composite.ini"
    std::filesystem::path skinsDir;      // where its pictures are
    std::filesystem::path helpIndex;     // "Help\index.html"
};

class Vornak_DlgComposite : public CBaseDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 133;

    Vornak_DlgComposite(KeyDialogModel& model, const LanguageTexts& texts, CompositeDialogFiles files,
                        QWidget* parent = nullptr, MacroPageFactory macroPage = {});
    ~Vornak_DlgComposite() override;

    // Opens the dialog (modal, not blocking) for a key button of the main window, next to the button's
    // rectangle in screen coordinates. False when the model refuses (no such key, already open).
    bool OpenFor(uint16_t buttonId, bool layerB, const QRect& buttonOnScreen);
    // The keyboard went away or the program ends: the dialog closes as by its Cancel.
    void CloseAsCancel();
    // What F1 does; by default the help page opens in the desktop's browser.
    void SetHelpOpener(std::function<void()> open) { openHelp_ = std::move(open); }
    // The on-screen keyboard program; found on PATH when the dialog is made.
    void SetOnScreenKeyboard(std::optional<std::filesystem::path> program);

    KeyDialogModel& model() { return model_; }
    KeyEventHook& keyHook() { return hook_; }
    // The controls by their ids, for the window's tests.
    CPngButton* button(uint16_t controlId) const;
    QLineEdit* capturedKeyBox() const { return keyBox_; }
    QComboBox* mediaList() const { return mediaList_; }
    QComboBox* functionList() const { return functionList_; }
    QLabel* label(uint16_t controlId) const;
    // Where the dialog was placed by the last OpenFor (screen coordinates).
    QPoint placedAt() const { return placedAt_; }
    // On Wayland, where a client cannot place a window of its own, the dialog opens inside its parent window
    // (a child widget over the parent's other controls, which it blocks while open) so that it stands beside
    // its key and keeps the keyboard focus of the parent's surface on every compositor.
    bool insideParent() const;

  signals:
    // The dialog closed (OK, Cancel, forced): the key button gets its normal pictures back.
    void keyDialogClosed(uint16_t buttonId);
    // OK or Apply wrote the edit copy.
    void applied(uint16_t buttonId);

  protected:
    bool event(QEvent* event) override;
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    struct PictureSet {
        QPixmap normal, over, down, disabled;
    };

    void CreateControls();
    void ConnectControls();
    void LoadPictureSets();
    void PlaceControls();
    void ApplyTexts();
    void FillLists();
    void Render();
    void RenderPageButtons();
    void RenderHook();
    void FocusInput();
    void PlaceBeside(const QRect& buttonOnScreen);

    void OnControl(uint16_t controlId);
    void OnOk();
    void OnApply();
    void OnOsk();
    bool Commit(CommitOutcome outcome);
    ButtonSurfaces SurfacesOf(const PictureSet& set) const;
    ButtonSurfaces PressedSurfacesOf(const PictureSet& set) const;

    KeyDialogModel& model_;
    const LanguageTexts& texts_;
    CompositeDialogFiles files_;
    MacroPageFactory macroPageFactory_;
    std::unique_ptr<MacroPageWidgets> macroPage_;
    KeyEventHook hook_;
    bool captureInstalled_ = false;
    std::function<void()> openHelp_;
    std::optional<std::filesystem::path> onScreenKeyboard_;

    std::map<uint16_t, CPngButton*> buttons_;
    std::map<uint16_t, QLabel*> labels_;
    QLineEdit* keyBox_ = nullptr;
    QComboBox* mediaList_ = nullptr;
    QComboBox* functionList_ = nullptr;

    PictureSet keySet_, macroSet_, macro2Set_, mediaSet_, functionSet_;
    QPixmap macroOther_;
    bool placed_ = false;
    std::optional<std::pair<DialogPage, bool>> skinnedFor_;  // page and macro-only mode the buttons show
    uint16_t openButton_ = 0;
    QPoint placedAt_;
    QWidget* blocker_ = nullptr;  // over the parent's controls while the dialog is open inside it
};

}  // namespace vornak
