// vornakctl's help: the whole text (--help) and the help of each command (COMMAND --help).
#pragma once

#include <string_view>

namespace vornak::cli {

extern const char* const kUsage;
// The whole text for a name that is no command.
const char* CommandHelp(std::string_view command);

}  // namespace vornak::cli
