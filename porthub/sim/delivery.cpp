// Delivery: the simulator's own thread hands replies, events and device changes to the standing readers, as
// the real library does on its threads.
#include "platform/bytes.h"
#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

// The collections of the simulated keyboard, answered through the same filter match as the real library's.
bool KeyboardSimulator::Answers(const PortHubDeviceFilter& filter, Collection collection) {
    const auto matches = [&](uint16_t page, uint16_t usage) {
        return PortHubFilterMatches(&filter, PORTHUB_KX1_VENDOR_ID, PORTHUB_KX1_PRODUCT_ID, page, usage) != 0;
    };
    const bool led = matches(PORTHUB_LED_USAGE_PAGE, PORTHUB_LED_USAGE);
    const bool cons = matches(PORTHUB_CONS_USAGE_PAGE, PORTHUB_CONS_USAGE);
    const bool ctrl = matches(PORTHUB_CTRL_USAGE_PAGE, PORTHUB_CTRL_USAGE);
    switch (collection) {
        case Collection::Led:
            return led;
        case Collection::Cons:
            return cons;
        case Collection::Ctrl:
            return ctrl;
        case Collection::Any:
            return led || cons || ctrl;
    }
    return false;
}

bool KeyboardSimulator::Reaches(const PortHubDeviceFilter& filter, SimDeliveryKind kind) {
    return Answers(filter, kind == SimDeliveryKind::Reply   ? Collection::Ctrl
                           : kind == SimDeliveryKind::Event ? Collection::Cons
                                                            : Collection::Any);
}

void KeyboardSimulator::SetDeliveryTap(SimDeliveryTap tap) {
    std::lock_guard lock(mutex_);
    tap_ = std::move(tap);
}

int KeyboardSimulator::GetDeviceCount(const PortHubDeviceFilter* filter) const {
    if (filter == nullptr) return 0;
    std::lock_guard lock(mutex_);
    return attached_ && Answers(*filter, Collection::Any) ? 1 : 0;
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

int KeyboardSimulator::DeleteRequest(int id) {
    std::lock_guard lock(mutex_);
    registrations_.erase(id);
    return 1;
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
        for (const auto& [id, r] : registrations_)
            if (r.callback != nullptr && Reaches(r.filter, d.kind)) targets.push_back(r);
        const SimDeliveryTap tap = tap_;
        if (d.kind == DeliveryKind::Reply) {
            Record(TrafficDirection::In, d.bytes);
            lastReplyAt_ = Clock::now();
        }
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
        if (tap) tap(d.kind, d.bytes, d.count);
        lock.lock();
        delivering_ = false;
        cv_.notify_all();
    }
}

void KeyboardSimulator::WaitUntilDelivered() const {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return stopping_ || (queue_.empty() && !delivering_); });
}

// ---- attach, removal and the keyboard's events

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
    uint16_t code = 0;
    switch (event) {
        case SimEvent::Attach:
            AttachLocked();
            return;
        case SimEvent::Detach:
            DetachLocked();
            return;
        case SimEvent::LayerSwitch:
            code = PORTHUB_EVENT_LAYER_SWITCH;
            break;
        case SimEvent::SettingsChanged:
            code = PORTHUB_EVENT_SETTINGS_CHANGED;
            break;
        case SimEvent::MacroStart:
            code = PORTHUB_EVENT_MACRO_STARTED;
            break;
        case SimEvent::MacroStop:
            code = PORTHUB_EVENT_MACRO_ENDED;
            break;
    }
    if (!attached_) return;
    std::vector<uint8_t> report(kEventReportSize, 0);
    WriteLe16(report, 0, code);
    Queue(Clock::now() + config_.latency, Delivery{DeliveryKind::Event, std::move(report), 0});
}

bool KeyboardSimulator::attached() const {
    std::lock_guard lock(mutex_);
    return attached_;
}

}  // namespace vornak::sim
