// Where the program's files are. Everything beside the executable is built from the program folder;
// everything of the user from the documents folder; the application profile from the configuration folder.
// Each root can be set, so tests never touch the real home folder.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vornak {

struct PathRoots {
    std::filesystem::path programDir;    // folder of the running executable
    std::filesystem::path documentsDir;  // the user's documents folder
    std::filesystem::path configDir;     // the user's configuration folder
    std::filesystem::path dataDir{};     // Skins/, Help/, Package/; empty: the program folder
    std::filesystem::path libraryDir{};  // the PortHub libraries; empty: the program folder
};

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment (getenv).
EnvironmentLookup ProcessEnvironment();

// Folder of the running executable.
std::filesystem::path ExecutableDir();

// Where the program's own files are, found from the folder of its executable alone, so that an installed tree
// can be moved to another prefix or unpacked anywhere. In the build tree (and in a flat install, as on
// Windows) they lie beside the executable, and a "Skins" folder there says so. Installed by the Unix rules
// (bin/, share/vornak/, lib/<arch>/vornak/) they lie at the relative paths the build recorded from its
// install layout.
struct ProgramFiles {
    std::filesystem::path dataDir;
    std::filesystem::path libraryDir;
};
ProgramFiles LocateProgramFiles(const std::filesystem::path& exeDir);
// The same with the installed layout given: the data and library folders relative to the executable's.
ProgramFiles LocateProgramFiles(const std::filesystem::path& exeDir, const std::filesystem::path& dataFromBin,
                                const std::filesystem::path& libraryFromBin);

// $XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Documents.
std::filesystem::path DocumentsDir(const EnvironmentLookup& env);
// $XDG_CONFIG_HOME, else $HOME/.config.
std::filesystem::path ConfigDir(const EnvironmentLookup& env);

PathRoots DetectPathRoots(const EnvironmentLookup& env = ProcessEnvironment());

// Every path the program uses, built once at start-up.
struct ProgramPaths {
    explicit ProgramPaths(const PathRoots& roots);

    std::filesystem::path programDir;
    std::filesystem::path dataDir;
    std::filesystem::path libraryDir;  // searched first for the PortHub libraries
    std::filesystem::path skinsDir;
    std::filesystem::path languageIni;
    std::filesystem::path mainIni;
    std::filesystem::path profileIni;
    std::filesystem::path updateIni;
    std::filesystem::path compositeIni;
    std::filesystem::path appsIni;  // the Applications dialog
    std::filesystem::path helpDir;
    std::filesystem::path helpIndex;
    std::filesystem::path packageDir;
    std::filesystem::path companion;  // "KeyWarden" beside the executable, started hidden at every run
    // Name prefixes of user lighting mode files: the template in the skin folder, and the user's own files.
    std::string skinsUserModePrefix;
    std::string userModePrefix;
    std::filesystem::path userModeTemplate;  // the template: number 3 in the skin folder

    std::filesystem::path documentsDir;
    std::filesystem::path userFolder;   // "Vornak_R2T" in the documents folder
    std::filesystem::path settingsIni;  // "wskb.ini" in the user folder
    std::filesystem::path appProfile;   // the "Vornak_Pellam" profile in the configuration folder
};

// prefix + n + ".userd"
std::filesystem::path UserModeFilePath(const std::string& prefix, int number);

}  // namespace vornak
