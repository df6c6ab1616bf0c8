#include "porthub/hid/report_descriptor.h"

namespace vornak::hid {

std::optional<DescriptorLayout> ParseReportDescriptor(std::span<const uint8_t> d) {
    DescriptorLayout layout;
    struct Globals {
        uint16_t usagePage = 0;
        uint8_t reportId = 0;
    };
    Globals globals;
    std::vector<Globals> stack;
    // The first local usage since the last main item, and the open top-level collection. (Plain flags rather
    // than optionals: GCC 12 warns about the optionals' copies.)
    bool hasUsage = false;
    UsagePair firstUsage;
    bool inTop = false;
    UsagePair top;
    int depth = 0;

    size_t i = 0;
    while (i < d.size()) {
        const uint8_t prefix = d[i];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (i + 2 >= d.size()) return std::nullopt;
            i += 3 + d[i + 1];
            if (i > d.size()) return std::nullopt;
            continue;
        }
        static constexpr size_t kSizes[4] = {0, 1, 2, 4};
        const size_t size = kSizes[prefix & 3];
        if (i + 1 + size > d.size()) return std::nullopt;
        uint32_t value = 0;
        for (size_t k = 0; k < size; ++k)
            value |= static_cast<uint32_t>(d[i + 1 + k]) << (8 * k);
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;
        i += 1 + size;

        if (type == 1) {  // global
            if (tag == 0) globals.usagePage = static_cast<uint16_t>(value);
            if (tag == 8) {
                globals.reportId = static_cast<uint8_t>(value);
                if (depth > 0 && inTop) layout.reportIds[globals.reportId] = top;
            }
            if (tag == 10) stack.push_back(globals);
            if (tag == 11) {
                if (stack.empty()) return std::nullopt;
                globals = stack.back();
                stack.pop_back();
            }
        } else if (type == 2) {  // local
            if (tag == 0 && !hasUsage) {
                firstUsage = size == 4
                                 ? UsagePair{static_cast<uint16_t>(value >> 16), static_cast<uint16_t>(value)}
                                 : UsagePair{globals.usagePage, static_cast<uint16_t>(value)};
                hasUsage = true;
            }
        } else if (type == 0) {  // main
            if (tag == 10) {     // collection
                if (depth == 0) {
                    top = hasUsage ? firstUsage : UsagePair{globals.usagePage, 0};
                    inTop = true;
                    layout.collections.push_back(top);
                }
                ++depth;
            } else if (tag == 8 || tag == 9 || tag == 11) {  // input, output, feature
                // The report id still in force from an earlier collection also names this one's reports.
                if (depth > 0 && inTop && globals.reportId != 0)
                    layout.reportIds.emplace(globals.reportId, top);
            } else if (tag == 12) {  // end collection
                if (depth == 0) return std::nullopt;
                if (--depth == 0) inTop = false;
            }
            hasUsage = false;
        }
    }
    return layout;
}

}  // namespace vornak::hid
