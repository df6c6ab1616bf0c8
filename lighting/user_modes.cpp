#include "lighting/user_modes.h"

#include <algorithm>
#include <optional>

#include "keyboard/key_buttons.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/settings_file.h"

namespace vornak {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kPresentModeSection = u"PRESENTMODE";
constexpr std::u16string_view kModeKey = u"mode";
constexpr std::u16string_view kModeNameSection = u"MODENAME";
constexpr std::u16string_view kToolKey = u"tool";
constexpr std::u16string_view kJColorKey = u"jcolor";
constexpr std::u16string_view kColorKey = u"color";
constexpr std::u16string_view kDefaultKeyEntry = u"255,0,0,1";
constexpr std::u16string_view kDefaultColour = u"0,0,0";
// The pristine copy that a reset restores from.
constexpr int kPristineFileNumber = 3;
constexpr int kSeededFileCount = 4;

std::u16string Decimal(int value) {
    std::u16string out;
    for (char c : std::to_string(value))
        out.push_back(static_cast<char16_t>(c));
    return out;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Up to n comma-separated integers; parsing stops at the first field that is not a number.
template <size_t N>
size_t ParseFields(std::u16string_view text, std::array<int, N>& out) {
    size_t i = 0;
    size_t count = 0;
    while (count < N) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
        if (i >= text.size() || text[i] < u'0' || text[i] > u'9') break;
        long value = 0;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            value = std::min<long>(value * 10 + (text[i] - u'0'), 100000);
            ++i;
        }
        out[count++] = static_cast<int>(negative ? -value : value);
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i >= text.size() || text[i] != u',') break;
        ++i;
    }
    return count;
}

uint8_t Component(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

int ValidProfile(int profile) {
    return profile >= 0 && profile < kLightingProfileCount;
}

void SetError(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
}

}  // namespace

Colour ParseColourText(std::u16string_view text, Colour def) {
    std::array<int, 3> f = {ColourR(def), ColourG(def), ColourB(def)};
    ParseFields(text, f);
    return MakeColour(Component(f[0]), Component(f[1]), Component(f[2]));
}

UserKeyEntry ParseKeyEntryText(std::u16string_view text) {
    std::array<int, 4> f = {255, 0, 0, 1};
    ParseFields(text, f);
    return {MakeColour(Component(f[0]), Component(f[1]), Component(f[2])), static_cast<uint8_t>(f[3] != 0)};
}

std::u16string FormatColourText(Colour colour) {
    return Decimal(ColourR(colour)) + u"," + Decimal(ColourG(colour)) + u"," + Decimal(ColourB(colour));
}

std::u16string FormatKeyEntryText(const UserKeyEntry& entry) {
    return FormatColourText(entry.colour) + u"," + Decimal(entry.flag != 0 ? 1 : 0);
}

std::u16string UserModeFile::SectionOf(int mode) {
    return u"Mode" + Decimal(mode);
}

int UserModeFile::PresentMode(const IniDocument& doc) {
    const int mode = ParseLeadingInt(doc.GetString(kPresentModeSection, kModeKey, u"0"));
    return mode >= 0 && mode < kUserModeCount ? mode : 0;
}

std::u16string UserModeFile::ModeName(const IniDocument& doc, int mode) {
    return doc.GetString(kModeNameSection, Decimal(mode), u"0");
}

UserBrushes UserModeFile::Brushes(const IniDocument& doc, int mode) {
    const std::u16string section = SectionOf(mode);
    UserBrushes b;
    b.tool = ParseLeadingInt(doc.GetString(section, kToolKey, u"0"));
    b.jcolor = ParseColourText(doc.GetString(section, kJColorKey, kDefaultColour), kBlack);
    b.color = ParseColourText(doc.GetString(section, kColorKey, kDefaultColour), kBlack);
    return b;
}

UserKeyEntry UserModeFile::Key(const IniDocument& doc, int mode, int position) {
    return ParseKeyEntryText(doc.GetString(SectionOf(mode), Decimal(position), kDefaultKeyEntry));
}

bool UserModeFile::WritePresentMode(int mode, std::string* error) const {
    return CIniFile(path_).WriteString(kPresentModeSection, kModeKey, Decimal(mode), error);
}

bool UserModeFile::WriteModeName(int mode, std::u16string_view name, std::string* error) const {
    return CIniFile(path_).WriteString(kModeNameSection, Decimal(mode), name, error);
}

bool UserModeFile::WriteBrushes(int mode, const UserBrushes& brushes,
                                std::span<const std::pair<int, UserKeyEntry>> keys,
                                std::string* error) const {
    auto doc = IniDocument::LoadForUpdate(path_, error);
    if (!doc) return false;
    const std::u16string section = SectionOf(mode);
    doc->SetString(section, kToolKey, Decimal(brushes.tool));
    doc->SetString(section, kJColorKey, FormatColourText(brushes.jcolor));
    doc->SetString(section, kColorKey, FormatColourText(brushes.color));
    for (const auto& [position, entry] : keys)
        doc->SetString(section, Decimal(position), FormatKeyEntryText(entry));
    return doc->Save(path_, error);
}

bool UserModeFile::WriteKeys(int mode, std::span<const std::pair<int, UserKeyEntry>> keys,
                             std::string* error) const {
    auto doc = IniDocument::LoadForUpdate(path_, error);
    if (!doc) return false;
    const std::u16string section = SectionOf(mode);
    for (const auto& [position, entry] : keys)
        doc->SetString(section, Decimal(position), FormatKeyEntryText(entry));
    return doc->Save(path_, error);
}

std::span<const uint8_t> UserModeKeyPositions() {
    static const auto positions = [] {
        std::array<uint8_t, kKeyButtons.size() + 2> p{};
        size_t n = 0;
        for (const auto& button : kKeyButtons) {
            if (auto position = KeyMatrixPosition(button.code)) p[n++] = *position;
        }
        p[n++] = kExtraKeyMatrixPosition;
        p[n++] = kGKeyMatrixPosition;
        return std::pair{p, n};
    }();
    return {positions.first.data(), positions.second};
}

std::optional<UserKeyEntry> PaintEntry(const UserBrushes& brushes) {
    if (brushes.tool == kToolJColor) return UserKeyEntry{brushes.jcolor, 1};
    if (brushes.tool == kToolColor) return UserKeyEntry{brushes.color, 0};
    return std::nullopt;
}

int PaintPositionOfButton(uint16_t controlId) {
    if (auto code = KeyButtonCode(controlId)) {
        if (auto position = KeyMatrixPosition(*code)) return *position;
        return -1;
    }
    if (GKeyIndex(controlId)) return kGKeyMatrixPosition;
    if (controlId == kExtraKeyControlId) return kExtraKeyMatrixPosition;
    return -1;
}

bool EnsureUserModeFiles(const fs::path& settingsIni, const fs::path& templateFile,
                         const std::string& userModePrefix, std::string* error) {
    const SettingsFile settings(settingsIni);
    if (settings.IsOn(SettingsFile::kUserModeCheck)) return true;
    const auto bytes = ReadWholeFile(templateFile, error);
    if (!bytes) return false;
    for (int n = 0; n < kSeededFileCount; ++n) {
        const fs::path target = UserModeFilePath(userModePrefix, n);
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        if (!WriteFileAtomic(target, *bytes, error)) return false;
    }
    return settings.Set(SettingsFile::kUserModeCheck, true, error);
}

UserModes::UserModes(DeviceLink& link, std::string userModePrefix)
    : link_(link), prefix_(std::move(userModePrefix)) {
    names_.fill(u"0");
    for (int p = 0; p < kLightingProfileCount; ++p)
        image_.Fill(p, kRed);
    for (auto& f : flags_)
        f.fill(1);
}

fs::path UserModes::FileOf(int profile) const {
    return UserModeFilePath(prefix_, profile);
}

uint8_t UserModes::Flag(int profile, int position) const {
    if (!KeyColourImage::Valid(profile, position)) return 0;
    return flags_[static_cast<size_t>(profile)][static_cast<size_t>(position)];
}

bool UserModes::LoadMode(int profile, std::optional<int> mode, std::string* error) {
    if (!ValidProfile(profile)) {
        SetError(error, "no such profile: " + std::to_string(profile));
        return false;
    }
    // A file that exists but cannot be read gives an error, not a screen of defaults.
    auto doc = IniDocument::LoadForUpdate(FileOf(profile), error);
    if (!doc) return false;
    mode_ = mode.value_or(UserModeFile::PresentMode(*doc));
    brushes_ = UserModeFile::Brushes(*doc, mode_);
    auto& flags = flags_[static_cast<size_t>(profile)];
    for (uint8_t position : UserModeKeyPositions()) {
        const UserKeyEntry entry = UserModeFile::Key(*doc, mode_, position);
        image_.Set(profile, position, entry.colour);
        flags[position] = entry.flag;
    }
    SendKeyColourProfile(link_, image_, profile);
    return true;
}

bool UserModes::LoadUserMode(int profile, std::string* error) {
    return LoadMode(profile, std::nullopt, error);
}

void UserModes::FillUserModeList(int profile) {
    if (!ValidProfile(profile)) return;
    const IniDocument doc = IniDocument::Load(FileOf(profile));
    for (int m = 0; m < kUserModeCount; ++m)
        names_[static_cast<size_t>(m)] = UserModeFile::ModeName(doc, m);
}

bool UserModes::SelectUserMode(int profile, int index, std::string* error) {
    if (!ValidProfile(profile) || index < 0 || index >= kUserModeCount) return false;
    // The chosen mode is shown even when the file refuses the new PRESENTMODE; the error still says so.
    std::string writeError;
    const bool written = UserModeFile(FileOf(profile)).WritePresentMode(index, &writeError);
    const bool loaded = LoadMode(profile, index, error);
    if (!written) SetError(error, writeError);
    return written && loaded;
}

bool UserModes::RenameUserMode(int profile, std::u16string_view text, std::string* error) {
    if (!ValidProfile(profile)) return false;
    names_[static_cast<size_t>(mode_)] = std::u16string(text);
    return UserModeFile(FileOf(profile)).WriteModeName(mode_, text, error);
}

bool UserModes::WriteBrushes(int profile, std::string* error) {
    return UserModeFile(FileOf(profile)).WriteBrushes(mode_, brushes_, {}, error);
}

bool UserModes::SelectTool(int profile, int tool, std::string* error) {
    if (!ValidProfile(profile) || (tool != kToolColor && tool != kToolJColor)) return false;
    brushes_.tool = tool;
    return WriteBrushes(profile, error);
}

bool UserModes::SetColor(int profile, Colour colour, std::string* error) {
    if (!ValidProfile(profile)) return false;
    brushes_.color = colour;
    return WriteBrushes(profile, error);
}

bool UserModes::SetJColor(int profile, Colour colour, std::string* error) {
    if (!ValidProfile(profile)) return false;
    if (colour == brushes_.jcolor) return true;
    brushes_.jcolor = colour;
    std::vector<std::pair<int, UserKeyEntry>> followers;
    const auto& flags = flags_[static_cast<size_t>(profile)];
    for (uint8_t position : UserModeKeyPositions()) {
        if (flags[position] != 1) continue;
        image_.Set(profile, position, colour);
        followers.emplace_back(position, UserKeyEntry{colour, 1});
    }
    const bool written = UserModeFile(FileOf(profile)).WriteBrushes(mode_, brushes_, followers, error);
    SendKeyColourProfile(link_, image_, profile);
    return written;
}

bool UserModes::PaintPosition(int profile, int position, std::string* error) {
    if (!KeyColourImage::Valid(profile, position)) return false;
    const std::optional<UserKeyEntry> painted = PaintEntry(brushes_);
    if (!painted) return false;
    const UserKeyEntry entry = *painted;
    SendKeyColour(link_, profile, position, entry.colour);
    image_.Set(profile, position, entry.colour);
    flags_[static_cast<size_t>(profile)][static_cast<size_t>(position)] = entry.flag;
    const std::pair<int, UserKeyEntry> key{position, entry};
    return UserModeFile(FileOf(profile)).WriteKeys(mode_, {&key, 1}, error);
}

bool UserModes::ResetUserModes(int profile, std::string* error) {
    if (!ValidProfile(profile)) return false;
    const auto bytes = ReadWholeFile(FileOf(kPristineFileNumber), error);
    if (!bytes) return false;
    return WriteFileAtomic(FileOf(profile), *bytes, error);
}

}  // namespace vornak
