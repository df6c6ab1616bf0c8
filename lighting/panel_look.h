// What the lighting panel shows, without a window: a value copy of the lighting model taken by a device job
// (the panel never reads the model while the worker may change it), and from it which control of the panel
// shows, with which picture, colour and position. The view places the controls and draws what this says.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lighting/lighting.h"
#include "lighting/lighting_panel_slot.h"
#include "lighting/preview.h"

namespace vornak {

// The lighting model as the panel renders it.
struct LightingSnapshot {
    LightingState state;
    std::vector<std::u16string> effectNames;
    bool userModesExist = false;
    int userMode = 0;
    UserBrushes brushes;
    std::array<std::u16string, kUserModeCount> modeNames;
    // The current profile's per-key colours.
    std::array<Colour, kMatrixPositionCount> keyColours{};
    // The read this was taken after: 1, or the failing command's result (then the panel keeps what it shows).
    int readResult = kLinkOk;
    std::string error;  // the model's last file problem
};
LightingSnapshot TakeLightingSnapshot(const LightingModel& model, int readResult = kLinkOk);

// The refresh as a device job runs it: a profile button turns the lights off first; the user modes are
// loaded at an attach, after a profile button, and whenever the keyboard's profile is not the one shown
// (keyboardProfile: the link's current profile), so that painting never writes one profile's mode into
// another profile's file.
LightingSnapshot RunLightingRefresh(LightingModel& model, int keyboardProfile, LightingRefresh why);

// One control of the panel, by its layout key in "Skins\Main.ini".
struct PanelControl {
    std::u16string_view key;
    bool shown = false;
    std::string_view picture;   // for pictures and sliders: the bitmap file; empty for the others
    std::u16string_view label;  // the label key of "Control_Name"/"Control_Name1"; empty: no label
};

// Every control of the panel, in one fixed order, each with what it shows now. The
// switch and its label always show; with the lights off nothing else does; with them on, the controls of the
// current effect (ControlsForEffect). Never shown: the option buttons, the trigger-mode, JT, TS and CD
// groups (their values are still read and written).
std::vector<PanelControl> PanelControls(const LightingSnapshot& snapshot);
// The control of that key, or nothing for a key of no panel control.
std::optional<PanelControl> FindPanelControl(const std::vector<PanelControl>& controls,
                                             std::u16string_view key);

// A key click paints while the lighting switch is on, also under an effect that does not show the colours
// painted, where the click seems to do nothing. The first such click of the run is told, once, what key
// clicks do now and how to assign keys instead.
class PaintClickNotice {
  public:
    // A key click painted under this snapshot: true when the notice is to be shown now.
    bool OnPaintClick(const LightingSnapshot& snapshot);
    // The notice stays until the user can see the colours or the clicks open the key dialog again.
    bool StillShown(const LightingSnapshot& snapshot) const;

  private:
    bool told_ = false;
};

// The colour a colour button shows, by its layout key; nothing for other keys.
std::optional<Colour> PanelButtonColour(const LightingSnapshot& snapshot, std::u16string_view key);

// The effect list row to select (-1: none).
int SelectedEffectRow(const LightingSnapshot& snapshot);

// A bitmap slider's position (0..5) under x on a slider width pixels wide: six equal steps, the ends
// clamped.
int SliderPositionAt(int x, int width);

// The colour a paint with the current brushes gives at once on screen; nothing when a paint does nothing
// (lights off, another effect, an unknown tool).
std::optional<Colour> PaintColourNow(const LightingSnapshot& snapshot);

// What each key button shows while the panel is live: the user colours for effect 20, nothing (the
// preview's frames) for the others, and nothing at all with the lights off.
std::optional<std::array<Colour, kMatrixPositionCount>> UserColoursShown(const LightingSnapshot& snapshot);

// The label of a panel control from "Control_Name" (language 0) or "Control_Name1" (language 1); empty for
// any other language or a missing key.
std::u16string PanelLabel(const IniDocument& mainIni, int language, std::u16string_view labelKey);

// A drag that paints: every key the pointer crosses is painted once, in the order crossed. A press and
// release on one key stays a click, which the window's key-click road paints; a stroke that left its first
// key has painted it already, so the click a release back on it makes is not painted twice.
class PaintStroke {
  public:
    void Press(uint16_t controlId);
    // The pointer is over controlId (0: no key button). Returns the keys to paint now, in order.
    std::vector<uint16_t> Over(uint16_t controlId);
    // The button came up over controlId (0: no key button).
    void Release(uint16_t controlId);
    // The click road asks whether a click on controlId should paint: false right after a stroke that
    // painted it (the one click that release makes).
    bool TakeClick(uint16_t controlId);
    bool active() const { return start_ != 0; }

  private:
    uint16_t start_ = 0;
    bool left_ = false;
    std::vector<uint16_t> painted_;
    std::vector<uint16_t> swallow_;
};

// The preview timer's gate: a tick that comes while the last frame is still being drawn, or that the event
// loop delivers late right behind another (ticks bunched up behind a busy moment), is skipped, never
// queued.
class FrameGate {
  public:
    explicit FrameGate(int periodMs) : periodMs_(periodMs) {}
    // True when a frame should be computed now; then End() after it is drawn.
    bool Begin(int64_t nowMs);
    void End() { running_ = false; }
    int64_t frames() const { return frames_; }
    int64_t skipped() const { return skipped_; }

  private:
    int periodMs_;
    bool running_ = false;
    int64_t last_ = -1;
    int64_t frames_ = 0;
    int64_t skipped_ = 0;
};

}  // namespace vornak
