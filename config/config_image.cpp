#include "config/config_image.h"

#include <cstring>

#include "device/port_hub.h"
#include "macro/macro_record.h"
#include "platform/bytes.h"

namespace vornak {

namespace {

constexpr uint16_t kDeviceBlockMagic = 0x484B;

}  // namespace

ConfigImage ConfigImage::Default(uint8_t flag) {
    ConfigImage image;
    image.WriteFixedHeader();
    image.ResetBlock(0);
    image.RewriteHeader(0, 0, flag);
    return image;
}

std::optional<ConfigImage> ConfigImage::FromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < kConfigImageSize) return std::nullopt;
    ConfigImage image;
    std::memcpy(image.bytes_.data(), bytes.data(), kConfigImageSize);
    return image;
}

ConfigEntry ConfigImage::entry(size_t index) const {
    ConfigEntry e;
    if (index < kEntryCount) std::memcpy(&e, bytes_.data() + kEntriesOffset + index * sizeof e, sizeof e);
    return e;
}

void ConfigImage::setEntry(size_t index, const ConfigEntry& e) {
    if (index < kEntryCount) std::memcpy(bytes_.data() + kEntriesOffset + index * sizeof e, &e, sizeof e);
}

uint32_t ConfigImage::totalSize() const {
    return ReadLe32(bytes_, 8);
}
uint16_t ConfigImage::macroCount() const {
    return ReadLe16(bytes_, 14);
}
uint32_t ConfigImage::namePoolSize() const {
    return ReadLe32(bytes_, 16);
}
uint8_t ConfigImage::flag() const {
    return bytes_[30];
}

bool ConfigImage::RewriteHeader(size_t macroCount, uint64_t namePoolSize, uint8_t flag) {
    const uint64_t total = kConfigImageSize + uint64_t{kMacroRecordSize} * macroCount + namePoolSize;
    if (macroCount > kMaxMacros || total > UINT32_MAX) return false;
    WriteLe32(bytes_, 8, static_cast<uint32_t>(total));
    WriteLe16(bytes_, 14, static_cast<uint16_t>(macroCount));
    WriteLe32(bytes_, 16, static_cast<uint32_t>(namePoolSize));
    bytes_[30] = flag;
    bytes_[31] = HeaderChecksum(std::span<const uint8_t>(bytes_).first(kConfigHeaderSize));
    return true;
}

void ConfigImage::WriteFixedHeader() {
    const std::span<uint8_t> b(bytes_);
    WriteLe16(b, 0, kConfigMagic);
    WriteLe16(b, 2, kConfigHeaderSize);
    WriteLe16(b, 4, kProfileCount);
    WriteLe16(b, 6, kConfigFormatVersion);
    WriteLe16(b, 12, kEntryCount);
    WriteLe32(b, 20, 0);
    WriteLe32(b, 24, 0);
    WriteLe16(b, 28, 0);
    // Device block: kept for the file format; nothing reads it back.
    WriteLe16(b, 32, kDeviceBlockMagic);
    WriteLe16(b, 34, 32);
    WriteLe32(b, 36, 0x8020);  // 32 + 2048 x 16
    WriteLe16(b, 40, 4);       // entry blocks
    WriteLe16(b, 42, kEntriesPerBlock);
    WriteLe32(b, 44, 0);
    WriteLe16(b, 48, PORTHUB_KX1_VENDOR_ID);
    WriteLe16(b, 50, PORTHUB_KX1_PRODUCT_ID);
    WriteLe16(b, 52, 0x1C4F);
    WriteLe16(b, 54, 0x000E);
    WriteLe32(b, 56, 0);
    WriteLe32(b, 60, 0);
}

void ConfigImage::ResetBlock(int block) {
    for (int slot = 0; slot < static_cast<int>(kEntriesPerBlock); ++slot) {
        ConfigEntry e;
        if (IsGKeySlot(slot)) e.code = GKeyTag(slot);
        setEntry(block, slot, e);
    }
}

uint8_t HeaderChecksum(std::span<const uint8_t> header) {
    unsigned sum = 0;
    for (size_t i = 0; i < 31; ++i)
        sum += header[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

uint64_t TotalSizeFromHeader(std::span<const uint8_t, kConfigHeaderSize> h) {
    return kConfigImageSize + uint64_t{kMacroRecordSize} * ReadLe16(h, 14) + ReadLe32(h, 16);
}

HeaderProblem CheckHeader(std::span<const uint8_t, kConfigHeaderSize> h) {
    if (ReadLe16(h, 0) != kConfigMagic) return HeaderProblem::Magic;
    if (ReadLe16(h, 2) != kConfigHeaderSize) return HeaderProblem::HeaderSize;
    if (ReadLe16(h, 4) != kProfileCount) return HeaderProblem::ProfileCount;
    if (ReadLe16(h, 6) != kConfigFormatVersion) return HeaderProblem::Version;
    const uint32_t total = ReadLe32(h, 8);
    if (total < kConfigImageSize || total != TotalSizeFromHeader(h)) return HeaderProblem::TotalSize;
    if (ReadLe16(h, 12) != kEntryCount) return HeaderProblem::EntryCount;
    if (ReadLe16(h, 14) > kMaxMacros) return HeaderProblem::MacroCount;
    if (h[30] > 1) return HeaderProblem::Flag;
    if (h[31] != HeaderChecksum(h)) return HeaderProblem::Checksum;
    return HeaderProblem::None;
}

std::string HeaderProblemText(HeaderProblem p) {
    switch (p) {
        case HeaderProblem::None:
            return "valid";
        case HeaderProblem::Magic:
            return "not a profile file (wrong mark)";
        case HeaderProblem::HeaderSize:
            return "wrong header size";
        case HeaderProblem::ProfileCount:
            return "wrong profile count";
        case HeaderProblem::Version:
            return "unknown format version";
        case HeaderProblem::TotalSize:
            return "the total size disagrees with the macro count and name pool";
        case HeaderProblem::EntryCount:
            return "wrong entry count";
        case HeaderProblem::MacroCount:
            return "more than 100 macros";
        case HeaderProblem::Flag:
            return "unknown flag value";
        case HeaderProblem::Checksum:
            return "header checksum mismatch";
    }
    return "invalid header";
}

}  // namespace vornak
