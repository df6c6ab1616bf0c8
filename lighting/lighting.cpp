#include "lighting/lighting.h"

#include <array>

#include "platform/settings_file.h"

namespace vornak {

namespace f = lighting_field;

LightingModel::LightingModel(DeviceLink& link, const LanguageTexts& texts, ProfileSwitcher& switcher,
                             LightingFiles files)
    : link_(link),
      texts_(texts),
      switcher_(switcher),
      files_(std::move(files)),
      userModes_(link, files_.userModePrefix) {}

EffectControls LightingModel::VisibleControls() const {
    if (!state_.lightingSwitch) return {};
    return ControlsForEffect(state_.effect);
}

int LightingModel::Profile() {
    const int profile = link_.state().currentProfile.load();
    return profile >= 0 && profile < kLightingProfileCount ? profile : -1;
}

void LightingModel::Note(bool ok, const std::string& error) {
    if (!ok && !error.empty()) lastError_ = error;
}

int LightingModel::ReadLighting(LightingReadReason reason) {
    // An unreadable settings block leaves the list as it was: the panel keeps showing it, and a choice in it
    // still means the effect it shows.
    SettingsBlock settings{};
    if (link_.ReadSettings(settings) != kLinkOk) return -1;
    if (const int active = ActiveProfileOf(settings);
        link_.state().currentProfile.load() < 0 && active < kLightingProfileCount)
        link_.state().currentProfile.store(active);
    const int profile = Profile();

    if (reason == LightingReadReason::Attach) exactReads_ = {};
    std::array<LightingBlock, kLightingProfileCount> blocks{};
    std::array<int, kLightingProfileCount> results{};
    link_.BeginSequence();
    for (int p = 0; p < kLightingProfileCount; ++p) {
        std::array<uint8_t, kCommandDataSize> data{};
        results[static_cast<size_t>(p)] = ReadBlock(p, data);
        blocks[static_cast<size_t>(p)] = LightingBlock::FromBytes(data);
    }
    link_.EndSequence();

    int result = kLinkOk;
    if (profile < 0) {
        result = kLinkBadIndex;
    } else if (results[static_cast<size_t>(profile)] != kLinkOk) {
        // Decoding a block that did not arrive would show zeros as the user's lighting.
        result = results[static_cast<size_t>(profile)];
    } else {
        state_.currentProfile = profile;
        DecodeLightingBlock(blocks[static_cast<size_t>(profile)], state_);
    }

    state_.lightingSwitch = SettingsFile(files_.settingsIni).IsOn(SettingsFile::kDengCheck);

    const EffectList list = EffectListFromSettings(settings);
    if (UserModesExist(list) && reason != LightingReadReason::Other && profile >= 0) {
        userModes_.FillUserModeList(profile);
        std::string error;
        Note(userModes_.LoadUserMode(profile, &error), error);
    }

    state_.effectList = list;
    state_.effectTable = EffectTable(list);
    RebuildEffectNames();
    return result;
}

int LightingModel::ReadBlock(int profile, std::span<uint8_t, kCommandDataSize> data) {
    const auto index = static_cast<size_t>(profile);
    const uint16_t offset = LightingOffset(profile, 0);
    if (!exactReads_[index]) {
        const int result = link_.ReadLightingArea(offset, data);
        if (result == kLinkOk || result == kLinkNoDevice) return result;
    }
    // The last block's 56-byte read runs 14 bytes past the end of the lighting area, which firmware may
    // refuse; a read of exactly the block stays inside. Once that worked, this keyboard gets only those.
    const int result = link_.ReadLightingArea(offset, data.first(kLightingBlockSize));
    if (result == kLinkOk) exactReads_[index] = true;
    return result;
}

void LightingModel::RebuildEffectNames() {
    const IniDocument mainIni = IniDocument::Load(files_.mainIni);
    effectNames_.clear();
    for (const auto& entry : state_.effectTable.entries())
        effectNames_.push_back(EffectName(mainIni, texts_.language(), entry.effect));
}

bool LightingModel::Write(uint8_t field, std::span<const uint8_t> data) {
    const int profile = Profile();
    if (profile < 0) return false;
    link_.BeginSequence();
    link_.WriteLightingArea(LightingOffset(profile, field), data);
    link_.EndSequence();
    return true;
}

bool LightingModel::WriteTwo(uint8_t field1, std::span<const uint8_t> data1, uint8_t field2,
                             std::span<const uint8_t> data2) {
    const int profile = Profile();
    if (profile < 0) return false;
    link_.BeginSequence();
    link_.WriteLightingArea(LightingOffset(profile, field1), data1);
    link_.WriteLightingArea(LightingOffset(profile, field2), data2);
    link_.EndSequence();
    return true;
}

bool LightingModel::WriteByte(uint8_t field, uint8_t value) {
    const std::array<uint8_t, 1> data = {value};
    return Write(field, data);
}

namespace {

std::array<uint8_t, 3> Rgb(Colour c) {
    return {ColourR(c), ColourG(c), ColourB(c)};
}

}  // namespace

bool LightingModel::SelectEffect(int listIndex) {
    const EffectNumber effect = state_.effectTable.EffectAt(listIndex);
    if (effect == 0) return false;
    state_.effect = effect;
    if (!IsHandledEffect(effect)) return false;
    const std::array<uint8_t, 1> number = {effect};
    if (EffectWritesColourful(effect)) {
        const std::array<uint8_t, 1> colourful = {static_cast<uint8_t>(state_.colourful ? 1 : 0)};
        return WriteTwo(f::kEffect, number, f::kColourful, colourful);
    }
    return Write(f::kEffect, number);
}

bool LightingModel::SetBrightness(int position) {
    if (position < 0 || position >= kSliderPositions || position == state_.brightness) return false;
    const bool sent = WriteByte(f::kBrightness, static_cast<uint8_t>(position));
    state_.brightness = static_cast<uint8_t>(position);
    return sent;
}

bool LightingModel::SetSpeed(int position) {
    if (position < 0 || position >= kSliderPositions) return false;
    const auto speed = static_cast<uint8_t>(kSliderPositions - 1 - position);
    if (speed == state_.speed) return false;
    const bool sent = WriteByte(f::kSpeed, speed);
    state_.speed = speed;
    return sent;
}

bool LightingModel::SetDirection(bool first) {
    const uint8_t direction = first ? kDirectionFirst : kDirectionSecond;
    const bool sent = WriteByte(f::kDirection, direction);
    state_.direction = direction;
    return sent;
}

bool LightingModel::ToggleColourful() {
    const bool colourful = !state_.colourful;
    const bool sent = WriteByte(f::kColourful, colourful ? 1 : 0);
    state_.colourful = colourful;
    return sent;
}

bool LightingModel::SetMainColour(MainColourButton button, Colour colour) {
    const auto rgb = Rgb(colour);
    bool sent;
    if (button == MainColourButton::Jt) {
        sent = Write(f::kMainColour, rgb);
        state_.jtColour = colour;
    } else {
        const std::array<uint8_t, 1> off = {0};
        sent = WriteTwo(f::kColourful, off, f::kMainColour, rgb);
        state_.fyColour = state_.hxColour = colour;
    }
    state_.colourful = false;
    return sent;
}

bool LightingModel::SetOption(int option) {
    if (option < 0 || option > kMaxOption) return false;
    const bool sent = WriteByte(f::kOption, static_cast<uint8_t>(option));
    state_.option = static_cast<uint8_t>(option);
    return sent;
}

bool LightingModel::SetPresetColour(int preset) {
    if (preset < 0 || preset > 3) return false;
    const bool sent = WriteByte(f::kPresetColour, static_cast<uint8_t>(preset));
    state_.presetColour = static_cast<uint8_t>(preset);
    return sent;
}

bool LightingModel::SetTriggerMode(int mode) {
    if ((mode != 0 && mode != 1) || mode == state_.triggerMode) return false;
    const bool sent = WriteByte(f::kTriggerMode, static_cast<uint8_t>(mode));
    state_.triggerMode = static_cast<uint8_t>(mode);
    return sent;
}

bool LightingModel::SetSecondColour(Colour colour) {
    const std::array<uint8_t, 1> off = {0};
    const bool sent = WriteTwo(f::kSecondColourful, off, f::kSecondColour, Rgb(colour));
    state_.secondColour = colour;
    state_.secondColourful = false;
    return sent;
}

bool LightingModel::ToggleSecondColourful() {
    const bool colourful = !state_.secondColourful;
    const bool sent = WriteByte(f::kSecondColourful, colourful ? 1 : 0);
    state_.secondColourful = colourful;
    return sent;
}

bool LightingModel::SetThirdColour(Colour colour) {
    const std::array<uint8_t, 1> off = {0};
    const bool sent = WriteTwo(f::kThirdColourful, off, f::kThirdColour, Rgb(colour));
    state_.thirdColour = colour;
    state_.thirdColourful = false;
    return sent;
}

bool LightingModel::ToggleThirdColourful() {
    const bool colourful = !state_.thirdColourful;
    const bool sent = WriteByte(f::kThirdColourful, colourful ? 1 : 0);
    state_.thirdColourful = colourful;
    return sent;
}

bool LightingModel::RestoreLightingDefaults() {
    if (!state_.lightingSwitch) return false;
    const int profile = Profile();
    if (profile < 0) return false;

    // Effect 1 as if chosen in the list, with the colourful flag as it stands.
    const std::array<uint8_t, 1> effect = {1};
    const std::array<uint8_t, 1> colourful = {static_cast<uint8_t>(state_.colourful ? 1 : 0)};
    WriteTwo(f::kEffect, effect, f::kColourful, colourful);

    if (UserModesExist(state_.effectList)) {
        std::string error;
        Note(userModes_.ResetUserModes(profile, &error), error);
        userModes_.FillUserModeList(profile);
        error.clear();
        Note(userModes_.LoadUserMode(profile, &error), error);
    }

    Write(0, kDefaultLightingBytes);
    // The panel shows what the keyboard now holds.
    DecodeLightingBlock(LightingBlock::FromBytes(kDefaultLightingBytes), state_);
    return true;
}

bool LightingModel::SetLightingSwitch(bool on) {
    const SettingsFile settings(files_.settingsIni);
    std::string error;
    if (!on) {
        Note(settings.Set(SettingsFile::kDengCheck, false, &error), error);
        state_.lightingSwitch = false;
        return false;
    }
    if (!switcher_.SwitchToCurrentProfile()) {
        state_.lightingSwitch = false;
        return false;
    }
    Note(settings.Set(SettingsFile::kDengCheck, true, &error), error);
    state_.lightingSwitch = true;
    return true;
}

bool LightingModel::LoadUserMode() {
    std::string error;
    const bool ok = userModes_.LoadUserMode(Profile(), &error);
    Note(ok, error);
    return ok;
}

void LightingModel::FillUserModeList() {
    userModes_.FillUserModeList(Profile());
}

bool LightingModel::SelectUserMode(int index) {
    std::string error;
    const bool ok = userModes_.SelectUserMode(Profile(), index, &error);
    Note(ok, error);
    return ok;
}

bool LightingModel::RenameUserMode(std::u16string_view text) {
    std::string error;
    const bool ok = userModes_.RenameUserMode(Profile(), text, &error);
    Note(ok, error);
    return ok;
}

bool LightingModel::SelectTool(int tool) {
    std::string error;
    const bool ok = userModes_.SelectTool(Profile(), tool, &error);
    Note(ok, error);
    return ok;
}

bool LightingModel::SetColor(Colour colour) {
    std::string error;
    const bool ok = userModes_.SetColor(Profile(), colour, &error);
    Note(ok, error);
    return ok;
}

bool LightingModel::SetJColor(Colour colour) {
    std::string error;
    const bool ok = userModes_.SetJColor(Profile(), colour, &error);
    Note(ok, error);
    return ok;
}

bool LightingModel::PaintKey(uint16_t controlId) {
    if (!state_.lightingSwitch || state_.effect != kUserModeEffect) return false;
    const int position = PaintPositionOfButton(controlId);
    if (position < 0) return false;
    std::string error;
    const bool ok = userModes_.PaintPosition(Profile(), position, &error);
    Note(ok, error);
    return ok;
}

}  // namespace vornak
