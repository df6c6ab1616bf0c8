// The lighting of the keyboard as the panel edits it: reading the blocks, every write an action makes, the
// lighting switch and the user modes. Views render state() and userModes() and call these operations; the
// rules of which bytes go where live here only.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "lighting/effects.h"
#include "lighting/lighting_block.h"
#include "lighting/user_modes.h"
#include "texts/language_texts.h"

namespace vornak {

// The switch to the current profile that turning the lighting switch on needs first. It belongs to the scene
// code, which refuses while an editor dialog is open.
class ProfileSwitcher {
  public:
    virtual ~ProfileSwitcher() = default;
    // false: refused, nothing changed.
    virtual bool SwitchToCurrentProfile() = 0;
};

struct LightingFiles {
    std::filesystem::path settingsIni;  // "wskb.ini"
    std::filesystem::path mainIni;      // "Skins/Main.ini": the effect names
    std::string userModePrefix;         // user folder + "UserDengColor_"
};

// Why the lighting is read: after an attach or a switch made with the profile buttons the user modes are
// loaded too.
enum class LightingReadReason { Attach, ProfileButtons, Other };

// Which colour button a main colour comes from, named after the skin keys of the buttons: Fy
// "CONTROL_FYYSButton" and Hx "CONTROL_HXysButton" (each with a colourful toggle, so a colour from them also
// turns colourful off), Jt "CONTROL_JTysButton" (the colour only; the panel never shows it).
enum class MainColourButton { Fy, Hx, Jt };

class LightingModel {
  public:
    LightingModel(DeviceLink& link, const LanguageTexts& texts, ProfileSwitcher& switcher,
                  LightingFiles files);

    const LightingState& state() const { return state_; }
    const UserModes& userModes() const { return userModes_; }
    // The effect list box rows, in EffectTable order.
    const std::vector<std::u16string>& effectNames() const { return effectNames_; }
    // The list index showing the current effect, or -1.
    int SelectedEffectIndex() const { return EffectIndex(state_.effectTable, state_.effect); }
    // What the panel shows now: nothing but the switch while the lighting switch is off.
    EffectControls VisibleControls() const;
    bool EffectListVisible() const { return state_.lightingSwitch; }
    // With the lighting switch on, key clicks go to PaintKey instead of the key assignment dialog.
    bool KeyClicksPaint() const { return state_.lightingSwitch; }
    // The last file problem (a file that could not be written or read), for the view to report.
    const std::string& lastError() const { return lastError_; }

    // Reads the settings block and the three lighting blocks and takes the current profile's block. 1 on
    // success; the failing command's result otherwise (-1 when the settings block is unreadable: the effect
    // list then stays empty). A failed block read leaves the lighting values as they were.
    int ReadLighting(LightingReadReason reason);

    // Each returns true when it sent a write sequence.
    bool SelectEffect(int listIndex);
    bool SetBrightness(int position);
    bool SetSpeed(int position);
    bool SetDirection(bool first);
    bool ToggleColourful();
    bool SetMainColour(MainColourButton button, Colour colour);
    bool SetOption(int option);
    bool SetPresetColour(int preset);
    bool SetTriggerMode(int mode);
    bool SetSecondColour(Colour colour);
    bool ToggleSecondColourful();
    bool SetThirdColour(Colour colour);
    bool ToggleThirdColourful();
    // Only while the lighting switch is on (the user has confirmed "Do you want to restore the default
    // settings?").
    bool RestoreLightingDefaults();

    // Returns the switch's state afterwards. Turning it on is refused when the switch to the current profile
    // is refused.
    bool SetLightingSwitch(bool on);

    bool LoadUserMode();
    void FillUserModeList();
    bool SelectUserMode(int index);
    bool RenameUserMode(std::u16string_view text);
    bool SelectTool(int tool);
    // The user-mode brushes of the current profile: SetColor sets brush 0's colour ("color", the colour a key
    // painted with tool 0 takes), SetJColor brush 1's ("jcolor", shared by every key painted with tool 1,
    // which all take the new colour).
    bool SetColor(Colour colour);
    bool SetJColor(Colour colour);
    // A click on a key button (control id) while the switch is on: paints it when the effect is 20. False
    // when nothing was painted, or when the file refused the entry (lastError() says which file).
    bool PaintKey(uint16_t controlId);

  private:
    // The profile the keyboard runs, or -1 while it is unknown (no keyboard read yet): nothing is written
    // then.
    int Profile();
    bool Write(uint8_t field, std::span<const uint8_t> data);
    bool WriteTwo(uint8_t field1, std::span<const uint8_t> data1, uint8_t field2,
                  std::span<const uint8_t> data2);
    bool WriteByte(uint8_t field, uint8_t value);
    void Note(bool ok, const std::string& error);
    void RebuildEffectNames();
    // Block p's read: 56 bytes, or exactly the block where the keyboard refused the longer read.
    int ReadBlock(int profile, std::span<uint8_t, kCommandDataSize> data);

    DeviceLink& link_;
    const LanguageTexts& texts_;
    ProfileSwitcher& switcher_;
    LightingFiles files_;
    LightingState state_;
    UserModes userModes_;
    std::vector<std::u16string> effectNames_;
    std::string lastError_;
    // Profiles whose block is read as exactly 42 bytes, since this keyboard was attached.
    std::array<bool, kLightingProfileCount> exactReads_{};
};

}  // namespace vornak
