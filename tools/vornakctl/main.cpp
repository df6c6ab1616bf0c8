// vornakctl: the command-line front end of Vornak.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/core/language_texts.h"
#include "keyboard/key_table.h"
#include "platform/paths.h"
#include "platform/utf.h"

namespace {

using namespace vornak;

constexpr const char* kUsage =
    "usage: vornakctl [--json] COMMAND\n"
    "\n"
    "commands:\n"
    "  keys        list the keys: code, name, list position, matrix position\n"
    "\n"
    "options:\n"
    "  --json      machine-readable output\n"
    "  --help      this text\n"
    "  --version   the program's version\n"
    "\n"
    "exit codes: 0 done, 2 wrong arguments\n";

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int ListKeys(const LanguageTexts& texts, bool json) {
    if (json) std::printf("[");
    bool first = true;
    for (int slot = 0; slot < 256; ++slot) {
        const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
        const KeyRecord& r = KeyTableRecord(static_cast<uint8_t>(slot));
        if (r.name.empty() && !r.nameText) continue;
        const std::string name = Utf16ToUtf8(KeyCodeName(code, texts));
        if (json) {
            std::printf("%s\n  {\"code\": %d, \"name\": %s, \"listPosition\": %d, \"matrixPosition\": %d}",
                        first ? "" : ",", code, JsonString(name).c_str(), r.listPosition, r.matrixPosition);
        } else {
            std::printf("%03X  %-20s", code, name.c_str());
            if (r.listPosition < kListPositionCount)
                std::printf("  list %3d", r.listPosition);
            else
                std::printf("          ");
            if (r.matrixPosition >= 0) std::printf("  matrix %3d", r.matrixPosition);
            std::printf("\n");
        }
        first = false;
    }
    if (json) std::printf("\n]\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("vornakctl 0.1.0\n");
            return 0;
        } else if (command.empty() && !arg.starts_with("-")) {
            command = arg;
        } else {
            std::fprintf(stderr, "vornakctl: unknown argument '%s' (see --help)\n", argv[i]);
            return 2;
        }
    }
    const ProgramPaths paths(DetectPathRoots());
    LanguageTexts texts;
    texts.LoadLanguageTexts(paths.languageIni);
    if (command == "keys") return ListKeys(texts, json);
    if (command.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::fprintf(stderr, "vornakctl: unknown command '%s' (see --help)\n", command.c_str());
    return 2;
}
