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
    return "usage: " + programName +
           " [OPTIONS]\n"
           "\n"
           "The configurator of the Nimbrel KX1 keyboard.\n"
           "\n"
           "options:\n"
           "  --start, /Start      the login start: stay in the tray, never open the window by itself\n"
           "  --kill, /Kill        close the running copy and end (with 0, also when none runs)\n"
           "  --simulate           use the bundled simulated keyboard\n"
           "  --library PATH       use this device library (VORNAK_PORTHUB=PATH does the same)\n"
           "  --help               this text\n"
           "  --version            the program's version\n"
           "\n"
           "exit codes:\n"
           "  0 ended, or handed over to the copy that runs   1 a picture of the skin is missing\n"
           "  2 wrong arguments   3 no device library, or it failed to start   4 no display\n";
}

}  // namespace vornak
