// vornakctl: the command-line front end of Vornak.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/keyboard_session.h"

namespace {

using namespace vornak;
using namespace vornak::cli;

constexpr const char* kUsage =
    "usage: vornakctl [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  keys                 list the keys: code, name, list position, matrix position\n"
    "  validate FILE        check a profile file and say why it is rejected\n"
    "  show FILE            list every assigned key of each profile and every macro of a profile file\n"
    "  status               keyboards attached, active profile, macro memory, G-key layer, effects\n"
    "  capture FILE         read the keyboard's whole configuration into a profile file\n"
    "  apply FILE           check a profile file and send it to all three profiles\n"
    "  profile N            make on-board profile N (1 to 3) the active one\n"
    "  lighting [--profile P] [--effect N|NAME] [--brightness 0-5] [--speed 0-5]\n"
    "           [--direction first|second] [--colour RRGGBB] [--colourful on|off] [--defaults]\n"
    "                       each option one lighting change, in the order given\n"
    "  paint --profile P --mode M KEY=RRGGBB...\n"
    "                       paint keys (names as 'vornakctl keys' lists them, any case; G1..G9, Fn)\n"
    "                       into user mode M (0 to 9) of profile P and send it\n"
    "  usermode --profile P --mode M\n"
    "                       make user mode M the current one of profile P and send its colours\n"
    "\n"
    "options:\n"
    "  --simulate           use the bundled simulated keyboard\n"
    "  --library PATH       use this device library (VORNAK_PORTHUB=PATH does the same)\n"
    "  --json               machine-readable output\n"
    "  --yes                answer yes to questions (otherwise their default answer is taken)\n"
    "  --help               this text\n"
    "  --version            the program's version\n"
    "\n"
    "exit codes:\n"
    "  0 done   1 the operation failed   2 wrong arguments   3 no keyboard or no device library\n"
    "  4 profile file missing or rejected   5 a file could not be written\n";

struct Command {
    const char* name;
    int (*run)(Context&);
};

constexpr Command kCommands[] = {
    {"keys", CmdKeys},       {"validate", CmdValidate}, {"show", CmdShow},       {"status", CmdStatus},
    {"capture", CmdCapture}, {"apply", CmdApply},       {"profile", CmdProfile}, {"lighting", CmdLighting},
    {"paint", CmdPaint},     {"usermode", CmdUserMode},
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string command;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!command.empty()) {
            args.emplace_back(arg);
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--library") {
            if (i + 1 >= argc) return Fail(kExitUsage, "--library needs a PATH");
            options.library = argv[++i];
        } else if (arg == "--yes") {
            options.assumeYes = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else if (arg == "--version") {
            std::printf("vornakctl 0.1.0\n");
            return kExitOk;
        } else if (!arg.starts_with("-")) {
            command = arg;
        } else {
            return Fail(kExitUsage, "unknown option '" + std::string(arg) + "' (see --help)");
        }
    }
    if (command.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    for (const Command& c : kCommands) {
        if (command != c.name) continue;
        Context ctx{options, ProgramPaths(DetectPathRoots()), {}, TerminalPrompts(options.assumeYes), args};
        ctx.texts.LoadLanguageTexts(ctx.paths.languageIni);
        return c.run(ctx);
    }
    return Fail(kExitUsage, "unknown command '" + command + "' (see --help)");
}
