// The simulator's life cycle and the memory and checks a test reads. The rest lives by job: firmware.cpp
// (commands, checks, faults), delivery.cpp (callbacks, attach, removal, events), state_file.cpp,
// traffic_log.cpp and sim_functions.cpp (the contract's function table).
#include "porthub/sim/keyboard_simulator.h"

#include <algorithm>

namespace vornak::sim {

KeyboardSimulator::KeyboardSimulator(SimConfig config) : config_(std::move(config)) {
    memory_ = config_.memory;
    attached_ = config_.attached;
    inSequence_ = config_.inSequence;
    LoadState();
    ResizeMacroArea();
    OpenTrafficLog();
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
    CloseTrafficLog();
}

void KeyboardSimulator::ResizeMacroArea() {
    memory_.macro.resize(MacroCapacityOf(memory_.settings), 0);
}

void KeyboardSimulator::Violation(std::string reason) {
    ++violations_;
    if (violationReasons_.size() < 1000) violationReasons_.push_back(std::move(reason));
}

// ---- checks

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

void KeyboardSimulator::ContinueSequence() {
    std::lock_guard lock(mutex_);
    inSequence_ = true;
}

int KeyboardSimulator::bootModeRequests() const {
    std::lock_guard lock(mutex_);
    return bootModeRequests_;
}

int KeyboardSimulator::refusedReads() const {
    std::lock_guard lock(mutex_);
    return refusedReads_;
}

std::optional<std::chrono::microseconds> KeyboardSimulator::GapBefore(uint8_t command) const {
    std::lock_guard lock(mutex_);
    const auto it = gapBefore_.find(command);
    if (it == gapBefore_.end()) return std::nullopt;
    return std::chrono::duration_cast<std::chrono::microseconds>(it->second);
}

std::array<uint8_t, 2> KeyboardSimulator::ledStatus() const {
    std::lock_guard lock(mutex_);
    return led_;
}

// ---- memory

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

SettingsBlock KeyboardSimulator::settings() const {
    std::lock_guard lock(mutex_);
    return memory_.settings;
}

void KeyboardSimulator::SetSettings(std::span<const uint8_t, kSettingsBlockSize> settings) {
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

}  // namespace vornak::sim
