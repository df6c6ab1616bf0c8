// A macro table read from the keyboard is untrusted: decoding must never read past the bytes given, and what
// it accepts must encode again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "macro/macro_blob.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const vornak::LanguageTexts texts;
    auto macros = vornak::DecodeMacroBlob(std::span<const uint8_t>(data, size), texts);
    if (!macros) return 0;
    if (macros->size() > vornak::kMaxMacros) std::abort();
    (void)vornak::EncodeMacroBlob(*macros, true);
    return 0;
}
