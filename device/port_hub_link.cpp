#include "device/port_hub_link.h"

#include <algorithm>
#include <cstring>
#include <shared_mutex>

#include "platform/bytes.h"

namespace vornak {

namespace {

// The link that receives the library's callbacks. Never destroyed, so a library thread that calls back while
// the process ends still finds a valid lock.
struct ActiveLink {
    std::shared_mutex mutex;
    PortHubLink* link = nullptr;
};

ActiveLink& Active() {
    static ActiveLink* active = new ActiveLink;
    return *active;
}

constexpr int kMaxTries = 3;

}  // namespace

PortHubLink::PortHubLink(const PortHubFunctions& api, LinkTimings timings) : api_(api), timings_(timings) {
    std::unique_lock lock(Active().mutex);
    Active().link = this;
}

void PortHubLink::BeginShutdown() {
    closing_.store(true);
    // Taking each lock once means no waiter is between its check of the flag and its wait.
    { std::lock_guard lock(stopMutex_); }
    stopCv_.notify_all();
    { std::lock_guard lock(slotMutex_); }
    slotCv_.notify_all();
    { std::lock_guard lock(deviceMutex_); }
    deviceCv_.notify_all();
}

PortHubLink::~PortHubLink() {
    BeginShutdown();
    ReleaseChannels();
    {
        // Waits for a callback still running in this link.
        std::unique_lock lock(Active().mutex);
        if (Active().link == this) Active().link = nullptr;
    }
    std::list<Worker> workers;
    {
        std::lock_guard lock(workersMutex_);
        workers.swap(workers_);
    }
    for (Worker& w : workers)
        w.thread.join();
}

int PortHubLink::StatusCallback(const PortHubStatusEvent* event) {
    if (event == nullptr) return 1;
    std::shared_lock lock(Active().mutex);
    if (Active().link != nullptr) Active().link->HandleStatusEvent(*event);
    return 1;
}

// ---- channels and the LED status

int PortHubLink::RegisterChannel(const ChannelDescriptor& channel, std::atomic<uint32_t>& slot) {
    api_.DeleteRequestFromUnitId(static_cast<int>(slot.load()));
    int id = 0;
    const int result = api_.RequestAsyncRead(&channel.filter, &StatusCallback, channel.tag,
                                             RequestId(channel.filter, &StatusCallback, channel.tag), &id);
    slot.store(static_cast<uint32_t>(id));
    return result;
}

bool PortHubLink::SetUpChannels() {
    {
        std::lock_guard lock(ledMutex_);
        state_.layerB.store(false);
    }
    const int cons = RegisterChannel(kConsChannel, state_.consRequestId);
    const int ctrl = RegisterChannel(kCtrlChannel, state_.ctrlRequestId);
    return cons > 0 && ctrl > 0;
}

void PortHubLink::ReleaseChannels() {
    for (std::atomic<uint32_t>* slot : {&state_.consRequestId, &state_.ctrlRequestId, &state_.ledRequestId}) {
        const uint32_t id = slot->exchange(0);
        if (id != 0) api_.DeleteRequestFromUnitId(static_cast<int>(id));
    }
}

std::array<uint8_t, 2> PortHubLink::LedPayload() const {
    return {0x05, static_cast<uint8_t>(0x02 | (state_.layerB.load() ? 1 : 0))};
}

int PortHubLink::WriteLedStatusLocked() {
    api_.DeleteRequestFromUnitId(static_cast<int>(state_.ledRequestId.load()));
    const std::array<uint8_t, 2> payload = LedPayload();
    int id = 0;
    const int result =
        api_.RequestStatusWrite(&kLedChannel.filter, &StatusCallback, kTagLed, payload.data(), 2,
                                RequestId(kLedChannel.filter, &StatusCallback, kTagLed, payload), &id);
    state_.ledRequestId.store(static_cast<uint32_t>(id));
    return result;
}

int PortHubLink::WriteLedStatus() {
    std::lock_guard lock(ledMutex_);
    return WriteLedStatusLocked();
}

int PortHubLink::SetLayerB(bool layerB) {
    std::lock_guard lock(ledMutex_);
    state_.layerB.store(layerB);
    return WriteLedStatusLocked();
}

KeyBlockBytes PortHubLink::DefaultLayout() const {
    std::lock_guard lock(layoutMutex_);
    return defaultLayout_;
}

int PortHubLink::DetectDevice() {
    const int count = GetDeviceCount();
    if (count == 0) state_.autoShowDone.store(1);
    OnDeviceChange(count);
    return count;
}

// ---- the status callback

void PortHubLink::HandleStatusEvent(const PortHubStatusEvent& event) {
    if (event.request == nullptr) return;
    const PortHubRequest& request = *event.request;
    if (event.type == PORTHUB_EVENT_DATA) {
        if (request.tag == kTagCtrl) {
            if (request.data != nullptr) OnReply(request.data, request.length);
        } else if (request.tag == kTagCons) {
            if (request.report != nullptr && request.report->bytes != nullptr && request.length >= 2)
                OnConsEvent(ReadLe16(std::span(request.report->bytes, 2), 0));
        }
    } else if (event.type == PORTHUB_EVENT_DEVICE_CHANGE && request.tag == kTagCtrl) {
        OnDeviceChange(static_cast<int>(request.length));
    }
}

void PortHubLink::OnReply(const uint8_t* data, size_t length) {
    {
        std::lock_guard lock(slotMutex_);
        // Only the first reply of a try counts: the caller may already be reading its buffer.
        if (!slot_.waiting || slot_.arrived) return;
        const size_t n = std::min(length, slot_.capacity);
        if (n > 0) std::memcpy(slot_.buffer, data, n);
        slot_.received = n;
        slot_.headLength = std::min(length, slot_.head.size());
        std::memcpy(slot_.head.data(), data, slot_.headLength);
        slot_.arrived = true;
    }
    slotCv_.notify_all();
}

void PortHubLink::OnConsEvent(uint16_t code) {
    LinkEvents* events = events_.load();
    switch (code) {
        case PORTHUB_EVENT_LAYER_SWITCH: {
            bool layerB;
            {
                std::lock_guard lock(ledMutex_);
                layerB = !state_.layerB.load();
                state_.layerB.store(layerB);
                WriteLedStatusLocked();
            }
            if (events != nullptr) events->LedChanged(layerB);
            break;
        }
        case PORTHUB_EVENT_SETTINGS_CHANGED:
            if (events != nullptr) events->LightingChanged();
            break;
        case PORTHUB_EVENT_MACRO_ENDED:
            OnMacroPlayback(false);
            break;
        case PORTHUB_EVENT_MACRO_STARTED:
            OnMacroPlayback(true);
            break;
        default:
            break;
    }
}

void PortHubLink::OnMacroPlayback(bool playing) {
    macroPlaying_.store(playing);
    // Each update takes the icon to the latest reported state, so two updates that overtake each other still
    // leave the icon of the last event.
    Spawn([this] {
        std::lock_guard lock(trayMutex_);
        LinkEvents* events = events_.load();
        if (events == nullptr || closing()) return;
        if (macroPlaying_.load())
            events->SetTrayIcon(TrayIconMode::MacroPlaying, kTrayIconMacroPlaying);
        else
            events->SetTrayIcon(TrayIconMode::MacroEnded, baseIcon_.load());
    });
}

void PortHubLink::OnDeviceChange(int count) {
    if (count == 0) {
        {
            std::lock_guard lock(slotMutex_);
            if (slot_.waiting) slot_.deviceGone = true;
        }
        slotCv_.notify_all();
    }
    uint64_t ticket;
    {
        std::lock_guard lock(deviceMutex_);
        ticket = nextTicket_++;
    }
    Spawn([this, count, ticket] { DeviceStateThread(count, ticket); });
}

// ---- threads

void PortHubLink::Spawn(std::function<void()> work) {
    std::lock_guard lock(workersMutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
    if (closing()) return;
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::thread([work = std::move(work), done] {
                                  work();
                                  done->store(true);
                              }),
                              done});
}

void PortHubLink::WaitForWorkers() {
    std::list<Worker> workers;
    {
        std::lock_guard lock(workersMutex_);
        workers.swap(workers_);
    }
    for (Worker& w : workers)
        w.thread.join();
}

bool PortHubLink::Pause(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) return !closing();
    std::unique_lock lock(stopMutex_);
    return !stopCv_.wait_for(lock, duration, [this] { return closing(); });
}

// ---- the command path

int PortHubLink::GetDeviceCount() {
    static const uint32_t id = RequestId(kCtrlChannel.filter, nullptr, 0);
    if (closing()) return 0;
    return api_.RequestGetDeviceCount(&kCtrlChannel.filter, nullptr, 0, id, nullptr);
}

void PortHubLink::HoldKeyboard() {
    std::lock_guard lock(holdMutex_);
    ++holds_;
    // Another thread of this process waiting here waits for the same lock anyway.
    if (!held_ && keyboardLock_ != nullptr)
        held_ = keyboardLock_->Acquire([this](std::chrono::milliseconds d) { return Pause(d); });
}

void PortHubLink::LetKeyboardGo() {
    std::lock_guard lock(holdMutex_);
    if (holds_ > 0 && --holds_ == 0 && held_) {
        keyboardLock_->Release();
        held_ = false;
    }
}

int PortHubLink::SendCommand(std::span<const uint8_t> command, std::span<uint8_t> reply, size_t* received) {
    if (received != nullptr) *received = 0;
    if (GetDeviceCount() == 0) return kLinkNoDevice;
    KeyboardHold hold(*this);

    CommandBytes out{};
    if (!command.empty()) std::memcpy(out.data(), command.data(), std::min(command.size(), out.size()));
    const uint32_t id = RequestId(kCtrlChannel.filter, nullptr, 0, out);

    std::unique_lock lock(slotMutex_);
    uint64_t mine = 0;
    // Every return clears the mark, but only a mark this call set.
    const auto clearMark = [&] {
        if (slot_.owner == mine) {
            slot_.waiting = false;
            slot_.buffer = nullptr;
            slot_.capacity = 0;
        }
    };
    const auto pauseUnlocked = [&](std::chrono::milliseconds d) {
        lock.unlock();
        const bool ok = Pause(d);
        lock.lock();
        return ok;
    };
    for (int tryNumber = 1;; ++tryNumber) {
        const bool lastTry = tryNumber == kMaxTries;
        if (slot_.waiting) {
            // Another exchange still waits: give it time, then take the slot over.
            if (!pauseUnlocked(timings_.overlapGuard)) return kLinkNoDevice;
            slot_.waiting = false;
        }
        if (closing()) return kLinkNoDevice;
        mine = ++nextTry_;
        slot_ = ReplySlot{};
        slot_.waiting = true;
        slot_.owner = mine;
        slot_.buffer = reply.data();
        slot_.capacity = reply.size();

        lock.unlock();
        const int written = api_.RequestWriteOne(&kCtrlChannel.filter, nullptr, 0, out.data(),
                                                 static_cast<int>(out.size()), id, nullptr);
        lock.lock();
        if (written <= 0) {
            clearMark();
            return kLinkWriteRefused;
        }

        const bool woke = slotCv_.wait_for(lock, timings_.replyWait, [&] {
            return slot_.owner != mine || slot_.arrived || slot_.deviceGone || closing();
        });
        if (slot_.owner == mine && (slot_.deviceGone || closing())) {
            clearMark();
            return kLinkNoDevice;
        }
        // No reply in time, the slot taken over, or a reply to another command: none of them is an answer.
        const bool answered = woke && slot_.owner == mine;
        const std::span<const uint8_t> head(slot_.head.data(), answered ? slot_.headLength : 0);
        const bool ours =
            head.size() > command_field::kCode && head[command_field::kCode] == out[command_field::kCode];
        if (!ours && lastTry) {
            clearMark();
            return kLinkNoReply;
        }
        // The firmware answers 0xFE while it is busy writing; a later try usually succeeds. The last try's
        // refusal is handed back as it is, for the caller to map its status.
        if (ours && (ReplyStatusResult(head) == kLinkOk || lastTry)) {
            if (received != nullptr) *received = slot_.received;
            clearMark();
            return kLinkOk;
        }
        clearMark();
        if (!pauseUnlocked(timings_.retryPause)) return kLinkNoDevice;
    }
}

int PortHubLink::Exchange(const DeviceCommand& command, std::span<uint8_t> out) {
    CommandBytes reply{};
    size_t received = 0;
    const int result = SendCommand(command.bytes, reply, &received);
    if (result != kLinkOk) return result;
    const std::span<const uint8_t> got(reply.data(), received);
    const int status = ReplyStatusResult(got);
    if (status != kLinkOk) return status;
    std::fill(out.begin(), out.end(), 0);
    if (received > command_field::kData) {
        const size_t n = std::min(out.size(), received - command_field::kData);
        if (n > 0) std::memcpy(out.data(), reply.data() + command_field::kData, n);
    }
    return kLinkOk;
}

int PortHubLink::ReadPieces(uint8_t code, uint32_t base, std::span<uint8_t> out) {
    if (base + out.size() > 0x10000) return kLinkBadIndex;  // offsets are 16 bits
    for (size_t offset = 0; offset < out.size(); offset += kCommandDataSize) {
        const size_t n = std::min(kCommandDataSize, out.size() - offset);
        const DeviceCommand c =
            DeviceCommand::Make(code, static_cast<uint8_t>(n), static_cast<uint16_t>(base + offset));
        const int result = Exchange(c, out.subspan(offset, n));
        if (result != kLinkOk) return result;
    }
    return kLinkOk;
}

int PortHubLink::WritePieces(uint8_t code, uint32_t base, std::span<const uint8_t> data,
                             PieceStatus onStatus) {
    if (base + data.size() > 0x10000) return kLinkBadIndex;
    int first = kLinkOk;
    for (size_t offset = 0; offset < data.size(); offset += kCommandDataSize) {
        const size_t n = std::min(kCommandDataSize, data.size() - offset);
        const DeviceCommand c = DeviceCommand::Make(
            code, static_cast<uint8_t>(n), static_cast<uint16_t>(base + offset), data.subspan(offset, n));
        const int result = Exchange(c);
        if (result == kLinkOk) continue;
        const bool status = result == kLinkStatusFE || result == kLinkStatusFF;
        if (!status || onStatus == PieceStatus::kStop) return result;
        if (first == kLinkOk) first = result;
    }
    return first;
}

int PortHubLink::BeginSequence() {
    HoldKeyboard();
    return Exchange(DeviceCommand::Make(command_code::kBegin));
}

int PortHubLink::EndSequence() {
    // Every begin is followed by an end, even when the begin failed: the end always lets the lock go.
    struct Release {
        PortHubLink& link;
        ~Release() { link.LetKeyboardGo(); }
    } release{*this};
    // The keyboard needs a moment after the last write before it commits.
    if (!Pause(timings_.endPause)) return kLinkNoDevice;
    return Exchange(DeviceCommand::Make(command_code::kEnd));
}

int PortHubLink::ReadSettings(SettingsBlock& out) {
    return Exchange(DeviceCommand::Make(command_code::kReadSettings, kSettingsBlockSize), out);
}

int PortHubLink::WriteSettings(const SettingsBlock& block) {
    return Exchange(DeviceCommand::Make(command_code::kWriteSettings, kSettingsBlockSize, 0, block));
}

int PortHubLink::ReadLightingArea(uint16_t offset, std::span<uint8_t> out) {
    if (out.size() > kCommandDataSize) return kLinkBadIndex;
    return Exchange(
        DeviceCommand::Make(command_code::kReadLighting, static_cast<uint8_t>(out.size()), offset), out);
}

int PortHubLink::WriteLightingArea(uint16_t offset, std::span<const uint8_t> data) {
    return WritePieces(command_code::kWriteLighting, offset, data);
}

int PortHubLink::ReadKeyBlock(int index, KeyBlockBytes& out) {
    if (index < 0 || index > 2) return kLinkBadIndex;
    return ReadPieces(command_code::kReadKeyBlock, static_cast<uint32_t>(index) * kKeyBlockSize, out);
}

int PortHubLink::WriteKeyBlock(int index, const KeyBlockBytes& block) {
    if (index < 0 || index > 2) return kLinkBadIndex;
    return WritePieces(command_code::kWriteKeyBlock, static_cast<uint32_t>(index) * kKeyBlockSize, block);
}

int PortHubLink::ReadMacroArea(std::span<uint8_t> out) {
    return ReadPieces(command_code::kReadMacro, 0, out);
}

int PortHubLink::WriteMacroArea(std::span<const uint8_t> data) {
    // A keyboard busy with its flash may answer a macro piece busy and still take it: every piece is sent,
    // and what the keyboard holds decides (the download reads it back).
    return WritePieces(command_code::kWriteMacro, 0, data, PieceStatus::kGoOn);
}

int PortHubLink::ReadDefaultLayout(KeyBlockBytes& out) {
    return ReadPieces(command_code::kReadDefaultLayout, 0, out);
}

int PortHubLink::WriteKeyColours(uint16_t positionField, std::span<const uint8_t> data) {
    return WritePieces(command_code::kWriteKeyColours, positionField, data);
}

int PortHubLink::RequestBootMode() {
    if (GetDeviceCount() == 0) return kLinkNoDevice;
    const DeviceCommand c = DeviceCommand::BootModeRequest();
    const uint32_t id = RequestId(kCtrlChannel.filter, nullptr, 0, c.bytes);
    return api_.RequestWriteOne(&kCtrlChannel.filter, nullptr, 0, c.bytes.data(),
                                static_cast<int>(c.bytes.size()), id, nullptr);
}

}  // namespace vornak
