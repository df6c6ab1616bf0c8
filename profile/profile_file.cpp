#include "profile/profile_file.h"

#include <cstring>

#include "platform/bytes.h"

namespace vornak {

namespace {

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
}

}  // namespace

std::optional<EditCopy> ParseProfileFile(std::span<const uint8_t> bytes, std::string* error) {
    if (bytes.size() < kConfigImageSize) {
        Fail(error, "the file is shorter than a configuration (" + std::to_string(bytes.size()) + " bytes)");
        return std::nullopt;
    }
    const std::span<const uint8_t, kConfigHeaderSize> header(bytes.data(), kConfigHeaderSize);
    if (const HeaderProblem p = CheckHeader(header); p != HeaderProblem::None) {
        Fail(error, HeaderProblemText(p));
        return std::nullopt;
    }
    const uint64_t total = TotalSizeFromHeader(header);
    if (bytes.size() < total) {
        Fail(error, "the file is cut short: its header counts " + std::to_string(total) + " bytes, it has " +
                        std::to_string(bytes.size()));
        return std::nullopt;
    }
    EditCopy copy;
    copy.image = *ConfigImage::FromBytes(bytes);
    const size_t macroCount = ReadLe16(bytes, 14);
    const size_t poolSize = ReadLe32(bytes, 16);
    copy.macros.resize(macroCount);
    for (size_t i = 0; i < macroCount; ++i) {
        std::memcpy(&copy.macros[i], bytes.data() + kConfigImageSize + i * kMacroRecordSize,
                    kMacroRecordSize);
        if (copy.macros[i].actionCount > kMaxMacroActions) {
            Fail(error, "macro " + std::to_string(i + 1) + " claims " +
                            std::to_string(copy.macros[i].actionCount) + " actions (at most 2000)");
            return std::nullopt;
        }
    }
    const std::span<const uint8_t> pool =
        bytes.subspan(kConfigImageSize + macroCount * kMacroRecordSize, poolSize);
    for (size_t i = 0; i < kEntryCount; ++i) {
        const ConfigEntry e = copy.image.entry(i);
        if (e.kind != 3 && e.kind != 6) continue;
        const size_t start = e.value & ~uint32_t{1};
        std::u16string name;
        bool terminated = false;
        for (size_t at = start; at + 1 < pool.size(); at += 2) {
            const char16_t c = static_cast<char16_t>(ReadLe16(pool, at));
            if (c == u'\0') {
                terminated = true;
                break;
            }
            name.push_back(c);
        }
        if (!terminated) {
            Fail(error, "the name of entry " + std::to_string(i) + " does not lie inside the name pool");
            return std::nullopt;
        }
        copy.names.Set(i, std::move(name));
    }
    return copy;
}

std::optional<std::vector<uint8_t>> SerializeProfileFile(EditCopy& copy, std::string* error) {
    if (copy.macros.size() > kMaxMacros) {
        Fail(error, "more than 100 macros");
        return std::nullopt;
    }
    std::vector<uint8_t> pool = LayOutNamePool(copy.image, copy.names);
    if (!copy.image.RewriteHeader(copy.macros.size(), pool.size(), 0)) {
        Fail(error, "the names are too large for a profile file");
        return std::nullopt;
    }
    std::vector<uint8_t> out;
    out.reserve(copy.image.totalSize());
    const auto image = copy.image.bytes();
    out.insert(out.end(), image.begin(), image.end());
    const auto* macros = reinterpret_cast<const uint8_t*>(copy.macros.data());
    out.insert(out.end(), macros, macros + copy.macros.size() * kMacroRecordSize);
    out.insert(out.end(), pool.begin(), pool.end());
    return out;
}

}  // namespace vornak
