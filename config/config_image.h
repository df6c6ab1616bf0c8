// The configuration image: everything the user sets for keys, as one 32832-byte record (header, device block,
// 2048 entries in four blocks of 512). The same bytes open every profile file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_entry.h"

namespace vornak {

inline constexpr size_t kConfigHeaderSize = 32;
inline constexpr size_t kDeviceBlockSize = 32;
inline constexpr size_t kEntriesOffset = 64;
inline constexpr size_t kEntryCount = 2048;
inline constexpr size_t kEntriesPerBlock = 512;
inline constexpr size_t kConfigImageSize = kEntriesOffset + kEntryCount * sizeof(ConfigEntry);  // 32832
static_assert(kConfigImageSize == 32832);
inline constexpr int kProfileCount = 3;  // block 3 is carried but not used

inline constexpr uint16_t kConfigMagic = 0x4446;
inline constexpr uint16_t kConfigFormatVersion = 1;

// Entry slots of the nine G keys in a block: 256 + i on layer A, 265 + i on layer B.
inline constexpr int kGKeySlotLayerA = 256;
inline constexpr int kGKeySlotLayerB = 265;
inline constexpr int kGKeyCount = 9;

constexpr int GKeySlot(int index, bool layerB) {
    return (layerB ? kGKeySlotLayerB : kGKeySlotLayerA) + index;
}
constexpr bool IsGKeySlot(int slot) {
    return slot >= kGKeySlotLayerA && slot < kGKeySlotLayerB + kGKeyCount;
}
// The fixed tag in the code field of a G key's entry: 0x0301..0x0309 on layer A, 0x1301..0x1309 on layer B.
constexpr uint16_t GKeyTag(int slot) {
    return static_cast<uint16_t>(slot < kGKeySlotLayerB ? 0x0301 + (slot - kGKeySlotLayerA)
                                                        : 0x1301 + (slot - kGKeySlotLayerB));
}
constexpr size_t EntryIndex(int profile, int slot) {
    return static_cast<size_t>(profile) * kEntriesPerBlock + static_cast<size_t>(slot);
}

// Why a header is not one the program wrote.
enum class HeaderProblem {
    None,
    Magic,
    HeaderSize,
    ProfileCount,
    Version,
    TotalSize,
    EntryCount,
    MacroCount,
    Flag,
    Checksum
};

class ConfigImage {
  public:
    // All zero: no header, no entries.
    ConfigImage() : bytes_(kConfigImageSize, 0) {}
    // A fresh image: header (no macros, no names, the given flag), the device block, all entries zero except
    // the G-key tags of block 0.
    static ConfigImage Default(uint8_t flag = 0);
    // The first kConfigImageSize bytes of a buffer; nothing when it is shorter.
    static std::optional<ConfigImage> FromBytes(std::span<const uint8_t> bytes);

    std::span<const uint8_t> bytes() const { return bytes_; }
    std::span<uint8_t> bytes() { return bytes_; }

    ConfigEntry entry(size_t index) const;
    void setEntry(size_t index, const ConfigEntry& e);
    ConfigEntry entry(int profile, int slot) const { return entry(EntryIndex(profile, slot)); }
    void setEntry(int profile, int slot, const ConfigEntry& e) { setEntry(EntryIndex(profile, slot), e); }

    uint32_t totalSize() const;
    uint16_t macroCount() const;
    uint32_t namePoolSize() const;
    uint8_t flag() const;

    // Rewrites the header fields that change (total, macro count, name pool size, flag) and the checksum.
    // Fails, changing nothing, when the total would not fit its 32-bit field.
    bool RewriteHeader(size_t macroCount, uint64_t namePoolSize, uint8_t flag);

    // Writes the device block and the fixed header fields of a fresh image.
    void WriteFixedHeader();
    // Zero entries, and the G-key tags in the G-key slots of the block.
    void ResetBlock(int block);

  private:
    std::vector<uint8_t> bytes_;
};

// Sum of bytes 0..30, modulo 256.
uint8_t HeaderChecksum(std::span<const uint8_t> header);
// Checks a header in the order the fields lie; None when every field is as the program writes it.
HeaderProblem CheckHeader(std::span<const uint8_t, kConfigHeaderSize> header);
std::string HeaderProblemText(HeaderProblem problem);
// 32832 + 16512 x macro count + name pool size, from the header's own fields.
uint64_t TotalSizeFromHeader(std::span<const uint8_t, kConfigHeaderSize> header);

}  // namespace vornak
