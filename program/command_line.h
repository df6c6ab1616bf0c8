// The program's command line: the switches "/Start" and "/Kill" (also "--start" and "--kill", any case) and
// the options of this platform.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vornak {

struct CommandLine {
    bool kill = false;   // close the running instance and end
    bool start = false;  // the login start: stay in the tray
    bool simulate = false;
    std::filesystem::path library;  // a PortHub library to bind instead of the usual one
    bool help = false;
    bool version = false;
    std::string error;  // what was wrong with the arguments; empty when they are fine
};

// args without the program's own name. Unknown words are ignored, as the Windows program ignores them; an
// option that lacks its value is an error.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText(const std::string& programName);

// Exit codes of the program's silent ends: the cause is one line on stderr.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoLibrary = 3;  // no PortHub library, a missing export, Init <= 0
inline constexpr int kExitNoDisplay = 4;  // no window system to show the window on

}  // namespace vornak
