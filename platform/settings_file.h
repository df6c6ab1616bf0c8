// "wskb.ini" in the user folder: section "KEYCOLOR" with the switches "DengCheck" (the lighting switch) and
// "usermodeCheck" (the user lighting files have been seeded). Values are decimal texts compared with 1.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace vornak {

class SettingsFile {
  public:
    static constexpr std::u16string_view kFileName = u"wskb.ini";
    static constexpr std::u16string_view kSection = u"KEYCOLOR";
    static constexpr std::u16string_view kDengCheck = u"DengCheck";
    static constexpr std::u16string_view kUserModeCheck = u"usermodeCheck";

    explicit SettingsFile(std::filesystem::path file) : ini_(std::move(file)) {}

    // The key read with the default "0", compared as an integer with 1.
    bool IsOn(std::u16string_view key) const {
        return ParseLeadingInt(ini_.GetString(kSection, key, u"0")) == 1;
    }
    // Writes "1" or "0".
    bool Set(std::u16string_view key, bool on, std::string* error = nullptr) const {
        return ini_.WriteString(kSection, key, on ? u"1" : u"0", error);
    }

    const std::filesystem::path& path() const { return ini_.path(); }

  private:
    CIniFile ini_;
};

}  // namespace vornak
