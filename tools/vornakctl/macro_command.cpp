// vornakctl macro FILE list | show NAME | add NAME STEP... | set NAME STEP... | rename OLD NEW | remove NAME
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "assign/assign_text.h"
#include "assign/config_edits.h"
#include "macro/macro_blob.h"
#include "macro/macro_steps.h"
#include "platform/utf.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/json.h"
#include "tools/vornakctl/keyboard_session.h"
#include "tools/vornakctl/output.h"

namespace vornak::cli {

namespace {

struct MacroArgs {
    std::string file;
    std::string sub;
    std::vector<std::string> rest;  // after the subcommand
    std::optional<uint8_t> repeat;
};

// The keyboard's macro memory in bytes, when a keyboard answers; nothing (and nothing said) otherwise.
std::optional<uint32_t> AttachedMacroMemory(Context& ctx) {
    KeyboardSession kb(ctx);
    if (kb.Open(true) != kExitOk) return std::nullopt;
    return kb.link().state().macroCapacity.load();
}

int List(Context& ctx, const MacroArgs& args, const EditCopy& copy) {
    if (!args.rest.empty()) return Fail(kExitUsage, "macro list takes no arguments");
    const MacroBlobSizes sizes = ComputeMacroBlobSizes(copy.macros);
    const auto memory = AttachedMacroMemory(ctx);
    if (ctx.options.json) {
        std::printf("{\"macros\": [");
        for (size_t i = 0; i < copy.macros.size(); ++i) {
            const MacroRecord& m = copy.macros[i];
            const auto uses = KeysPlaying(copy, m.id);
            std::printf("%s\n  {\"id\": %u, \"name\": %s, \"repeat\": %u, \"actions\": %zu, \"keys\": %s}",
                        i ? "," : "", m.id, JsonString(U8(m.Name())).c_str(), m.cycles, m.ActionCount(),
                        KeyUsesJson(uses, ctx.texts).c_str());
        }
        std::printf("%s], \"size\": {\"withNames\": %u, \"withoutNames\": %u}, \"keyboardMemory\": %s}\n",
                    copy.macros.empty() ? "" : "\n", sizes.withNames, sizes.withoutNames,
                    memory ? std::to_string(*memory).c_str() : "null");
        return kExitOk;
    }
    std::printf("%s: %zu macro%s\n", args.file.c_str(), copy.macros.size(),
                copy.macros.size() == 1 ? "" : "s");
    if (!copy.macros.empty()) std::printf("   id  repeat  actions  name, keys that play it\n");
    for (const MacroRecord& m : copy.macros) {
        const auto uses = KeysPlaying(copy, m.id);
        std::printf("  %3u  %6u  %7zu  %s%s%s\n", m.id, m.cycles, m.ActionCount(),
                    ShellWord(U8(m.Name())).c_str(), uses.empty() ? "" : ": ",
                    KeyUsesText(uses, ctx.texts).c_str());
    }
    std::printf("macro table: %u bytes with names, %u without", sizes.withNames, sizes.withoutNames);
    if (!memory) {
        std::printf(" (no keyboard attached to compare with)\n");
    } else if (sizes.withNames <= *memory) {
        std::printf("; the keyboard's macro memory holds %u bytes\n", *memory);
    } else if (sizes.withoutNames <= *memory) {
        std::printf("; the keyboard's macro memory holds %u bytes: the names are left out\n", *memory);
    } else {
        std::printf("; the keyboard's macro memory holds only %u bytes: apply refuses this file\n", *memory);
    }
    return kExitOk;
}

int Show(Context& ctx, const MacroArgs& args, const EditCopy& copy) {
    if (args.rest.size() != 1) return Fail(kExitUsage, "macro show takes one NAME");
    EditProblem problem;
    const auto index = FindMacroByName(copy.macros, Utf8ToUtf16(args.rest[0]), &problem);
    if (!index) return Fail(problem, args.file + ": ");
    const MacroRecord& m = copy.macros[*index];
    const auto uses = KeysPlaying(copy, m.id);
    if (ctx.options.json) {
        std::printf(
            "{\"id\": %u, \"name\": %s, \"repeat\": %u, \"steps\": %s, \"actions\": %s, \"keys\": %s}\n",
            m.id, JsonString(U8(m.Name())).c_str(), m.cycles, StepsJson(m.Actions(), ctx.texts).c_str(),
            ActionsJson(m.Actions(), ctx.texts).c_str(), KeyUsesJson(uses, ctx.texts).c_str());
        return kExitOk;
    }
    std::printf("%s (id %u): repeat %u, %zu actions\n", ShellWord(U8(m.Name())).c_str(), m.id, m.cycles,
                m.ActionCount());
    std::printf("steps: %s\n", StepsText(m.Actions(), ctx.texts).c_str());
    for (const MacroAction& a : m.Actions()) {
        std::printf("  %-16s %s %6u ms\n", U8(KeyCodeName(a.keyCode, ctx.texts)).c_str(),
                    a.release == 1 ? "release" : "press  ", a.delay);
    }
    std::printf("played by: %s\n", uses.empty() ? "no key" : KeyUsesText(uses, ctx.texts).c_str());
    return kExitOk;
}

// The steps read, with what was rounded or is worth a look said after the edit is made.
std::optional<std::vector<MacroAction>> ReadSteps(Context& ctx, std::span<const std::string> words,
                                                  std::vector<std::string>& notes, int& exit) {
    std::vector<std::u16string> steps;
    for (const std::string& w : words)
        steps.push_back(Utf8ToUtf16(w));
    EditProblem problem;
    auto actions = ParseMacroSteps(steps, ctx.texts, &notes, &problem);
    if (!actions) {
        exit = Fail(problem);
        return std::nullopt;
    }
    for (std::string& n : UnbalancedKeys(*actions, ctx.texts))
        notes.push_back(std::move(n));
    return actions;
}

bool Confirmed(Context& ctx, const std::string& question) {
    if (ctx.options.assumeYes) return true;
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) return false;
    std::fprintf(stderr, "vornakctl: %s [y/N] ", question.c_str());
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

int Edit(Context& ctx, const MacroArgs& args, EditCopy& copy) {
    EditProblem problem;
    std::vector<std::string> notes;
    std::string said;
    int exit = kExitOk;
    if (args.sub == "add" || args.sub == "set") {
        if (args.rest.empty()) return Fail(kExitUsage, "macro " + args.sub + " takes NAME and its STEPs");
        const auto actions = ReadSteps(ctx, std::span(args.rest).subspan(1), notes, exit);
        if (!actions) return exit;
        const std::u16string name = Utf8ToUtf16(args.rest[0]);
        if (args.sub == "add") {
            const auto index = AddMacro(copy, name, *actions, args.repeat.value_or(1), &problem);
            if (!index) return Fail(problem, args.file + ": ");
            said = "added macro " + ShellWord(args.rest[0]) + " (id " +
                   std::to_string(copy.macros[*index].id) + ")";
        } else {
            const auto index = FindMacroByName(copy.macros, name, &problem);
            if (!index || !SetMacro(copy, *index, *actions, args.repeat, &problem))
                return Fail(problem, args.file + ": ");
            said = "macro " + ShellWord(U8(copy.macros[*index].Name())) + " (id " +
                   std::to_string(copy.macros[*index].id) + ") now holds " + std::to_string(actions->size()) +
                   " actions";
        }
    } else if (args.sub == "rename") {
        if (args.rest.size() != 2) return Fail(kExitUsage, "macro rename takes OLD and NEW");
        const auto index = FindMacroByName(copy.macros, Utf8ToUtf16(args.rest[0]), &problem);
        if (!index || !RenameMacro(copy, *index, Utf8ToUtf16(args.rest[1]), &problem))
            return Fail(problem, args.file + ": ");
        said = "macro " + std::to_string(copy.macros[*index].id) + " is now named " + ShellWord(args.rest[1]);
    } else {
        if (args.rest.size() != 1) return Fail(kExitUsage, "macro remove takes one NAME");
        const auto index = FindMacroByName(copy.macros, Utf8ToUtf16(args.rest[0]), &problem);
        if (!index) return Fail(problem, args.file + ": ");
        const std::string name = ShellWord(U8(copy.macros[*index].Name()));
        const auto uses = KeysPlaying(copy, copy.macros[*index].id);
        const std::string keys = KeyUsesText(uses, ctx.texts);
        if (!uses.empty() &&
            !Confirmed(ctx, U8(ctx.texts[TextId::MACRO_DELETE_CONFIRM_OF_KEYS]) + " (" + keys + ")")) {
            return Fail(kExitRefused, args.file + ": the macro " + name + " is played by " + keys +
                                          "; --yes removes it and returns those keys to default");
        }
        RemoveMacro(copy, *index);
        said = "removed macro " + name + (uses.empty() ? "" : "; " + keys + " returned to default");
    }
    if (const int r = SaveProfile(args.file, copy); r != kExitOk) return r;
    for (const std::string& n : notes)
        Note(args.file + ": " + n);
    if (!ctx.options.json) std::printf("%s: %s\n", args.file.c_str(), said.c_str());
    return kExitOk;
}

}  // namespace

int CmdMacro(Context& ctx) {
    std::string error;
    MacroArgs args;
    std::vector<std::string> rest;
    const auto flags = ParseFlags(ctx.args, {"repeat"}, {}, &rest, &error);
    if (!flags) return Fail(kExitUsage, error);
    if (rest.size() < 2)
        return Fail(kExitUsage, "macro takes FILE and a command: list, show, add, set, rename or remove");
    args.file = rest[0];
    args.sub = rest[1];
    args.rest.assign(rest.begin() + 2, rest.end());
    static const std::string_view kSubs[] = {"list", "show", "add", "set", "rename", "remove"};
    if (std::find(std::begin(kSubs), std::end(kSubs), args.sub) == std::end(kSubs))
        return Fail(kExitUsage,
                    "unknown macro command '" + args.sub + "': list, show, add, set, rename or remove");
    for (const Flag& f : *flags) {
        const auto n = ParseInt(f.value, 1, 255);
        if (!n) return Fail(kExitUsage, "--repeat takes 1 to 255, not '" + f.value + "'");
        if (args.sub != "add" && args.sub != "set")
            return Fail(kExitUsage, "--repeat is for macro add and macro set");
        args.repeat = static_cast<uint8_t>(*n);
    }
    auto copy = LoadProfile(args.file, &error);
    if (!copy) return Fail(kExitFileRejected, error);
    if (args.sub == "list") return List(ctx, args, *copy);
    if (args.sub == "show") return Show(ctx, args, *copy);
    return Edit(ctx, args, *copy);
}

}  // namespace vornak::cli
