// vornakctl: the command-line front end of Vornak.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/help.h"
#include "tools/vornakctl/keyboard_session.h"

namespace {

using namespace vornak;
using namespace vornak::cli;

struct Command {
    const char* name;
    int (*run)(Context&);
    bool takesOptions;  // options of its own (--profile, --repeat, ...); the others refuse any
};

constexpr Command kCommands[] = {
    {"keys", CmdKeys, false},   {"actions", CmdActions, false},  {"validate", CmdValidate, false},
    {"show", CmdShow, false},   {"diff", CmdDiff, false},        {"assign", CmdAssign, true},
    {"macro", CmdMacro, true},  {"status", CmdStatus, false},    {"capture", CmdCapture, false},
    {"apply", CmdApply, false}, {"profile", CmdProfile, false},  {"lighting", CmdLighting, true},
    {"paint", CmdPaint, true},  {"usermode", CmdUserMode, true}, {"rules", CmdRules, true},
};

const Command* FindCommand(std::string_view name) {
    for (const Command& c : kCommands) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string command;
    std::vector<std::string> args;
    bool help = false;
    bool optionsEnded = false;
    // The program's own options may stand anywhere before a "--"; the command's options and the rest are
    // left for the command, in order.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded) {
            if (command.empty()) {
                command = arg;
            } else {
                args.emplace_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            if (!command.empty()) args.emplace_back(arg);  // the command's parser ends its options there too
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--yes") {
            options.assumeYes = true;
        } else if (arg == "--library" || arg.starts_with("--library=")) {
            if (arg == "--library" && i + 1 >= argc) return Fail(kExitUsage, "--library needs a PATH");
            options.library = arg == "--library" ? argv[++i] : std::string(arg.substr(10));
        } else if (arg == "--help" || (arg == "-h" && command.empty())) {
            help = true;
        } else if (arg == "--version") {
            std::printf("vornakctl 0.1.0\n");
            return kExitOk;
        } else if (command.empty()) {
            if (arg.starts_with("-"))
                return Fail(kExitUsage, "unknown option '" + std::string(arg) + "' (see --help)");
            command = arg;
        } else {
            args.emplace_back(arg);
        }
    }
    if (command == "help") {
        if (args.empty()) {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
        command = args[0];
        help = true;
    }
    if (help && command.empty()) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const Command* c = FindCommand(command);
    if (c == nullptr) return Fail(kExitUsage, "unknown command '" + command + "' (see --help)");
    if (help) {
        std::fputs(CommandHelp(c->name), stdout);
        return kExitOk;
    }
    if (!c->takesOptions) {
        for (const std::string& a : args) {
            if (a == "--") break;
            if (a.starts_with("--"))
                return Fail(kExitUsage, "unknown option '" + a + "' (see vornakctl " + command + " --help)");
        }
        if (const auto end = std::find(args.begin(), args.end(), "--"); end != args.end()) args.erase(end);
    }
    Context ctx{options, ProgramPaths(DetectPathRoots()), {}, TerminalPrompts(options.assumeYes), args};
    ctx.texts.LoadLanguageTexts(ctx.paths.languageIni);
    return c->run(ctx);
}
