// Shared pieces of the vornakctl commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/core/language_texts.h"
#include "platform/paths.h"
#include "tools/vornakctl/terminal_prompts.h"

namespace vornak::cli {

// Exit codes, documented in --help and the README.
enum Exit : int {
    kExitOk = 0,
    kExitFailed = 1,      // the operation did not succeed (for example the keyboard refused a command)
    kExitUsage = 2,       // wrong arguments: unknown command or option, value out of range, unknown key name
    kExitNoKeyboard = 3,  // no keyboard attached, or the device library cannot be bound
    kExitFileRejected = 4,  // a profile file is missing, unreadable or invalid
    kExitFileWrite = 5,     // a file could not be written
};

struct Options {
    bool json = false;
    bool simulate = false;
    bool assumeYes = false;
    std::string library;  // --library PATH
};

struct Context {
    Options options;
    ProgramPaths paths;
    LanguageTexts texts;
    TerminalPrompts prompts;
    std::vector<std::string> args;  // the command's own arguments
};

// One line on stderr naming the problem; returns the code.
int Fail(int code, const std::string& message);

int CmdKeys(Context& ctx);
int CmdValidate(Context& ctx);
int CmdShow(Context& ctx);

}  // namespace vornak::cli
