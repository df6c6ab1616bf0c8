// The application profile "Vornak_Pellam": the program's own settings, section "PROFILES", kept as an INI
// file in the user's configuration folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace vornak {

class AppProfile {
  public:
    static constexpr std::u16string_view kName = u"Vornak_Pellam";
    static constexpr std::u16string_view kSection = u"PROFILES";

    // The file of the profile inside a configuration folder.
    static std::filesystem::path FileIn(const std::filesystem::path& configDir);

    explicit AppProfile(std::filesystem::path file) : ini_(std::move(file)) {}

    std::u16string GetString(std::u16string_view key, std::u16string_view def) const;
    int GetInt(std::u16string_view key, int def) const;
    // Creates the configuration folder when it is missing.
    bool WriteString(std::u16string_view key, std::u16string_view value, std::string* error = nullptr) const;
    bool WriteInt(std::u16string_view key, int value, std::string* error = nullptr) const;

    const std::filesystem::path& path() const { return ini_.path(); }

  private:
    CIniFile ini_;
};

}  // namespace vornak
