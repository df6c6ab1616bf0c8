// The desktop's on-screen keyboard, which lets the single-key page capture keys the physical keyboard lacks:
// its key presses reach the capture like real ones.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace vornak {

// Looked for in this order: the first one installed is started.
inline constexpr std::array<std::string_view, 5> kOnScreenKeyboards = {
    "onboard", "florence", "matchbox-keyboard", "xvkbd", "kvkbd",
};

using IsExecutable = std::function<bool(const std::filesystem::path&)>;

// A regular file that the user may run.
bool IsExecutableFile(const std::filesystem::path& file);

// The first of kOnScreenKeyboards found in the folders of a PATH value (folders separated by ':'; an empty
// folder is not the current one, as no desktop means it so); nothing when none is installed.
std::optional<std::filesystem::path> FindOnScreenKeyboard(
    std::string_view pathVariable, const IsExecutable& isExecutable = IsExecutableFile);

}  // namespace vornak
