#include "tools/vornakctl/arguments.h"

#include <algorithm>

namespace vornak::cli {

std::optional<int> ParseInt(std::string_view text, int lo, int hi) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<std::vector<Flag>> ParseFlags(const std::vector<std::string>& args,
                                            std::initializer_list<std::string_view> valued,
                                            std::initializer_list<std::string_view> bare,
                                            std::vector<std::string>* rest, std::string* error) {
    std::vector<Flag> flags;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !a.starts_with("--")) {
            if (rest == nullptr) {
                *error = "unexpected argument '" + a + "'";
                return std::nullopt;
            }
            rest->push_back(a);
            continue;
        }
        const size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (std::find(bare.begin(), bare.end(), name) != bare.end() && eq == std::string::npos) {
            flags.push_back({name, ""});
        } else if (std::find(valued.begin(), valued.end(), name) != valued.end()) {
            if (eq != std::string::npos) {
                flags.push_back({name, a.substr(eq + 1)});
                continue;
            }
            if (i + 1 >= args.size()) {
                *error = "--" + name + " needs a value";
                return std::nullopt;
            }
            flags.push_back({name, args[++i]});
        } else {
            *error = "unknown option '" + a + "' (see --help)";
            return std::nullopt;
        }
    }
    return flags;
}

std::optional<int> ProfileFlag(const std::vector<Flag>& flags, std::string* error) {
    for (const Flag& f : flags) {
        if (f.name != "profile") continue;
        const auto p = ParseInt(f.value, 1, 3);
        if (!p) {
            *error = "--profile takes 1, 2 or 3, not '" + f.value + "'";
            return std::nullopt;
        }
        return *p - 1;
    }
    return -1;
}

std::string ShellWord(std::string_view text) {
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("+-_.:/#*=@%").find(c) != std::string_view::npos;
    });
    if (plain) return std::string(text);
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

}  // namespace vornak::cli
