// User lighting modes: ten named per-key colour sets per profile, kept in "UserDengColor_<n>.userd", painted
// with two brushes and sent to the keyboard as the profile's per-key colour image.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/device_link.h"
#include "lighting/key_colours.h"
#include "lighting/lighting_block.h"
#include "platform/ini_file.h"

namespace vornak {

inline constexpr int kUserModeCount = 10;
inline constexpr int kToolColor = 0;   // paints with color, the key keeps a colour of its own
inline constexpr int kToolJColor = 1;  // paints with jcolor, the key follows later jcolor changes

struct UserKeyEntry {
    Colour colour = kRed;
    uint8_t flag = 1;  // 1: follows jcolor
    friend bool operator==(const UserKeyEntry&, const UserKeyEntry&) = default;
};

struct UserBrushes {
    int tool = kToolColor;
    Colour jcolor = kBlack;
    Colour color = kBlack;
    friend bool operator==(const UserBrushes&, const UserBrushes&) = default;
};

// What a paint with the brushes gives a key: color with flag 0 (tool 0), jcolor with flag 1 (tool 1);
// nothing for any other tool.
std::optional<UserKeyEntry> PaintEntry(const UserBrushes& brushes);

// "R,G,B" and "R,G,B,flag" as the files hold them. Reading is lenient, as the files are user-editable: a
// field that is missing or not a number takes the default's field, components are kept within 0..255, and any
// flag other than 0 reads as 1.
Colour ParseColourText(std::u16string_view text, Colour def);
UserKeyEntry ParseKeyEntryText(std::u16string_view text);
std::u16string FormatColourText(Colour colour);
std::u16string FormatKeyEntryText(const UserKeyEntry& entry);

// One profile's user-mode file. Reads take a parsed document so that a whole mode costs one parse; every
// write is one read-modify-write of the file with an atomic replace.
class UserModeFile {
  public:
    explicit UserModeFile(std::filesystem::path path) : path_(std::move(path)) {}
    const std::filesystem::path& path() const { return path_; }

    IniDocument Read() const { return IniDocument::Load(path_); }

    // [PRESENTMODE] mode; a value outside 0..9 names no mode and reads as 0.
    static int PresentMode(const IniDocument& doc);
    // [MODENAME] "<mode>", default "0".
    static std::u16string ModeName(const IniDocument& doc, int mode);
    // tool (default "0"), jcolor and color (default "0,0,0") of [Mode<mode>].
    static UserBrushes Brushes(const IniDocument& doc, int mode);
    // "<position>" of [Mode<mode>], default "255,0,0,1".
    static UserKeyEntry Key(const IniDocument& doc, int mode, int position);

    bool WritePresentMode(int mode, std::string* error = nullptr) const;
    bool WriteModeName(int mode, std::u16string_view name, std::string* error = nullptr) const;
    // tool, jcolor and color always together; key entries, if any, in the same write.
    bool WriteBrushes(int mode, const UserBrushes& brushes,
                      std::span<const std::pair<int, UserKeyEntry>> keys = {},
                      std::string* error = nullptr) const;
    bool WriteKeys(int mode, std::span<const std::pair<int, UserKeyEntry>> keys,
                   std::string* error = nullptr) const;

    static std::u16string SectionOf(int mode);

  private:
    std::filesystem::path path_;
};

// The positions a user mode holds: the 104 ordinary key buttons, the extra button (110) and the G buttons
// (125), in that order.
std::span<const uint8_t> UserModeKeyPositions();

// The MatrixPosition a key button paints: the key table's for ordinary buttons, 125 for the G buttons, 110
// for the extra button; -1 for any other control.
int PaintPositionOfButton(uint16_t controlId);

// Seeds the four user-mode files from the template once per user: unless [KEYCOLOR] usermodeCheck of the
// settings file is 1, copies the template byte for byte to prefix + 0..3 + ".userd" and then sets the check.
// When a copy fails the check stays unset, so the next start tries again. Returns false with a message naming
// the file on failure.
bool EnsureUserModeFiles(const std::filesystem::path& settingsIni, const std::filesystem::path& templateFile,
                         const std::string& userModePrefix, std::string* error = nullptr);

// The user modes of the current profile and the per-key colours of all three.
class UserModes {
  public:
    UserModes(DeviceLink& link, std::string userModePrefix);

    std::filesystem::path FileOf(int profile) const;

    // Reads PRESENTMODE, the brushes of that mode and every key entry of the profile's file (one parse),
    // fills the image and the flags, and sends the profile's image.
    bool LoadUserMode(int profile, std::string* error = nullptr);
    // The ten MODENAME entries, at list index = mode.
    void FillUserModeList(int profile);
    bool SelectUserMode(int profile, int index, std::string* error = nullptr);
    bool RenameUserMode(int profile, std::u16string_view text, std::string* error = nullptr);
    // A tool other than 0 or 1 is refused.
    bool SelectTool(int profile, int tool, std::string* error = nullptr);
    // Brush 0's colour ("color" of the mode): what tool 0 paints.
    bool SetColor(int profile, Colour colour, std::string* error = nullptr);
    // Brush 1's colour ("jcolor"): what tool 1 paints. Nothing happens when the colour equals jcolor.
    // Otherwise every key whose flag is 1 takes the colour (in the image and the file) and the profile's
    // image is sent.
    bool SetJColor(int profile, Colour colour, std::string* error = nullptr);
    // Paints one position with the current tool; false (and nothing done) for an unknown tool.
    bool PaintPosition(int profile, int position, std::string* error = nullptr);
    // Copies the user file 3 byte for byte over the profile's file.
    bool ResetUserModes(int profile, std::string* error = nullptr);

    int mode() const { return mode_; }
    const UserBrushes& brushes() const { return brushes_; }
    const std::array<std::u16string, kUserModeCount>& names() const { return names_; }
    const KeyColourImage& image() const { return image_; }
    uint8_t Flag(int profile, int position) const;

  private:
    bool LoadMode(int profile, std::optional<int> mode, std::string* error);
    bool WriteBrushes(int profile, std::string* error);

    DeviceLink& link_;
    std::string prefix_;
    int mode_ = 0;
    UserBrushes brushes_;
    std::array<std::u16string, kUserModeCount> names_;
    KeyColourImage image_;
    std::array<std::array<uint8_t, kMatrixPositionCount>, kLightingProfileCount> flags_{};
};

}  // namespace vornak
