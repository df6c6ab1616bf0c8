#include "platform/app_profile.h"

#include "platform/utf.h"

namespace vornak {

namespace fs = std::filesystem;

fs::path AppProfile::FileIn(const fs::path& configDir) {
    return configDir / (Utf16ToUtf8(kName) + ".ini");
}

std::u16string AppProfile::GetString(std::u16string_view key, std::u16string_view def) const {
    return ini_.GetString(kSection, key, def);
}

int AppProfile::GetInt(std::u16string_view key, int def) const {
    return ini_.GetInt(kSection, key, def);
}

bool AppProfile::WriteString(std::u16string_view key, std::u16string_view value, std::string* error) const {
    std::error_code ec;
    fs::create_directories(ini_.path().parent_path(), ec);
    return ini_.WriteString(kSection, key, value, error);
}

bool AppProfile::WriteInt(std::u16string_view key, int value, std::string* error) const {
    return WriteString(key, Utf8ToUtf16(std::to_string(value)), error);
}

}  // namespace vornak
