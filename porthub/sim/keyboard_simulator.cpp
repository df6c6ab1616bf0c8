#include "porthub/sim/keyboard_simulator.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "keyboard/key_table.h"
#include "platform/bytes.h"
#include "platform/file_io.h"

namespace vornak::sim {

namespace {

constexpr uint16_t kVendor = 0x0C45;
constexpr uint16_t kProduct = 0x5004;

struct Collection {
    uint16_t page;
    uint16_t usage;
};
constexpr Collection kLed{0x0008, 0x0089};
constexpr Collection kCons{0x000C, 0x0001};
constexpr Collection kCtrl{0xFF1C, 0x0092};

bool Matches(const PortHubDeviceFilter& f, Collection c) {
    if ((f.matchMask & 1) && f.vendorId != kVendor) return false;
    if ((f.matchMask & 2) && f.productId != kProduct) return false;
    if ((f.matchMask & 4) && f.usagePage != c.page) return false;
    if ((f.matchMask & 8) && f.usage != c.usage) return false;
    return true;
}

bool MatchesAny(const PortHubDeviceFilter& f) {
    return Matches(f, kLed) || Matches(f, kCons) || Matches(f, kCtrl);
}

// The default lighting block of every profile: effect 1, brightness 4, speed 1, red, colourful.
constexpr std::array<uint8_t, kLightingBlockSize> kFactoryLighting = {
    0x01, 0x04, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

constexpr size_t kReportSize = 64;
constexpr size_t kEventReportSize = 8;
constexpr size_t kMaxTraffic = 200000;

uint16_t EventCode(SimEvent event) {
    switch (event) {
        case SimEvent::LayerSwitch:
            return 0x02FF;
        case SimEvent::SettingsChanged:
            return 0x0401;
        case SimEvent::MacroStart:
            return 0x1811;
        case SimEvent::MacroStop:
            return 0x1810;
        default:
            return 0;
    }
}

void Seal(std::span<uint8_t, 64> report) {
    uint16_t sum = 0;
    for (size_t i = 3; i < report.size(); ++i)
        sum = static_cast<uint16_t>(sum + report[i]);
    WriteLe16(report, 1, sum);
}

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

constexpr std::string_view kStateMagic = "VORNAK-SIM-STATE 1";

}  // namespace

KeyBlock DefaultLayoutFromKeyTable() {
    KeyBlock layout{};
    for (int slot = 0; slot < 256; ++slot) {
        const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
        const std::optional<uint8_t> position = KeyMatrixPosition(code);
        if (!position || *position >= kKeyBlockSize / 3) continue;
        uint8_t* at = layout.data() + 3 * *position;
        if (const uint8_t bit = KeyCodeToModifierBit(code); bit != 0) {
            at[0] = 0x02;
            at[1] = 0x01;
            at[2] = bit;
        } else if (const HidUsage usage = KeyCodeToHidUsage(code); usage.page == 7) {
            at[0] = 0x02;
            at[1] = 0x02;
            at[2] = static_cast<uint8_t>(usage.usage);
        }
    }
    return layout;
}

SimMemory SimMemory::Factory() {
    SimMemory m;
    m.settings[kSettingsProfile] = 0;
    m.settings[kSettingsMacroUnits] = kDefaultMacroUnits;
    for (uint8_t e = 1; e <= 18; ++e)
        m.settings[kSettingsEffects + e - 1] = e;
    m.settings[kSettingsEffects + 18] = 20;
    for (size_t p = 0; p < 3; ++p)
        std::copy(kFactoryLighting.begin(), kFactoryLighting.end(),
                  m.lighting.begin() + p * kLightingBlockSize);
    m.defaultLayout = DefaultLayoutFromKeyTable();
    for (size_t p = 0; p < 3; ++p)
        std::copy(m.defaultLayout.begin(), m.defaultLayout.end(), m.keyBlocks.begin() + p * kKeyBlockSize);
    m.macro.assign(kDefaultMacroUnits * kMacroUnitSize, 0);
    return m;
}

std::string FormatState(const SimMemory& m) {
    std::string s(kStateMagic);
    s += "\nsettings " + Hex(m.settings);
    s += "\nlighting " + Hex(m.lighting);
    s += "\nkeyblocks " + Hex(m.keyBlocks);
    s += "\ndefault " + Hex(m.defaultLayout);
    s += "\nmacro " + Hex(m.macro);
    s += "\ncolours " + Hex(m.keyColours);
    s += "\n";
    return s;
}

std::optional<SimMemory> ParseState(std::string_view text, std::string* error) {
    const auto fail = [&](std::string why) -> std::optional<SimMemory> {
        if (error != nullptr) *error = std::move(why);
        return std::nullopt;
    };
    SimMemory m = SimMemory::Factory();
    bool magic = false;
    int seen = 0;
    size_t lineNo = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (!magic) {
            if (line != kStateMagic) return fail("line 1 is not \"" + std::string(kStateMagic) + "\"");
            magic = true;
            continue;
        }
        const size_t space = line.find(' ');
        const std::string_view name = line.substr(0, space);
        const auto bytes =
            Unhex(space == std::string_view::npos ? std::string_view{} : line.substr(space + 1));
        if (!bytes) return fail("line " + std::to_string(lineNo) + ": bad hex");
        const auto take = [&](std::span<uint8_t> area) {
            if (bytes->size() != area.size()) return false;
            std::copy(bytes->begin(), bytes->end(), area.begin());
            ++seen;
            return true;
        };
        bool ok;
        if (name == "settings")
            ok = take(m.settings);
        else if (name == "lighting")
            ok = take(m.lighting);
        else if (name == "keyblocks")
            ok = take(m.keyBlocks);
        else if (name == "default")
            ok = take(m.defaultLayout);
        else if (name == "colours")
            ok = take(m.keyColours);
        else if (name == "macro") {
            m.macro = *bytes;
            ok = true;
            ++seen;
        } else {
            return fail("line " + std::to_string(lineNo) + ": unknown area \"" + std::string(name) + "\"");
        }
        if (!ok)
            return fail("line " + std::to_string(lineNo) + ": wrong size of area \"" + std::string(name) +
                        "\"");
    }
    if (!magic) return fail("empty file");
    if (seen != 6) return fail("an area is missing");
    if (m.macro.size() != m.settings[kSettingsMacroUnits] * kMacroUnitSize)
        return fail("the macro area does not match settings byte 11");
    return m;
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
    if (e.direction != TrafficDirection::Attach && e.direction != TrafficDirection::Detach)
        line += " " + Hex(e.bytes);
    return line;
}

// ---- life cycle

KeyboardSimulator::KeyboardSimulator(SimConfig config) : config_(std::move(config)) {
    memory_ = config_.memory;
    attached_ = config_.attached;
    if (!config_.stateFile.empty() && std::filesystem::exists(config_.stateFile)) {
        std::string error;
        const auto bytes = ReadWholeFile(config_.stateFile, &error, 16 << 20);
        std::optional<SimMemory> loaded;
        if (bytes)
            loaded = ParseState(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                                &error);
        if (loaded) {
            memory_ = *loaded;
        } else {
            // Keep the file for the user to look at rather than overwrite it with the defaults.
            stateLoadFailed_ = true;
            std::fprintf(stderr,
                         "PortHubSim: %s: %s; starting from the factory memory, the file is left as it is\n",
                         config_.stateFile.string().c_str(), error.c_str());
        }
    }
    ResizeMacroArea();
    if (!config_.logFile.empty()) {
        log_ = std::fopen(config_.logFile.string().c_str(), "a");
        if (log_ == nullptr)
            std::fprintf(stderr, "PortHubSim: %s: cannot be opened for the traffic log\n",
                         config_.logFile.string().c_str());
    }
    deliveryThread_ = std::thread([this] { DeliveryLoop(); });
}

KeyboardSimulator::~KeyboardSimulator() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        SaveStateLocked(nullptr);
    }
    cv_.notify_all();
    deliveryThread_.join();
    if (log_ != nullptr) std::fclose(log_);
}

bool KeyboardSimulator::SaveState(std::string* error) {
    std::lock_guard lock(mutex_);
    return SaveStateLocked(error);
}

bool KeyboardSimulator::SaveStateLocked(std::string* error) {
    if (config_.stateFile.empty() || stateLoadFailed_ || !dirty_) return true;
    const std::string text = FormatState(memory_);
    std::string why;
    if (WriteFileAtomic(config_.stateFile,
                        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), &why))
        return true;
    if (error != nullptr) *error = why;
    std::fprintf(stderr, "PortHubSim: %s\n", why.c_str());
    return false;
}

void KeyboardSimulator::ResizeMacroArea() {
    memory_.macro.resize(memory_.settings[kSettingsMacroUnits] * kMacroUnitSize, 0);
}

// ---- traffic, violations, delivery

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

void KeyboardSimulator::Violation(std::string reason) {
    ++violations_;
    if (violationReasons_.size() < 1000) violationReasons_.push_back(std::move(reason));
}

void KeyboardSimulator::Queue(Clock::time_point due, Delivery delivery) {
    queue_.emplace(due, std::move(delivery));
    cv_.notify_all();
}

void KeyboardSimulator::DeliveryLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopping_) return;
        if (queue_.empty()) {
            cv_.wait(lock);
            continue;
        }
        const auto due = queue_.begin()->first;
        if (Clock::now() < due) {
            cv_.wait_until(lock, due);
            continue;
        }
        Delivery d = std::move(queue_.begin()->second);
        queue_.erase(queue_.begin());

        std::vector<Registration> targets;
        for (const auto& [id, r] : registrations_) {
            if (r.callback == nullptr) continue;
            const bool wanted = d.kind == DeliveryKind::Reply   ? Matches(r.filter, kCtrl)
                                : d.kind == DeliveryKind::Event ? Matches(r.filter, kCons)
                                                                : MatchesAny(r.filter);
            if (wanted) targets.push_back(r);
        }
        if (d.kind == DeliveryKind::Reply) Record(TrafficDirection::In, d.bytes);
        if (d.kind == DeliveryKind::Event) Record(TrafficDirection::Event, d.bytes);
        delivering_ = true;
        lock.unlock();
        for (const Registration& r : targets) {
            PortHubReport report{};
            report.bytes = d.bytes.data();
            PortHubRequest request{};
            request.tag = r.tag;
            PortHubStatusEvent event{};
            event.request = &request;
            if (d.kind == DeliveryKind::DeviceChange) {
                event.type = PORTHUB_EVENT_DEVICE_CHANGE;
                request.length = static_cast<uint32_t>(d.count);
            } else {
                event.type = PORTHUB_EVENT_DATA;
                request.length = static_cast<uint32_t>(d.bytes.size());
                request.data = d.bytes.data();
                request.report = &report;
            }
            r.callback(&event);
        }
        lock.lock();
        delivering_ = false;
        cv_.notify_all();
    }
}

void KeyboardSimulator::WaitUntilDelivered() const {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return stopping_ || (queue_.empty() && !delivering_); });
}

// ---- the contract

int KeyboardSimulator::GetDeviceCount(const PortHubDeviceFilter* filter) const {
    if (filter == nullptr) return 0;
    std::lock_guard lock(mutex_);
    return attached_ && MatchesAny(*filter) ? 1 : 0;
}

int KeyboardSimulator::DeleteRequest(int id) {
    std::lock_guard lock(mutex_);
    registrations_.erase(id);
    return 1;
}

int KeyboardSimulator::AsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 int* outId) {
    if (filter == nullptr) return 0;
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    registrations_[id] = Registration{*filter, callback, tag};
    if (outId != nullptr) *outId = id;
    return 1;
}

int KeyboardSimulator::StatusWrite(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t,
                                   const uint8_t* data, int length, int* outId) {
    std::lock_guard lock(mutex_);
    // A status write is a request of its own, answered at once: it keeps its id until cancelled.
    if (outId != nullptr) *outId = nextId_++;
    if (filter == nullptr || data == nullptr || length <= 0 || !attached_ || !Matches(*filter, kLed))
        return 0;
    const std::span<const uint8_t> bytes(data, static_cast<size_t>(length));
    Record(TrafficDirection::Led, bytes);
    if (length != 2 || data[0] != 0x05) {
        Violation("LED report " + Hex(bytes));
        return length;
    }
    led_ = {data[0], data[1]};
    return length;
}

std::optional<Fault> KeyboardSimulator::TakeFault(uint8_t code) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->command != 0 && it->command != code) continue;
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
    if (!attached_ || !Matches(*filter, kCtrl)) return 0;
    const std::span<const uint8_t> bytes(data, static_cast<size_t>(length));
    Record(TrafficDirection::Out, bytes);

    std::array<uint8_t, kReportSize> request{};
    std::memcpy(request.data(), data, std::min(bytes.size(), request.size()));
    const uint8_t code = request[3];
    if (code == 0xEE) {
        // Boot mode: the firmware restarts into its loader and answers nothing.
        if (request[4] != 0xEE) Violation("boot request without 0xEE in byte 4");
        ++bootModeRequests_;
        return 1;
    }

    const std::optional<Fault> fault = TakeFault(code);
    const FaultKind kind = fault ? fault->kind : FaultKind::LateReply;
    if (fault && kind == FaultKind::NoReply) return 1;
    if (fault && kind == FaultKind::Detach) {
        DetachLocked();
        return 1;
    }

    std::array<uint8_t, kReportSize> reply{};
    std::memcpy(reply.data(), request.data(), 7);
    reply[0] = 0x04;
    if (fault && (kind == FaultKind::StatusFF || kind == FaultKind::StatusFE)) {
        reply[7] = kind == FaultKind::StatusFF ? 0xFF : 0xFE;
    } else {
        bool broken = false;
        if (length != static_cast<int>(kReportSize)) {
            Violation("report of " + std::to_string(length) + " bytes");
            broken = true;
        }
        if (request[0] != 0x04) {
            Violation("report id " + std::to_string(request[0]));
            broken = true;
        }
        uint16_t sum = 0;
        for (size_t i = 3; i < kReportSize; ++i)
            sum = static_cast<uint16_t>(sum + request[i]);
        if (ReadLe16(request, 1) != sum) {
            Violation("command " + std::to_string(code) + ": bad checksum");
            broken = true;
        }
        reply[7] = broken ? 0xFF : Execute(request, reply);
    }
    if (fault && kind == FaultKind::WrongCommand) reply[3] = static_cast<uint8_t>(code ^ 0x80);
    Seal(reply);
    auto due = Clock::now() + config_.latency;
    if (fault && kind == FaultKind::LateReply) due += fault->delay;
    Queue(due, Delivery{DeliveryKind::Reply, std::vector<uint8_t>(reply.begin(), reply.end()), 0});
    return 1;
}

uint8_t KeyboardSimulator::Execute(std::span<const uint8_t, 64> request, std::span<uint8_t, 64> reply) {
    const uint8_t code = request[3];
    const size_t length = request[4];
    const size_t offset = ReadLe16(request, 5);
    const std::span<const uint8_t> in = request.subspan(8, std::min<size_t>(length, 56));
    const std::span<uint8_t> out = reply.subspan(8);
    const std::string what = "command " + std::to_string(code);

    const auto refuse = [&](const std::string& why) -> uint8_t {
        Violation(what + ": " + why);
        return 0xFF;
    };
    const auto inside = [&](size_t areaSize) { return offset + length <= areaSize; };
    const auto read = [&](std::span<const uint8_t> area, bool pastEndIsZero) -> uint8_t {
        if (length > 56) return refuse("length " + std::to_string(length));
        if (pastEndIsZero ? offset >= area.size() : !inside(area.size()))
            return refuse("offset " + std::to_string(offset) + " + " + std::to_string(length) + " outside " +
                          std::to_string(area.size()) + " bytes");
        const size_t n = std::min(length, area.size() - offset);
        std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
        return 0;
    };
    const auto write = [&](std::span<uint8_t> area) -> uint8_t {
        if (!inSequence_) return refuse("write outside a begin / end sequence");
        if (length > 56) return refuse("length " + std::to_string(length));
        if (!inside(area.size()))
            return refuse("offset " + std::to_string(offset) + " + " + std::to_string(length) + " outside " +
                          std::to_string(area.size()) + " bytes");
        std::copy(in.begin(), in.end(), area.begin() + static_cast<std::ptrdiff_t>(offset));
        dirty_ = true;
        return 0;
    };

    switch (code) {
        case 1:
            inSequence_ = true;
            return 0;
        case 2:
            inSequence_ = false;
            SaveStateLocked(nullptr);
            return 0;
        case 3:
            if (length != kSettingsSize)
                return refuse("settings read of " + std::to_string(length) + " bytes");
            std::copy(memory_.settings.begin(), memory_.settings.end(), out.begin());
            return 0;
        case 4: {
            if (!inSequence_) return refuse("write outside a begin / end sequence");
            if (length != kSettingsSize)
                return refuse("settings write of " + std::to_string(length) + " bytes");
            if (in[kSettingsProfile] > 2) return refuse("profile " + std::to_string(in[kSettingsProfile]));
            std::copy(in.begin(), in.end(), memory_.settings.begin());
            ResizeMacroArea();
            dirty_ = true;
            return 0;
        }
        case 5:
            return read(memory_.lighting, true);
        case 6:
            return write(memory_.lighting);
        case 7:
            return read(memory_.keyBlocks, false);
        case 8:
            return write(memory_.keyBlocks);
        case 9:
            return read(memory_.macro, false);
        case 10:
            return write(memory_.macro);
        case 15:
            return read(memory_.defaultLayout, false);
        case 17:
            return write(memory_.keyColours);
        default:
            return refuse("unknown command");
    }
}

// ---- events and faults

void KeyboardSimulator::AttachLocked() {
    if (attached_) return;
    attached_ = true;
    inSequence_ = false;
    Record(TrafficDirection::Attach, {});
    Queue(Clock::now(), Delivery{DeliveryKind::DeviceChange, {}, 1});
}

void KeyboardSimulator::DetachLocked() {
    if (!attached_) return;
    attached_ = false;
    inSequence_ = false;
    // Replies still on their way are lost with the keyboard.
    for (auto it = queue_.begin(); it != queue_.end();)
        it = it->second.kind == DeliveryKind::DeviceChange ? std::next(it) : queue_.erase(it);
    Record(TrafficDirection::Detach, {});
    Queue(Clock::now(), Delivery{DeliveryKind::DeviceChange, {}, 0});
}

void KeyboardSimulator::Raise(SimEvent event) {
    std::lock_guard lock(mutex_);
    switch (event) {
        case SimEvent::Attach:
            AttachLocked();
            return;
        case SimEvent::Detach:
            DetachLocked();
            return;
        default:
            break;
    }
    if (!attached_) return;
    std::vector<uint8_t> report(kEventReportSize, 0);
    WriteLe16(report, 0, EventCode(event));
    Queue(Clock::now() + config_.latency, Delivery{DeliveryKind::Event, std::move(report), 0});
}

bool KeyboardSimulator::attached() const {
    std::lock_guard lock(mutex_);
    return attached_;
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

// ---- accessors

int KeyboardSimulator::violations() const {
    std::lock_guard lock(mutex_);
    return violations_;
}

std::vector<std::string> KeyboardSimulator::violationReasons() const {
    std::lock_guard lock(mutex_);
    return violationReasons_;
}

bool KeyboardSimulator::inSequence() const {
    std::lock_guard lock(mutex_);
    return inSequence_;
}

int KeyboardSimulator::bootModeRequests() const {
    std::lock_guard lock(mutex_);
    return bootModeRequests_;
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

SimMemory KeyboardSimulator::memory() const {
    std::lock_guard lock(mutex_);
    return memory_;
}

void KeyboardSimulator::SetMemory(const SimMemory& memory) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    memory_ = memory;
    ResizeMacroArea();
}

std::array<uint8_t, kSettingsSize> KeyboardSimulator::settings() const {
    std::lock_guard lock(mutex_);
    return memory_.settings;
}

void KeyboardSimulator::SetSettings(std::span<const uint8_t, kSettingsSize> settings) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    std::copy(settings.begin(), settings.end(), memory_.settings.begin());
    ResizeMacroArea();
}

std::array<uint8_t, kLightingSize> KeyboardSimulator::lighting() const {
    std::lock_guard lock(mutex_);
    return memory_.lighting;
}

void KeyboardSimulator::SetLighting(std::span<const uint8_t, kLightingSize> lighting) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    std::copy(lighting.begin(), lighting.end(), memory_.lighting.begin());
}

KeyBlock KeyboardSimulator::keyBlock(int index) const {
    std::lock_guard lock(mutex_);
    KeyBlock b{};
    if (index >= 0 && index < 3)
        std::copy_n(memory_.keyBlocks.begin() + index * static_cast<std::ptrdiff_t>(kKeyBlockSize),
                    kKeyBlockSize, b.begin());
    return b;
}

void KeyboardSimulator::SetKeyBlock(int index, const KeyBlock& block) {
    if (index < 0 || index >= 3) return;
    std::lock_guard lock(mutex_);
    dirty_ = true;
    std::copy(block.begin(), block.end(),
              memory_.keyBlocks.begin() + index * static_cast<std::ptrdiff_t>(kKeyBlockSize));
}

KeyBlock KeyboardSimulator::defaultLayout() const {
    std::lock_guard lock(mutex_);
    return memory_.defaultLayout;
}

void KeyboardSimulator::SetDefaultLayout(const KeyBlock& layout) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    memory_.defaultLayout = layout;
}

std::vector<uint8_t> KeyboardSimulator::macroArea() const {
    std::lock_guard lock(mutex_);
    return memory_.macro;
}

void KeyboardSimulator::SetMacroArea(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    std::copy_n(bytes.begin(), std::min(bytes.size(), memory_.macro.size()), memory_.macro.begin());
}

std::array<uint8_t, kKeyColoursSize> KeyboardSimulator::keyColours() const {
    std::lock_guard lock(mutex_);
    return memory_.keyColours;
}

void KeyboardSimulator::SetKeyColours(std::span<const uint8_t, kKeyColoursSize> colours) {
    std::lock_guard lock(mutex_);
    dirty_ = true;
    std::copy(colours.begin(), colours.end(), memory_.keyColours.begin());
}

std::array<uint8_t, 2> KeyboardSimulator::ledStatus() const {
    std::lock_guard lock(mutex_);
    return led_;
}

// ---- the in-process functions

namespace {

std::atomic<KeyboardSimulator*> gActive{nullptr};

int SimInit(int) {
    return gActive.load() != nullptr ? 1 : 0;
}
int SimGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, uint32_t, int*) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->GetDeviceCount(filter) : 0;
}
int SimDeleteRequest(int id) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->DeleteRequest(id) : 0;
}
int SimStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                   const uint8_t* data, int length, uint32_t, int* outId) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->StatusWrite(filter, callback, tag, data, length, outId) : 0;
}
int SimAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag, uint32_t,
                 int* outId) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->AsyncRead(filter, callback, tag, outId) : 0;
}
int SimWriteOne(const PortHubDeviceFilter* filter, PortHubCallback, uint32_t, const uint8_t* data, int length,
                uint32_t, int*) {
    KeyboardSimulator* s = gActive.load();
    return s != nullptr ? s->WriteOne(filter, data, length) : 0;
}
int SimDebug(int) {
    return 1;
}
int SimEnd() {
    return 1;
}
int SimDeleteRequestFromHandle(void*) {
    return 1;
}
int SimUnused(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int, uint32_t, int*) {
    return 0;
}
int SimStatusGet(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int, uint32_t, int*) {
    return 0;
}

const PortHubFunctions kFunctions = {
    SimInit,
    SimGetDeviceCount,
    SimDeleteRequest,
    SimStatusWrite,
    SimAsyncRead,
    SimWriteOne,
    SimDebug,
    SimEnd,
    SimDeleteRequestFromHandle,
    SimUnused,
    SimStatusGet,
    SimUnused,
};

}  // namespace

void SetActiveSimulator(KeyboardSimulator* simulator) {
    gActive.store(simulator);
}

KeyboardSimulator* ActiveSimulator() {
    return gActive.load();
}

const PortHubFunctions& SimulatorFunctions() {
    return kFunctions;
}

}  // namespace vornak::sim
