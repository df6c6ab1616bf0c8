#include "lighting/panel_look.h"

#include <algorithm>

namespace vornak {

LightingSnapshot TakeLightingSnapshot(const LightingModel& model, int readResult) {
    LightingSnapshot s;
    s.state = model.state();
    s.effectNames = model.effectNames();
    s.userModesExist = UserModesExist(s.state.effectList);
    const UserModes& modes = model.userModes();
    s.userMode = modes.mode();
    s.brushes = modes.brushes();
    s.modeNames = modes.names();
    const int profile = s.state.currentProfile;
    if (profile >= 0 && profile < kLightingProfileCount) {
        for (int k = 0; k < kMatrixPositionCount; ++k)
            s.keyColours[static_cast<size_t>(k)] = modes.image().Get(profile, k);
    }
    s.readResult = readResult;
    s.error = model.lastError();
    return s;
}

LightingSnapshot RunLightingRefresh(LightingModel& model, int keyboardProfile, LightingRefresh why) {
    if (why == LightingRefresh::ProfileButton && model.state().lightingSwitch) model.SetLightingSwitch(false);
    LightingReadReason reason = LightingReadReason::Other;
    if (why == LightingRefresh::Attach) {
        reason = LightingReadReason::Attach;
    } else if (why == LightingRefresh::ProfileButton || keyboardProfile != model.state().currentProfile) {
        reason = LightingReadReason::ProfileButtons;
    }
    const int result = model.ReadLighting(reason);
    return TakeLightingSnapshot(model, result);
}

namespace {

std::string_view Toggle(bool on) {
    return on ? "sjsdown.bmp" : "sjsup.bmp";
}

}  // namespace

std::vector<PanelControl> PanelControls(const LightingSnapshot& snapshot) {
    const LightingState& st = snapshot.state;
    const bool on = st.lightingSwitch;
    const EffectControls show = on ? ControlsForEffect(st.effect) : EffectControls{};
    const DirectionPictures dir = DirectionPicturesFor(st.effect, st.direction);
    const auto dirPicture = [&](DirectionLayout layout, bool first) -> std::string_view {
        if (show.direction != layout) return {};
        return first ? dir.first : dir.second;
    };
    const int preset = st.presetColour <= 3 ? st.presetColour : 0;
    const bool fy = show.colour == ColourGroup::Fy;
    const bool hx = show.colour == ColourGroup::Hx;
    // The speed and brightness pictures are named by position; their strings must outlive the view.
    static const std::array<std::string, kSliderPositions> brightness = {
        BrightnessPicture(0), BrightnessPicture(1), BrightnessPicture(2),
        BrightnessPicture(3), BrightnessPicture(4), BrightnessPicture(5)};
    static const std::array<std::string, kSliderPositions> speed = {
        SpeedPicture(0), SpeedPicture(1), SpeedPicture(2), SpeedPicture(3), SpeedPicture(4), SpeedPicture(5)};
    const bool spread = show.direction == DirectionLayout::SpreadConverge;
    const bool upDown = show.direction == DirectionLayout::UpDown;
    const bool leftRight = show.direction == DirectionLayout::LeftRight;

    return {
        {u"CONTROL_UsbStatic", true, {}, u"Usb"},
        {u"CONTROL_DengStatic", true, {}, u"Deng"},
        {u"CONTROL_DengStaPic", true, on ? "dengdown.bmp" : "dengup.bmp", {}},
        {u"CONTROL_XGcombox", on, {}, {}},
        {u"CONTROL_LightStatic", show.brightness, {}, u"Light"},
        {u"CONTROL_LightSlider",
         show.brightness,
         brightness[static_cast<size_t>(st.BrightnessPosition())],
         {}},
        {u"CONTROL_SpeedStatic", show.speed, {}, u"Speed"},
        {u"CONTROL_SpeedSlider", show.speed, speed[static_cast<size_t>(st.SpeedPosition())], {}},
        {u"CONTROL_BLFXStatic", spread, {}, u"FX"},
        {u"CONTROL_BLFXLStaPic", spread, dirPicture(DirectionLayout::SpreadConverge, true), {}},
        // Effect 12's second picture shares the plain key's place.
        {u"CONTROL_BLFXRStaPic",
         spread || upDown,
         upDown ? dirPicture(DirectionLayout::UpDown, false)
                : dirPicture(DirectionLayout::SpreadConverge, false),
         {}},
        {u"CONTROL_BLFXStatic2", leftRight, {}, u"FX"},
        {u"CONTROL_BLFXLStaPic2", leftRight, dirPicture(DirectionLayout::LeftRight, true), {}},
        {u"CONTROL_BLFXRStaPic2", leftRight, dirPicture(DirectionLayout::LeftRight, false), {}},
        {u"CONTROL_BLFXStatic3", upDown, {}, u"FX"},
        {u"CONTROL_BLFXLStaPic3", upDown, dirPicture(DirectionLayout::UpDown, true), {}},
        {u"CONTROL_FYYSStatic", fy, {}, u"Color"},
        {u"CONTROL_FYYSButton", fy, {}, {}},
        {u"CONTROL_FYSJSStatic", fy, {}, u"DC"},
        {u"CONTROL_FYSJSStaPic", fy, Toggle(st.colourful), {}},
        {u"CONTROL_HXysStatic", hx, {}, u"Color"},
        {u"CONTROL_HXysButton", hx, {}, {}},
        {u"CONTROL_HXsjsStatic", hx, {}, u"DC"},
        {u"CONTROL_HXsjsStaPic", hx, Toggle(st.colourful), {}},
        {u"CONTROL_JTysStatic", false, {}, {}},
        {u"CONTROL_JTysButton", false, {}, {}},
        {u"CONTROL_HONGPIC", show.presetColours, PresetColourPicture(0, preset == 0), {}},
        {u"CONTROL_HUANGPIC", show.presetColours, PresetColourPicture(1, preset == 1), {}},
        {u"CONTROL_LVPIC", show.presetColours, PresetColourPicture(2, preset == 2), {}},
        {u"CONTROL_LANPIC", show.presetColours, PresetColourPicture(3, preset == 3), {}},
        {u"CONTROL_FYCFStatic", false, {}, {}},
        {u"CONTROL_FYdjcfStatic", false, {}, {}},
        {u"CONTROL_FYggcfStatc", false, {}, {}},
        {u"CONTROL_FYdjcfStaPic", false, Toggle(st.triggerMode == 0), {}},
        {u"CONTROL_FYggcfStaPic", false, Toggle(st.triggerMode == 1), {}},
        {u"CONTROL_TSysStatic", false, {}, {}},
        {u"CONTROL_TSysButton", false, {}, {}},
        {u"CONTROL_TSsjsStatic", false, {}, {}},
        {u"CONTROL_TSsjsStaPic", false, Toggle(st.secondColourful), {}},
        {u"CONTROL_CDysStatic", false, {}, {}},
        {u"CONTROL_CDysButton", false, {}, {}},
        {u"CONTROL_CDsjsStatic", false, {}, {}},
        {u"CONTROL_CDsjsStaPic", false, Toggle(st.thirdColourful), {}},
        {u"CONTROL_USERysStatic", show.userMode, {}, u"Color"},
        {u"CONTROL_USERysButton", show.userMode, {}, {}},
        {u"CONTROL_USERjsStatic", show.userMode, {}, u"JColor"},
        {u"CONTROL_USERjsButton", show.userMode, {}, {}},
        {u"CONTROL_USERgjStatic", show.userMode, {}, u"Tool"},
        {u"CONTROL_USERgjStaPic1",
         show.userMode,
         snapshot.brushes.tool == kToolColor ? "user1down.bmp" : "user1up.bmp",
         {}},
        {u"CONTROL_USERgjStaPic2",
         show.userMode,
         snapshot.brushes.tool == kToolJColor ? "user2down.bmp" : "user2up.bmp",
         {}},
        {u"CONTROL_umCombo", show.userMode, {}, {}},
    };
}

std::optional<PanelControl> FindPanelControl(const std::vector<PanelControl>& controls,
                                             std::u16string_view key) {
    const auto it =
        std::find_if(controls.begin(), controls.end(), [key](const PanelControl& c) { return c.key == key; });
    if (it == controls.end()) return std::nullopt;
    return *it;
}

bool PaintClickNotice::OnPaintClick(const LightingSnapshot& snapshot) {
    if (told_ || !StillShown(snapshot)) return false;
    told_ = true;
    return true;
}

bool PaintClickNotice::StillShown(const LightingSnapshot& snapshot) const {
    return snapshot.state.lightingSwitch && !UserColoursShown(snapshot);
}

std::optional<Colour> PanelButtonColour(const LightingSnapshot& snapshot, std::u16string_view key) {
    const LightingState& st = snapshot.state;
    if (key == u"CONTROL_FYYSButton") return st.fyColour;
    if (key == u"CONTROL_HXysButton") return st.hxColour;
    if (key == u"CONTROL_JTysButton") return st.jtColour;
    if (key == u"CONTROL_TSysButton") return st.secondColour;
    if (key == u"CONTROL_CDysButton") return st.thirdColour;
    if (key == u"CONTROL_USERysButton") return snapshot.brushes.color;
    if (key == u"CONTROL_USERjsButton") return snapshot.brushes.jcolor;
    return std::nullopt;
}

int SelectedEffectRow(const LightingSnapshot& snapshot) {
    return EffectIndex(snapshot.state.effectTable, snapshot.state.effect);
}

int SliderPositionAt(int x, int width) {
    if (width <= 0 || x <= 0) return 0;
    if (x >= width) return kSliderPositions - 1;
    return std::min(kSliderPositions - 1, x * kSliderPositions / width);
}

std::optional<Colour> PaintColourNow(const LightingSnapshot& snapshot) {
    if (!snapshot.state.lightingSwitch || snapshot.state.effect != kUserModeEffect) return std::nullopt;
    const auto entry = PaintEntry(snapshot.brushes);
    if (!entry) return std::nullopt;
    return entry->colour;
}

std::optional<std::array<Colour, kMatrixPositionCount>> UserColoursShown(const LightingSnapshot& snapshot) {
    if (!snapshot.state.lightingSwitch || snapshot.state.effect != kUserModeEffect) return std::nullopt;
    return snapshot.keyColours;
}

std::u16string PanelLabel(const IniDocument& mainIni, int language, std::u16string_view labelKey) {
    if (labelKey.empty()) return {};
    std::u16string_view section;
    if (language == 0) {
        section = u"Control_Name";
    } else if (language == 1) {
        section = u"Control_Name1";
    } else {
        return {};
    }
    return mainIni.GetString(section, labelKey, u"");
}

// ---- painting drags

void PaintStroke::Press(uint16_t controlId) {
    start_ = controlId;
    left_ = false;
    painted_.clear();
    swallow_.clear();
}

std::vector<uint16_t> PaintStroke::Over(uint16_t controlId) {
    std::vector<uint16_t> now;
    if (start_ == 0 || controlId == 0) return now;
    if (!left_) {
        if (controlId == start_) return now;
        // The stroke leaves its first key: that key is painted now, as the click it no longer is would have.
        left_ = true;
        painted_.push_back(start_);
        now.push_back(start_);
    }
    if (std::find(painted_.begin(), painted_.end(), controlId) == painted_.end()) {
        painted_.push_back(controlId);
        now.push_back(controlId);
    }
    return now;
}

void PaintStroke::Release(uint16_t controlId) {
    // A release back on the first key clicks it; that key is painted already.
    swallow_.clear();
    if (left_ && controlId == start_) swallow_.push_back(start_);
    start_ = 0;
    left_ = false;
    painted_.clear();
}

bool PaintStroke::TakeClick(uint16_t controlId) {
    const auto it = std::find(swallow_.begin(), swallow_.end(), controlId);
    if (it == swallow_.end()) return true;
    swallow_.erase(it);
    return false;
}

// ---- the preview's ticks

bool FrameGate::Begin(int64_t nowMs) {
    // A tick behind another by less than half a period is one the event loop held back: skip it.
    if (running_ || (last_ >= 0 && nowMs - last_ < periodMs_ / 2)) {
        ++skipped_;
        return false;
    }
    running_ = true;
    last_ = nowMs;
    ++frames_;
    return true;
}

}  // namespace vornak
