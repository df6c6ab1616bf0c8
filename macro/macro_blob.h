// The macro blob: the macro list in the compact form the keyboard keeps in its macro memory.
//   u16 magic 0x55AA, u16 total size, u16 count n, u16 names included, 8 reserved bytes,
//   n x u16 offset of each macro from the start of the blob, then the macros back to back:
//   u16 action count a, u8 cycles, u8 name length (units; 0 without names), a x (u16 w0, u16 w1), the name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "macro/macro_record.h"
#include "texts/language_texts.h"

namespace vornak {

inline constexpr uint16_t kMacroBlobMagic = 0x55AA;
inline constexpr size_t kMacroBlobHeaderSize = 16;
// Sizes live in a 16-bit field of the blob header.
inline constexpr uint32_t kMacroBlobMaxSize = 0xFFFF;

struct MacroBlobSizes {
    uint32_t withNames = 0;
    uint32_t withoutNames = 0;
};

MacroBlobSizes ComputeMacroBlobSizes(std::span<const MacroRecord> macros);

// Nothing when the blob would not fit its 16-bit size field.
std::optional<std::vector<uint8_t>> EncodeMacroBlob(std::span<const MacroRecord> macros, bool withNames);

// One action as the keyboard keeps it.
struct BlobAction {
    uint16_t w0 = 0;
    uint16_t w1 = 0;
};
BlobAction EncodeMacroAction(const MacroAction& action);
MacroAction DecodeMacroAction(BlobAction action);

// The macros of a blob read from the keyboard: macro i gets id i + 1, its cycles, and its name, or the
// MACRO_NEW_PREFIX text followed by i + 1 when the blob carries none. Everything is checked against the bytes
// given; an inconsistent blob gives nothing and says why.
std::optional<std::vector<MacroRecord>> DecodeMacroBlob(std::span<const uint8_t> blob,
                                                        const LanguageTexts& texts,
                                                        std::string* error = nullptr);

}  // namespace vornak
