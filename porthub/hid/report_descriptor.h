// Which top-level collection each report id of a HID node belongs to, read from the node's report descriptor:
// collections that share a node are told apart by their report ids.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace vornak::hid {

struct UsagePair {
    uint16_t page = 0;
    uint16_t usage = 0;
    friend bool operator==(const UsagePair&, const UsagePair&) = default;
    friend auto operator<=>(const UsagePair&, const UsagePair&) = default;
};

struct DescriptorLayout {
    std::vector<UsagePair> collections;      // top-level application collections, in order
    std::map<uint8_t, UsagePair> reportIds;  // report id -> its collection
    bool usesReportIds() const { return !reportIds.empty(); }
};

// Nothing for a descriptor that runs past its end or closes more collections than it opened.
std::optional<DescriptorLayout> ParseReportDescriptor(std::span<const uint8_t> descriptor);

}  // namespace vornak::hid
