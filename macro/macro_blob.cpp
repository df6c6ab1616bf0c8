#include "macro/macro_blob.h"

#include <algorithm>

#include "keyboard/key_table.h"
#include "platform/bytes.h"
#include "platform/text_format.h"

namespace vornak {

namespace {

constexpr uint16_t kPressBit = 0x8000;
constexpr uint16_t kDelayStepsMask = 0x0FFF;

uint8_t UsageType(uint8_t page) {
    switch (page) {
        case 7:
            return 2;
        case 12:
            return 3;
        case 1:
            return 4;
        default:
            return 0;
    }
}

size_t MacroBytes(const MacroRecord& m, bool withNames) {
    return 4 + 4 * m.ActionCount() + (withNames ? 2 * m.Name().size() : 0);
}

void Fail(std::string* error, const std::string& why) {
    if (error != nullptr) *error = "macro memory: " + why;
}

}  // namespace

MacroBlobSizes ComputeMacroBlobSizes(std::span<const MacroRecord> macros) {
    // 32 bits: a hundred full macros (16 + 200 + 100 x 8504) are far beyond the 16-bit field.
    uint32_t without = static_cast<uint32_t>(kMacroBlobHeaderSize + 2 * macros.size());
    uint32_t with = without;
    for (const auto& m : macros) {
        without += static_cast<uint32_t>(MacroBytes(m, false));
        with += static_cast<uint32_t>(MacroBytes(m, true));
    }
    return {with, without};
}

BlobAction EncodeMacroAction(const MacroAction& a) {
    const HidUsage usage = KeyCodeToHidUsage(a.keyCode);
    // A delay beyond 12 bits of 10 ms steps is held at the longest the keyboard can wait, not wrapped.
    const uint32_t steps = std::min<uint32_t>(a.delay / 10, kDelayStepsMask);
    BlobAction out;
    out.w0 = static_cast<uint16_t>(steps | (UsageType(usage.page) << 12) | (a.release == 1 ? 0 : kPressBit));
    if (usage.page == 7) {
        const uint8_t bit = KeyCodeToModifierBit(a.keyCode);
        out.w1 = bit != 0 ? static_cast<uint16_t>(0x01 | (bit << 8))
                          : static_cast<uint16_t>(0x02 | (usage.usage << 8));
    } else if (usage.page == 12 || usage.page == 1) {
        out.w1 = usage.usage;
    }
    return out;
}

MacroAction DecodeMacroAction(BlobAction b) {
    MacroAction a;
    a.delay = static_cast<uint32_t>(b.w0 & kDelayStepsMask) * 10;
    a.release = (b.w0 & kPressBit) ? 0 : 1;
    const uint8_t type = static_cast<uint8_t>((b.w0 >> 12) & 0x7);
    a.keyCode =
        HardwareCodeToKeyCode({type, static_cast<uint8_t>(b.w1 & 0xFF), static_cast<uint8_t>(b.w1 >> 8)});
    return a;
}

std::optional<std::vector<uint8_t>> EncodeMacroBlob(std::span<const MacroRecord> macros, bool withNames) {
    const MacroBlobSizes sizes = ComputeMacroBlobSizes(macros);
    const uint32_t total = withNames ? sizes.withNames : sizes.withoutNames;
    if (total > kMacroBlobMaxSize || macros.size() > kMaxMacros) return std::nullopt;
    std::vector<uint8_t> blob(total, 0);
    WriteLe16(blob, 0, kMacroBlobMagic);
    WriteLe16(blob, 2, static_cast<uint16_t>(total));
    WriteLe16(blob, 4, static_cast<uint16_t>(macros.size()));
    WriteLe16(blob, 6, withNames ? 1 : 0);
    size_t at = kMacroBlobHeaderSize + 2 * macros.size();
    for (size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& m = macros[i];
        WriteLe16(blob, kMacroBlobHeaderSize + 2 * i, static_cast<uint16_t>(at));
        const std::u16string_view name = withNames ? m.Name() : std::u16string_view{};
        WriteLe16(blob, at, static_cast<uint16_t>(m.ActionCount()));
        blob[at + 2] = m.cycles;
        blob[at + 3] = static_cast<uint8_t>(name.size());
        at += 4;
        for (const MacroAction& a : m.Actions()) {
            const BlobAction b = EncodeMacroAction(a);
            WriteLe16(blob, at, b.w0);
            WriteLe16(blob, at + 2, b.w1);
            at += 4;
        }
        for (char16_t c : name) {
            WriteLe16(blob, at, c);
            at += 2;
        }
    }
    return blob;
}

std::optional<std::vector<MacroRecord>> DecodeMacroBlob(std::span<const uint8_t> blob,
                                                        const LanguageTexts& texts, std::string* error) {
    if (blob.size() < kMacroBlobHeaderSize) {
        Fail(error, "shorter than its header");
        return std::nullopt;
    }
    if (ReadLe16(blob, 0) != kMacroBlobMagic) {
        Fail(error, "no macro table (wrong mark)");
        return std::nullopt;
    }
    const size_t total = ReadLe16(blob, 2);
    const size_t count = ReadLe16(blob, 4);
    if (total > blob.size() || total < kMacroBlobHeaderSize) {
        Fail(error, "its size field says " + std::to_string(total) + " bytes, " +
                        std::to_string(blob.size()) + " were read");
        return std::nullopt;
    }
    if (count > kMaxMacros) {
        Fail(error, std::to_string(count) + " macros, at most " + std::to_string(kMaxMacros) + " exist");
        return std::nullopt;
    }
    const size_t tableEnd = kMacroBlobHeaderSize + 2 * count;
    if (tableEnd > total) {
        Fail(error, "the offset table runs past the end");
        return std::nullopt;
    }
    const std::span<const uint8_t> bytes = blob.first(total);
    std::vector<MacroRecord> macros(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = ReadLe16(bytes, kMacroBlobHeaderSize + 2 * i);
        if (at < tableEnd || at + 4 > total) {
            Fail(error, "macro " + std::to_string(i + 1) + " starts outside the table");
            return std::nullopt;
        }
        const size_t actions = ReadLe16(bytes, at);
        const size_t nameUnits = bytes[at + 3];
        if (actions > kMaxMacroActions) {
            Fail(error, "macro " + std::to_string(i + 1) + " has " + std::to_string(actions) + " actions");
            return std::nullopt;
        }
        if (at + 4 + 4 * actions + 2 * nameUnits > total) {
            Fail(error, "macro " + std::to_string(i + 1) + " runs past the end");
            return std::nullopt;
        }
        MacroRecord& m = macros[i];
        m.id = static_cast<uint16_t>(i + 1);
        m.cycles = bytes[at + 2];
        m.isNew = 0;
        m.actionCount = static_cast<uint16_t>(actions);
        size_t p = at + 4;
        for (size_t k = 0; k < actions; ++k, p += 4) {
            m.actions[k] = DecodeMacroAction({ReadLe16(bytes, p), ReadLe16(bytes, p + 2)});
        }
        if (nameUnits > 0) {
            std::u16string name;
            for (size_t k = 0; k < nameUnits; ++k, p += 2)
                name.push_back(static_cast<char16_t>(ReadLe16(bytes, p)));
            m.SetName(name);
        } else {
            m.SetName(FormatText(u"%s%d", {std::u16string_view(texts[TextId::MACRO_NEW_PREFIX]),
                                           static_cast<int64_t>(i + 1)}));
        }
    }
    return macros;
}

}  // namespace vornak
