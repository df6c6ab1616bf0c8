// The firmware: the command reports the keyboard takes on CTRL, the checks it makes, the faults a test
// injects into its answers, and the LED report.
#include <algorithm>
#include <cstring>

#include "device/device_command.h"
#include "platform/bytes.h"
#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

namespace {

namespace field = command_field;
namespace code = command_code;

constexpr uint8_t kStatusDone = 0x00;
constexpr uint8_t kLedReportId = 0x05;
constexpr size_t kLedReportSize = 2;

// The firmware's own checksum and seal, written out apart from the core's on purpose: a mistake in the core's
// encoder must show as a refused report here, not be shared by both sides.
uint16_t FirmwareChecksum(std::span<const uint8_t, kCommandSize> report) {
    uint16_t sum = 0;
    for (size_t i = 3; i < kCommandSize; ++i)
        sum = static_cast<uint16_t>(sum + report[i]);
    return sum;
}

void Seal(std::span<uint8_t, kCommandSize> report) {
    WriteLe16(report, 1, FirmwareChecksum(report));
}

}  // namespace

int KeyboardSimulator::StatusWrite(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                   const uint8_t* data, int length, int* outId) {
    std::lock_guard lock(mutex_);
    // A status write is a request of its own, answered at once: it keeps its id until cancelled.
    if (outId != nullptr) *outId = nextId_++;
    if (filter == nullptr || data == nullptr || length <= 0 || !attached_ ||
        !Answers(*filter, Collection::Led))
        return 0;
    const std::span<const uint8_t> bytes(data, static_cast<size_t>(length));
    Record(TrafficDirection::Led, bytes);
    if (bytes.size() != kLedReportSize || data[0] != kLedReportId) {
        Violation("LED report " + Hex(bytes));
        return length;
    }
    led_ = {data[0], data[1]};
    return length;
}

void KeyboardSimulator::InjectFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    if (fault.count > 0) faults_.push_back(fault);
}

void KeyboardSimulator::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void KeyboardSimulator::SetLatency(std::chrono::milliseconds latency) {
    std::lock_guard lock(mutex_);
    config_.latency = latency;
}

std::chrono::milliseconds KeyboardSimulator::latency() const {
    std::lock_guard lock(mutex_);
    return config_.latency;
}

std::filesystem::path KeyboardSimulator::logFile() const {
    std::lock_guard lock(mutex_);
    return config_.logFile;
}

void KeyboardSimulator::SetFaultModes(const FaultModes& modes) {
    std::lock_guard lock(mutex_);
    config_.modes = modes;
}

FaultModes KeyboardSimulator::faultModes() const {
    std::lock_guard lock(mutex_);
    return config_.modes;
}

std::optional<Fault> KeyboardSimulator::TakeFault(uint8_t command) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->command != 0 && it->command != command) continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        Fault f = *it;
        if (--it->count <= 0) faults_.erase(it);
        return f;
    }
    return std::nullopt;
}

int KeyboardSimulator::WriteOne(const PortHubDeviceFilter* filter, const uint8_t* data, int length) {
    if (filter == nullptr || data == nullptr || length <= 0) return 0;
    std::lock_guard lock(mutex_);
    if (!attached_ || !Answers(*filter, Collection::Ctrl)) return 0;
    const std::span<const uint8_t> bytes(data, static_cast<size_t>(length));
    Record(TrafficDirection::Out, bytes);

    CommandBytes request{};
    std::memcpy(request.data(), data, std::min(bytes.size(), request.size()));
    const uint8_t command = request[field::kCode];
    if (lastReplyAt_) gapBefore_[command] = Clock::now() - *lastReplyAt_;
    if (command == code::kBootMode) {
        // The firmware restarts into its loader and answers nothing; a restarting keyboard leaves the bus.
        if (!CheckBootRequest(bytes)) return 1;
        ++bootModeRequests_;
        if (config_.modes.bootLeaves) DetachLocked();
        return 1;
    }

    const std::optional<Fault> fault = TakeFault(command);
    const FaultKind kind = fault ? fault->kind : FaultKind::LateReply;
    if (fault && kind == FaultKind::NoReply) return 1;
    if (fault && kind == FaultKind::Detach) {
        DetachLocked();
        return 1;
    }
    // The standing modes, where no injected fault decides.
    const FaultModes& modes = config_.modes;
    const bool busyAfterWork = fault ? kind == FaultKind::BusyAfterWork
                                     : (command == code::kBegin && modes.busyBegin) ||
                                           (command == code::kWriteMacro && modes.busyMacro) ||
                                           (command == code::kEnd && modes.busyCommit);
    Clock::duration lateBy = Clock::duration::zero();
    if (fault && kind == FaultKind::LateReply) lateBy = fault->delay;
    if (!fault && command == code::kEnd && modes.lateCommit) lateBy = modes.lateCommitDelay;

    // The reply repeats the request's header; the status byte and the data follow.
    CommandBytes reply{};
    std::memcpy(reply.data(), request.data(), field::kStatus);
    reply[field::kReportId] = kCommandReportId;
    if (fault && (kind == FaultKind::StatusFF || kind == FaultKind::StatusFE)) {
        reply[field::kStatus] = kind == FaultKind::StatusFF ? kStatusRefused : kStatusBusy;
    } else if (fault && kind == FaultKind::Forgotten) {
        reply[field::kStatus] = kStatusDone;
    } else {
        bool broken = false;
        if (length != static_cast<int>(kCommandSize)) {
            Violation("report of " + std::to_string(length) + " bytes");
            broken = true;
        }
        if (request[field::kReportId] != kCommandReportId) {
            Violation("report id " + std::to_string(request[field::kReportId]));
            broken = true;
        }
        if (ReadLe16(request, field::kChecksum) != FirmwareChecksum(request)) {
            Violation("command " + std::to_string(command) + ": bad checksum");
            broken = true;
        }
        if (broken && modes.silentMalformed) return 1;
        reply[field::kStatus] = broken ? kStatusRefused : Execute(request, reply);
        if (busyAfterWork && reply[field::kStatus] == kStatusDone) reply[field::kStatus] = kStatusBusy;
    }
    if (fault && kind == FaultKind::WrongCommand) reply[field::kCode] = static_cast<uint8_t>(command ^ 0x80);
    Seal(reply);
    const auto due = Clock::now() + config_.latency + lateBy;
    Queue(due, Delivery{DeliveryKind::Reply, std::vector<uint8_t>(reply.begin(), reply.end()), 0});
    return 1;
}

bool KeyboardSimulator::CheckBootRequest(std::span<const uint8_t> report) {
    if (report.size() != kCommandSize) {
        Violation("update-mode request of " + std::to_string(report.size()) + " bytes");
        return false;
    }
    // Report id, 0xEE in bytes 3 and 4, and zeros everywhere else: no checksum in bytes 1 and 2.
    for (size_t i = 0; i < kCommandSize; ++i) {
        const uint8_t expected = i == field::kReportId                      ? kCommandReportId
                                 : i == field::kCode || i == field::kLength ? code::kBootMode
                                                                            : 0;
        if (report[i] != expected) {
            Violation("update-mode request: byte " + std::to_string(i) + " is " + Hex(report.subspan(i, 1)) +
                      ", not " + Hex(std::span(&expected, 1)));
            return false;
        }
    }
    return true;
}

uint8_t KeyboardSimulator::Execute(std::span<const uint8_t, kCommandSize> request,
                                   std::span<uint8_t, kCommandSize> reply) {
    const uint8_t command = request[field::kCode];
    const size_t length = request[field::kLength];
    const size_t offset = ReadLe16(request, field::kOffset);
    const std::span<const uint8_t> in = request.subspan(field::kData, std::min(length, kCommandDataSize));
    const std::span<uint8_t> out = reply.subspan(field::kData);
    const std::string what = "command " + std::to_string(command);

    const auto refuse = [&](const std::string& why) -> uint8_t {
        Violation(what + ": " + why);
        return kStatusRefused;
    };
    const auto inside = [&](size_t areaSize) { return offset + length <= areaSize; };
    const auto outside = [&](size_t areaSize) {
        return refuse("offset " + std::to_string(offset) + " + " + std::to_string(length) + " outside " +
                      std::to_string(areaSize) + " bytes");
    };
    // The lighting area answers zeros past its end; the other areas refuse a read that leaves them.
    const auto read = [&](std::span<const uint8_t> area, bool pastEndIsZero) -> uint8_t {
        if (length > kCommandDataSize) return refuse("length " + std::to_string(length));
        if (pastEndIsZero && config_.modes.strictReads && offset < area.size() && !inside(area.size())) {
            // Firmware that keeps to its areas refuses what the default keyboard fills with zeros.
            ++refusedReads_;
            return kStatusRefused;
        }
        if (pastEndIsZero ? offset >= area.size() : !inside(area.size())) return outside(area.size());
        const size_t n = std::min(length, area.size() - offset);
        std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
        return kStatusDone;
    };
    const auto write = [&](std::span<uint8_t> area) -> uint8_t {
        if (!inSequence_) return refuse("write outside a begin / end sequence");
        if (length > kCommandDataSize) return refuse("length " + std::to_string(length));
        if (!inside(area.size())) return outside(area.size());
        std::copy(in.begin(), in.end(), area.begin() + static_cast<std::ptrdiff_t>(offset));
        dirty_ = true;
        return kStatusDone;
    };

    switch (command) {
        case code::kBegin:
            inSequence_ = true;
            return kStatusDone;
        case code::kEnd:
            inSequence_ = false;
            SaveStateLocked(nullptr);
            return kStatusDone;
        case code::kReadSettings:
            if (length != kSettingsBlockSize)
                return refuse("settings read of " + std::to_string(length) + " bytes");
            std::copy(memory_.settings.begin(), memory_.settings.end(), out.begin());
            return kStatusDone;
        case code::kWriteSettings: {
            if (!inSequence_) return refuse("write outside a begin / end sequence");
            if (length != kSettingsBlockSize)
                return refuse("settings write of " + std::to_string(length) + " bytes");
            const uint8_t profile = in[settings_field::kActiveProfile];
            if (profile > 2) return refuse("profile " + std::to_string(profile));
            std::copy(in.begin(), in.end(), memory_.settings.begin());
            ResizeMacroArea();
            dirty_ = true;
            return kStatusDone;
        }
        case code::kReadLighting:
            return read(memory_.lighting, true);
        case code::kWriteLighting:
            return write(memory_.lighting);
        case code::kReadKeyBlock:
            return read(memory_.keyBlocks, false);
        case code::kWriteKeyBlock:
            return write(memory_.keyBlocks);
        case code::kReadMacro:
            return read(memory_.macro, false);
        case code::kWriteMacro:
            return write(memory_.macro);
        case code::kReadDefaultLayout:
            return read(memory_.defaultLayout, false);
        case code::kWriteKeyColours:
            return write(memory_.keyColours);
        default:
            return refuse("unknown command");
    }
}

}  // namespace vornak::sim
