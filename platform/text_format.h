// printf-style formatting of the program's UTF-16 texts. Language texts carry printf formats ("%d", "%s",
// "%03x") that the user may edit, so a malformed or mismatched format must never read past the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vornak {

using FormatArg = std::variant<int64_t, std::u16string_view>;

// Supports %d %i %u %x %X %c %s %S %ls with the flags '-' and '0', a width and, for %s, a precision; "%%" is
// a percent sign. A conversion without a matching argument (or of the wrong type) is written out literally.
std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args = {});

}  // namespace vornak
