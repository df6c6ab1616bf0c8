// Commands that work on files alone: no keyboard needed.
#include <cstdio>

#include "assign/assign_text.h"
#include "assign/assignment.h"
#include "keyboard/key_table.h"
#include "platform/file_io.h"
#include "platform/utf.h"
#include "profile/profile_file.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/json.h"
#include "tools/vornakctl/output.h"

namespace vornak::cli {

namespace {

const char* KindName(uint16_t kind) {
    static const char* const kNames[] = {"default",    "disabled", "key",   "program", "macro",
                                         "stop-macro", "text",     "media", "function"};
    return kind < std::size(kNames) ? kNames[kind] : "unknown";
}

}  // namespace

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "vornakctl: %s\n", message.c_str());
    return code;
}

void Note(const std::string& message) {
    std::fprintf(stderr, "vornakctl: %s\n", message.c_str());
}

int Fail(const EditProblem& problem, const std::string& prefix) {
    return Fail(problem.kind == EditProblem::Kind::Refused ? kExitRefused : kExitUsage,
                prefix + problem.message);
}

std::optional<EditCopy> LoadProfile(const std::string& file, std::string* error) {
    auto bytes = ReadWholeFile(file, error, 0xFFFFFFFFull);
    if (!bytes) return std::nullopt;
    std::string why;
    auto copy = ParseProfileFile(*bytes, &why);
    if (!copy) *error = file + ": " + why;
    return copy;
}

int SaveProfile(const std::string& file, EditCopy& copy) {
    std::string why;
    const auto bytes = SerializeProfileFile(copy, &why);
    if (!bytes) return Fail(kExitRefused, file + ": " + why + "; the file is left as it was");
    // What is written must read back as it was meant: the same check every load makes.
    if (!ParseProfileFile(*bytes, &why))
        return Fail(kExitRefused,
                    file + ": the edited file would not read back (" + why + "); it is left as it was");
    if (!WriteFileAtomic(file, *bytes, &why)) return Fail(kExitFileWrite, why);
    return kExitOk;
}

int CmdKeys(Context& ctx) {
    const bool json = ctx.options.json;
    if (json) std::printf("[");
    bool first = true;
    for (int slot = 0; slot < 256; ++slot) {
        const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
        const KeyRecord& r = KeyTableRecord(static_cast<uint8_t>(slot));
        if (r.name.empty() && !r.nameText) continue;
        const std::string name = U8(KeyCodeName(code, ctx.texts));
        if (json) {
            std::printf("%s\n  {\"code\": %d, \"name\": %s, \"listPosition\": %d, \"matrixPosition\": %d}",
                        first ? "" : ",", code, JsonString(name).c_str(), r.listPosition, r.matrixPosition);
        } else {
            std::printf("%03X  %-20s", code, name.c_str());
            if (r.listPosition < kListPositionCount) {
                std::printf("  list %3d", r.listPosition);
            } else {
                std::printf("          ");
            }
            if (r.matrixPosition >= 0) std::printf("  matrix %3d", r.matrixPosition);
            std::printf("\n");
        }
        first = false;
    }
    if (json) std::printf("\n]\n");
    return kExitOk;
}

int CmdValidate(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "validate takes one FILE");
    const std::string& file = ctx.args[0];
    std::string error;
    const auto copy = LoadProfile(file, &error);
    if (ctx.options.json) {
        std::printf("{\"file\": %s, \"valid\": %s", JsonString(file).c_str(), copy ? "true" : "false");
        if (copy) std::printf(", \"macros\": %zu", copy->macros.size());
        if (!copy) std::printf(", \"reason\": %s", JsonString(error).c_str());
        std::printf("}\n");
    } else if (copy) {
        std::printf("%s: valid profile file, %zu macros\n", file.c_str(), copy->macros.size());
    }
    if (!copy) {
        if (!ctx.options.json) Fail(kExitFileRejected, error);
        return kExitFileRejected;
    }
    return kExitOk;
}

int CmdShow(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "show takes one FILE");
    std::string error;
    const auto copy = LoadProfile(ctx.args[0], &error);
    if (!copy) return Fail(kExitFileRejected, error);
    const bool json = ctx.options.json;
    const std::vector<int> slots = NamedSlots();
    if (json) std::printf("{\"profiles\": [");
    for (int p = 0; p < kProfileCount; ++p) {
        if (json) {
            std::printf("%s\n  [", p ? "," : "");
        } else {
            std::printf("Profile %d\n", p + 1);
        }
        bool any = false;
        for (int slot : slots) {
            const ConfigEntry e = copy->image.entry(p, slot);
            if (e.kind == 0) continue;
            const std::string key = KeyName(slot, ctx.texts);
            const std::string action = U8(ActionText(e, copy->macros, ctx.texts));
            const auto& name = copy->names.name(EntryIndex(p, slot));
            if (json) {
                const std::string text = U8(DescribeAssignment(slot, e, copy->macros, ctx.texts).text);
                std::printf(
                    "%s\n    {\"key\": %s, \"slot\": %d, \"kind\": \"%s\", \"value\": %u, \"code\": %u, "
                    "\"action\": %s, \"description\": %s",
                    any ? "," : "", JsonString(key).c_str(), slot, KindName(e.kind), e.value, e.code,
                    JsonString(action).c_str(), JsonString(text).c_str());
                if (name) std::printf(", \"name\": %s", JsonString(U8(*name)).c_str());
                std::printf("}");
            } else {
                std::printf("  %-20s %s", key.c_str(), ShellWord(action).c_str());
                if (name) std::printf(" %s", ShellWord(U8(*name)).c_str());
                std::printf("\n");
            }
            any = true;
        }
        if (json) {
            std::printf("%s]", any ? "\n  " : "");
        } else if (!any) {
            std::printf("  (every key at its default)\n");
        }
    }
    if (json) {
        std::printf("\n], \"macros\": [");
    } else {
        std::printf("Macros\n");
    }
    for (size_t i = 0; i < copy->macros.size(); ++i) {
        const MacroRecord& m = copy->macros[i];
        if (json) {
            std::printf("%s\n  {\"id\": %u, \"name\": %s, \"cycles\": %u, \"steps\": %s, \"actions\": %s}",
                        i ? "," : "", m.id, JsonString(U8(m.Name())).c_str(), m.cycles,
                        StepsJson(m.Actions(), ctx.texts).c_str(),
                        ActionsJson(m.Actions(), ctx.texts).c_str());
        } else {
            std::printf("  %3u  %s  repeat %u, %zu actions: %s\n", m.id, ShellWord(U8(m.Name())).c_str(),
                        m.cycles, m.ActionCount(), StepsText(m.Actions(), ctx.texts).c_str());
        }
    }
    if (json) {
        std::printf("%s]}\n", copy->macros.empty() ? "" : "\n");
    } else if (copy->macros.empty()) {
        std::printf("  (none)\n");
    }
    return kExitOk;
}

}  // namespace vornak::cli
