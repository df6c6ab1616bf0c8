#include "porthub/sim/traffic_log.h"

#include <array>

#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

namespace {

constexpr size_t kMaxTraffic = 200000;  // entries kept in memory; the log file keeps everything

constexpr std::array<TrafficDirection, 6> kDirections = {TrafficDirection::Out,    TrafficDirection::In,
                                                         TrafficDirection::Event,  TrafficDirection::Led,
                                                         TrafficDirection::Attach, TrafficDirection::Detach};

bool HasBytes(TrafficDirection d) {
    return d != TrafficDirection::Attach && d != TrafficDirection::Detach;
}

}  // namespace

std::string Hex(std::span<const uint8_t> bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (const uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::optional<std::vector<uint8_t>> Unhex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> out(hex.size() / 2);
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < out.size(); ++i) {
        const int hi = nibble(hex[2 * i]);
        const int lo = nibble(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    return out;
}

const char* DirectionName(TrafficDirection d) {
    switch (d) {
        case TrafficDirection::Out:
            return "OUT";
        case TrafficDirection::In:
            return "IN";
        case TrafficDirection::Event:
            return "EVT";
        case TrafficDirection::Led:
            return "LED";
        case TrafficDirection::Attach:
            return "ATTACH";
        case TrafficDirection::Detach:
            return "DETACH";
    }
    return "?";
}

std::string FormatTrafficLine(const TrafficEntry& e) {
    std::string line = std::to_string(e.ms) + " " + DirectionName(e.direction);
    if (HasBytes(e.direction)) line += " " + Hex(e.bytes);
    return line;
}

std::optional<TrafficEntry> ParseTrafficLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos || space > 10) return std::nullopt;
    TrafficEntry e;
    uint64_t ms = 0;
    for (const char c : line.substr(0, space)) {
        if (c < '0' || c > '9') return std::nullopt;
        ms = ms * 10 + static_cast<uint64_t>(c - '0');
    }
    if (ms > UINT32_MAX) return std::nullopt;
    e.ms = static_cast<uint32_t>(ms);
    line.remove_prefix(space + 1);
    const size_t next = line.find(' ');
    const std::string_view name = line.substr(0, next);
    bool known = false;
    for (const TrafficDirection d : kDirections) {
        if (name == DirectionName(d)) {
            e.direction = d;
            known = true;
        }
    }
    if (!known) return std::nullopt;
    if (!HasBytes(e.direction)) {
        if (next != std::string_view::npos) return std::nullopt;
        return e;
    }
    if (next == std::string_view::npos) return std::nullopt;
    auto bytes = Unhex(line.substr(next + 1));
    if (!bytes) return std::nullopt;
    e.bytes = std::move(*bytes);
    return e;
}

// ---- the simulator's side

void KeyboardSimulator::OpenTrafficLog() {
    if (config_.logFile.empty()) return;
    log_ = std::fopen(config_.logFile.string().c_str(), "a");
    if (log_ == nullptr)
        std::fprintf(stderr, "PortHubSim: %s: cannot be opened for the traffic log\n",
                     config_.logFile.string().c_str());
}

void KeyboardSimulator::CloseTrafficLog() {
    if (log_ != nullptr) std::fclose(log_);
    log_ = nullptr;
}

void KeyboardSimulator::Record(TrafficDirection direction, std::span<const uint8_t> bytes) {
    TrafficEntry e;
    e.ms = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count());
    e.direction = direction;
    e.bytes.assign(bytes.begin(), bytes.end());
    if (log_ != nullptr) {
        const std::string line = FormatTrafficLine(e) + "\n";
        std::fputs(line.c_str(), log_);
        std::fflush(log_);
    }
    if (traffic_.size() >= kMaxTraffic) traffic_.pop_front();
    traffic_.push_back(std::move(e));
}

std::vector<TrafficEntry> KeyboardSimulator::traffic() const {
    std::lock_guard lock(mutex_);
    return {traffic_.begin(), traffic_.end()};
}

std::vector<std::vector<uint8_t>> KeyboardSimulator::commandsSent() const {
    std::lock_guard lock(mutex_);
    std::vector<std::vector<uint8_t>> out;
    for (const TrafficEntry& e : traffic_)
        if (e.direction == TrafficDirection::Out) out.push_back(e.bytes);
    return out;
}

void KeyboardSimulator::ClearTraffic() {
    std::lock_guard lock(mutex_);
    traffic_.clear();
}

}  // namespace vornak::sim
