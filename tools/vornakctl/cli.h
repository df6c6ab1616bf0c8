// Shared pieces of the vornakctl commands.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/config_store.h"
#include "macro/edit_problem.h"
#include "platform/paths.h"
#include "texts/language_texts.h"
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
    kExitRefused = 6,       // the edit breaks a rule of the configuration or a limit of the keyboard
    kExitDiffers = 1,       // diff: the files differ (as diff(1) says it)
};

struct Options {
    bool json = false;
    bool simulate = false;
    bool assumeYes = false;
    bool force = false;   // discard the running program's unapplied edits
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
// A line on stderr that does not stop the command.
void Note(const std::string& message);
// The exit code of an edit given as text that is not made.
int Fail(const EditProblem& problem, const std::string& prefix = "");

// A profile file, read whole and checked (nothing when it is missing or rejected, with the reason naming
// the file).
std::optional<EditCopy> LoadProfile(const std::string& file, std::string* error);
// Writes an edited copy: the bytes are read back and checked as a whole first, then they replace the file
// atomically. An exit code.
int SaveProfile(const std::string& file, EditCopy& copy);

int CmdKeys(Context& ctx);
int CmdValidate(Context& ctx);
int CmdShow(Context& ctx);
int CmdActions(Context& ctx);
int CmdAssign(Context& ctx);
int CmdDiff(Context& ctx);
int CmdMacro(Context& ctx);
int CmdRules(Context& ctx);

}  // namespace vornak::cli
