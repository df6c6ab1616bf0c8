#include "assign/on_screen_keyboard.h"

#include <unistd.h>

#include <vector>

namespace vornak {

bool IsExecutableFile(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

std::optional<std::filesystem::path> FindOnScreenKeyboard(std::string_view pathVariable,
                                                          const IsExecutable& isExecutable) {
    std::vector<std::filesystem::path> folders;
    size_t start = 0;
    while (start <= pathVariable.size()) {
        size_t end = pathVariable.find(':', start);
        if (end == std::string_view::npos) end = pathVariable.size();
        const std::string_view folder = pathVariable.substr(start, end - start);
        if (!folder.empty()) folders.emplace_back(folder);
        start = end + 1;
    }
    for (std::string_view program : kOnScreenKeyboards) {
        for (const auto& folder : folders) {
            const std::filesystem::path candidate = folder / program;
            if (isExecutable(candidate)) return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace vornak
