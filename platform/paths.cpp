#include "platform/paths.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/app_profile.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vornak {

namespace fs = std::filesystem;

EnvironmentLookup ProcessEnvironment() {
    return [](const char* name) -> std::optional<std::string> {
        const char* v = std::getenv(name);
        if (v == nullptr || *v == '\0') return std::nullopt;
        return std::string(v);
    };
}

fs::path ExecutableDir() {
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, 32768);
    return fs::path(std::wstring(buffer, n)).parent_path();
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    return fs::current_path(ec);
#endif
}

#ifndef VORNAK_DATA_FROM_BIN
#define VORNAK_DATA_FROM_BIN "../share/vornak"
#endif
#ifndef VORNAK_LIBRARY_FROM_BIN
#define VORNAK_LIBRARY_FROM_BIN "../lib/vornak"
#endif

ProgramFiles LocateProgramFiles(const fs::path& exeDir) {
    return LocateProgramFiles(exeDir, VORNAK_DATA_FROM_BIN, VORNAK_LIBRARY_FROM_BIN);
}

ProgramFiles LocateProgramFiles(const fs::path& exeDir, const fs::path& dataFromBin,
                                const fs::path& libraryFromBin) {
    std::error_code ec;
    if (fs::is_directory(exeDir / "Skins", ec)) return ProgramFiles{exeDir, exeDir};
    // Not beside the executable: the installed layout, whether or not it is complete, so that a missing file
    // is named where the install should have put it.
    return ProgramFiles{(exeDir / dataFromBin).lexically_normal(),
                        (exeDir / libraryFromBin).lexically_normal()};
}

namespace {

fs::path Home(const EnvironmentLookup& env) {
    if (auto h = env("HOME")) return *h;
    if (auto h = env("USERPROFILE")) return *h;
    return fs::path(".");
}

// One value of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::optional<fs::path> UserDirsDocuments(const fs::path& file, const fs::path& home) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        const size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, key.size(), key) != 0) continue;
        std::string value = line.substr(at + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) return fs::path(home.string() + value.substr(5));
        if (!value.empty() && value.front() == '/') return fs::path(value);
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

fs::path ConfigDir(const EnvironmentLookup& env) {
    if (auto c = env("XDG_CONFIG_HOME")) return *c;
#ifdef _WIN32
    if (auto a = env("APPDATA")) return *a;
#endif
    return Home(env) / ".config";
}

fs::path DocumentsDir(const EnvironmentLookup& env) {
    if (auto d = env("XDG_DOCUMENTS_DIR")) return *d;
    const fs::path home = Home(env);
    if (auto d = UserDirsDocuments(ConfigDir(env) / "user-dirs.dirs", home)) return *d;
    return home / "Documents";
}

PathRoots DetectPathRoots(const EnvironmentLookup& env) {
    const fs::path exeDir = ExecutableDir();
    const ProgramFiles files = LocateProgramFiles(exeDir);
    return PathRoots{exeDir, DocumentsDir(env), ConfigDir(env), files.dataDir, files.libraryDir};
}

ProgramPaths::ProgramPaths(const PathRoots& roots)
    : programDir(roots.programDir),
      dataDir(roots.dataDir.empty() ? programDir : roots.dataDir),
      libraryDir(roots.libraryDir.empty() ? programDir : roots.libraryDir),
      skinsDir(dataDir / "Skins"),
      languageIni(skinsDir / "language.ini"),
      mainIni(skinsDir / "Main.ini"),
      profileIni(skinsDir / "Profile.ini"),
      updateIni(skinsDir / "UpdateDlg.ini"),
      compositeIni(skinsDir / "Composite.ini"),
      appsIni(skinsDir / "Applications.ini"),
      helpDir(dataDir / "Help"),
      helpIndex(helpDir / "index.html"),
      packageDir(dataDir / "Package"),
#ifdef _WIN32
      companion(programDir / "KeyWarden.exe"),
#else
      companion(programDir / "KeyWarden"),
#endif
      skinsUserModePrefix((skinsDir / "UserDengColor_").string()),
      documentsDir(roots.documentsDir),
      userFolder(documentsDir / "Vornak_R2T"),
      settingsIni(userFolder / "wskb.ini"),
      appProfile(AppProfile::FileIn(roots.configDir)) {
    userModePrefix = (userFolder / "UserDengColor_").string();
    userModeTemplate = UserModeFilePath(skinsUserModePrefix, 3);
}

fs::path UserModeFilePath(const std::string& prefix, int number) {
    return fs::path(prefix + std::to_string(number) + ".userd");
}

}  // namespace vornak
