// The lighting panel of the main window: the lighting switch, the effect list, the sliders, the direction,
// colour, preset and user-mode controls, placed and labelled from "Skins\Main.ini", and the live preview on
// the key buttons. It renders LightingSnapshot values that device jobs take of the core's LightingModel and
// posts every action as a job on the device worker; what shows and what a click writes is decided in
// lighting/panel_look.h and lighting/lighting.h.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QObject>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "lighting/key_lights.h"
#include "lighting/lighting_jobs.h"
#include "lighting/lighting_panel_slot.h"
#include "lighting/panel_look.h"
#include "lighting/preview.h"
#include "lighting/view/panel_widgets.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"

namespace vornak {

struct LightingPanelServices {
    CBaseDialog& window;     // the main window: the parent of the controls and the owner of the key buttons
    LightingJobRunner jobs;  // the device worker
    LinkState& link;         // the keyboard's current profile
    int language = 1;
    std::filesystem::path skinsDir;
    std::function<CPngButton*(int id)> button;  // a key, G or Fn button of the window
    // The switch to the current profile that turning the lights on needs first; false: refused.
    std::function<bool()> switchToCurrentProfile;
    // The window plans its timers again (the preview runs only while the lights are on).
    std::function<void()> timersChanged;
    // Said at the first key click that paints what the effect shown hides.
    QString paintNotice;
};

class LightingPanel : public QObject, public LightingPanelSlot {
    Q_OBJECT

  public:
    explicit LightingPanel(LightingPanelServices services);
    ~LightingPanel() override;

    // LightingPanelSlot
    void RefreshForProfile(int profile, LightingRefresh why) override;
    void ReadLightingAgain() override;
    void PreviewTick() override;
    bool PreviewRunning() const override { return shown_.state.lightingSwitch; }
    bool KeyClicksPaint() const override { return shown_.state.lightingSwitch; }
    void PaintKey(uint16_t controlId) override;
    void RestoreLightingDefaults() override;
    void KeyButtonsReset() override;

    // What the panel shows, and its controls by layout key (tests, screenshots); the controls are null while
    // the window is hidden.
    const LightingSnapshot& shown() const { return shown_; }
    QWidget* control(std::u16string_view key) const;
    QComboBox* effectList() const { return effectList_; }
    QLabel* paintNotice() const { return paintNotice_; }
    QComboBox* userModeList() const { return userModes_; }
    BitmapSlider* brightnessSlider() const { return brightness_; }
    BitmapSlider* speedSlider() const { return speed_; }
    // The colour a key button shows now; nothing while it shows its plain picture.
    std::optional<Colour> KeyColourShown(uint16_t controlId) const;
    const FrameGate& frames() const { return gate_; }
    // Snapshots taken and rendered so far.
    int renders() const { return renders_; }

    // What the controls do (the colour buttons' choosers end here too).
    void OnSwitch();
    void OnEffectChosen(int row);
    void OnBrightness(int position);
    void OnSpeed(int position);
    void OnDirection(bool first);
    void OnColourful();
    void OnMainColour(MainColourButton button, Colour colour);
    void OnPreset(int preset);
    void OnUserMode(int index);
    void OnRenameUserMode(const QString& text);
    void OnTool(int tool);
    void OnColor(Colour colour);
    void OnJColor(Colour colour);

  protected:
    // Arrow keys on the effect list; the paint drag over the key buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The panel's controls and their bitmaps exist only while the window shows: hidden to the tray it keeps
    // what they show (shown_) and nothing else.
    void HoldControls(bool hold);
    void CreateControls();
    void PlaceControls();
    void ApplyLabels();
    void ConnectControls();
    void WatchKeyButtons();

    // Runs op on the worker, then renders the model as the job left it.
    void Post(std::string name, std::function<void(LightingModel&)> op);
    void Render(const LightingSnapshot& snapshot);
    void RenderControls();
    void RenderLists();
    void RenderKeyButtons();
    // Draws what changed in lights_.
    void ShowKeyLights();
    void PaintNow(uint16_t controlId);
    uint16_t KeyButtonAt(const QPoint& globalPos) const;
    const QPixmap& Picture(std::string_view file);

    LightingPanelServices s_;
    LightingSnapshot shown_;
    std::map<std::u16string, QWidget*, std::less<>> controls_;
    std::map<std::string, QPixmap, std::less<>> pictures_;
    QComboBox* effectList_ = nullptr;
    QLabel* paintNotice_ = nullptr;
    PaintClickNotice noticeRule_;
    bool noticeUp_ = false;
    QComboBox* userModes_ = nullptr;
    BitmapSlider* brightness_ = nullptr;
    BitmapSlider* speed_ = nullptr;
    // The buttons the lighting draws on (the key buttons, the G buttons, Fn), what each shows, and the layer
    // that draws them lit.
    std::map<uint16_t, CPngButton*> keyButtons_;
    KeyLights lights_;
    KeyLightLayer* layer_ = nullptr;
    bool colourSurfaces_ = false;
    PreviewAnimator animator_;
    FrameGate gate_{50};
    QElapsedTimer clock_;
    PaintStroke stroke_;
    int pendingPaints_ = 0;
    int renders_ = 0;
};

}  // namespace vornak
