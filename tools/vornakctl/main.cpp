// vornakctl: the command-line front end of Vornak.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/vornakctl/cli.h"

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
    "\n"
    "options:\n"
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
    {"keys", CmdKeys},
    {"validate", CmdValidate},
    {"show", CmdShow},
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
