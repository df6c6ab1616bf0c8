// Reading a command's own arguments: numbers, options in the order given, and the rest.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornak::cli {

std::optional<int> ParseInt(std::string_view text, int lo, int hi);

// "--name value" or "--name=value".
struct Flag {
    std::string name;
    std::string value;
};

// Options anywhere before a "--", which ends them; every other argument (a step such as "-c" among them,
// and everything after "--") goes to rest in order. With rest null no other argument is taken.
std::optional<std::vector<Flag>> ParseFlags(const std::vector<std::string>& args,
                                            std::initializer_list<std::string_view> valued,
                                            std::initializer_list<std::string_view> bare,
                                            std::vector<std::string>* rest, std::string* error);

// --profile P (1..3): that profile, 0-based; -1 when the option is not given.
std::optional<int> ProfileFlag(const std::vector<Flag>& flags, std::string* error);

// The text as one shell word: quoted when it holds anything but letters, digits and + - _ . : / # * = @ %.
std::string ShellWord(std::string_view text);

}  // namespace vornak::cli
