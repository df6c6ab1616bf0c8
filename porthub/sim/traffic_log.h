// What crossed the simulated keyboard's wire, kept in memory for tests and appended to the traffic log.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vornak::sim {

enum class TrafficDirection { Out, In, Event, Led, Attach, Detach };

struct TrafficEntry {
    uint32_t ms = 0;  // since the simulator started
    TrafficDirection direction = TrafficDirection::Out;
    std::vector<uint8_t> bytes;

    friend bool operator==(const TrafficEntry&, const TrafficEntry&) = default;
};

// "<ms> <DIR> <hex>": DIR is OUT, IN, EVT, LED, ATTACH or DETACH (the last two without hex); hex lower case.
std::string FormatTrafficLine(const TrafficEntry& entry);
// The way back, for tools and tests that read a log; nothing for a line that is not one of ours.
std::optional<TrafficEntry> ParseTrafficLine(std::string_view line);
const char* DirectionName(TrafficDirection direction);

// Lower-case hex without separators, and the way back (either case; nothing for an odd length or a
// non-digit).
std::string Hex(std::span<const uint8_t> bytes);
std::optional<std::vector<uint8_t>> Unhex(std::string_view hex);

}  // namespace vornak::sim
