#include "program/command_line.h"

#include <algorithm>
#include <cctype>

namespace vornak {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string word = Lower(args[i]);
        if (word == "/kill" || word == "--kill") {
            out.kill = true;
        } else if (word == "/start" || word == "--start") {
            out.start = true;
        } else if (word == "--simulate") {
            out.simulate = true;
        } else if (word == "--library") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                out.error = "--library needs the path of a PortHub library";
            } else {
                out.library = args[++i];
            }
        } else if (word.rfind("--library=", 0) == 0) {
            out.library = args[i].substr(10);
            if (out.library.empty()) out.error = "--library needs the path of a PortHub library";
        } else if (word == "--help" || word == "-h") {
            out.help = true;
        } else if (word == "--version") {
            out.version = true;
        }
    }
    return out;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [OPTION]...\n"
           "Configurator of the Nimbrel KX1 keyboard. It lives in the system tray; starting it again shows\n"
           "the window of the copy that runs.\n"
           "\n"
           "Options:\n"
           "  --start, /Start     start in the tray without opening the window (the login start)\n"
           "  --kill, /Kill       close the running copy and end; ends with 0 when none runs\n"
           "  --simulate          use the bundled simulated keyboard instead of a real one\n"
           "  --library PATH      use the PortHub library at PATH (as VORNAK_PORTHUB=PATH does)\n"
           "  --help              show this help and end\n"
           "  --version           show the version and end\n"
           "\n"
           "Environment:\n"
           "  VORNAK_PORTHUB      path of the PortHub library to bind\n"
           "  VORNAK_SIM_STATE, VORNAK_SIM_LOG, VORNAK_SIM_LATENCY_MS, VORNAK_SIM_CONTROL\n"
           "                      the simulated keyboard's memory file, traffic log, latency and control "
           "FIFO\n"
           "\n"
           "Exit status:\n"
           "  0  ended normally, or handed over to the copy that runs\n"
           "  2  wrong arguments\n"
           "  3  the PortHub library is missing, lacks an export or failed to start\n"
           "  4  no display to show the window on\n"
           "  1  a picture of the skin is missing or unreadable\n";
}

}  // namespace vornak
