// The device link over the PortHub contract: channels, the LED status, the command/reply exchange and its
// wrappers, the status callback and the device thread. One per process: the library's callback carries no
// context, so the link that exists last receives the callbacks.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "device/device_command.h"
#include "device/device_link.h"
#include "device/keyboard_lock.h"
#include "device/link_events.h"
#include "device/port_hub.h"

namespace vornak {

class PortHubLink final : public DeviceLink {
  public:
    explicit PortHubLink(const PortHubFunctions& api, LinkTimings timings = {});
    // Cancels the channels, wakes a waiting exchange, and joins every thread the link started.
    ~PortHubLink() override;
    // The first step of closing, for the main window to call while it still serves blocking events: from now
    // on exchanges return 0 at once, waits end, and no more events are raised. The destructor then only
    // joins.
    void BeginShutdown();
    PortHubLink(const PortHubLink&) = delete;
    PortHubLink& operator=(const PortHubLink&) = delete;

    // The receiver of the link's events; set before SetUpChannels. Null: events are dropped.
    void SetEvents(LinkEvents* events) { events_.store(events); }
    // Held by the device thread around its reads at an attach, so that they never overlap the exchanges of
    // the program's device worker, which holds it while a job runs. Set before SetUpChannels; null: none.
    void SetTrafficMutex(std::mutex* traffic) { traffic_ = traffic; }
    const LinkTimings& timings() const { return timings_; }
    // The lock across processes (PortHubApi::MakeKeyboardLock); set before the first exchange. Null: none.
    void SetKeyboardLock(std::unique_ptr<KeyboardLock> lock) { keyboardLock_ = std::move(lock); }

    // Start-up: the LED payload {0x05, 0x02}, the CONS reader, the CTRL reader. False when the library
    // refused a registration.
    bool SetUpChannels();
    // Cancels the three standing requests (at the end of the run).
    void ReleaseChannels();
    // Start-up: the number of keyboards, handed to a device thread; with none, the window never opens by
    // itself. Returns the number.
    int DetectDevice();

    // Writes the LED status for the current layer; the library's result.
    int WriteLedStatus();
    // Selects the G keys' layer and writes the LED status.
    int SetLayerB(bool layerB);
    std::array<uint8_t, 2> LedPayload() const;

    // The default layout as the device thread last read it (zeros before the first read).
    KeyBlockBytes DefaultLayout() const;

    // Waits until every thread the link started so far has ended (tests; never from a LinkEvents call).
    void WaitForWorkers();

    // The status callback given to the library.
    static int StatusCallback(const PortHubStatusEvent* event);

    LinkState& state() override { return state_; }
    int GetDeviceCount() override;
    int SendCommand(std::span<const uint8_t> command, std::span<uint8_t> reply, size_t* received) override;
    int BeginSequence() override;
    int EndSequence() override;
    int ReadSettings(SettingsBlock& out) override;
    int WriteSettings(const SettingsBlock& block) override;
    int ReadLightingArea(uint16_t offset, std::span<uint8_t> out) override;
    int WriteLightingArea(uint16_t offset, std::span<const uint8_t> data) override;
    int ReadKeyBlock(int index, KeyBlockBytes& out) override;
    int WriteKeyBlock(int index, const KeyBlockBytes& block) override;
    int ReadMacroArea(std::span<uint8_t> out) override;
    int WriteMacroArea(std::span<const uint8_t> data) override;
    int ReadDefaultLayout(KeyBlockBytes& out) override;
    int WriteKeyColours(uint16_t positionField, std::span<const uint8_t> data) override;
    int RequestBootMode() override;
    // A begin takes the keyboard lock and the end lets it go, whatever either answered.
    void HoldKeyboard() override;
    void LetKeyboardGo() override;

  private:
    // Where a reply goes. Guarded by slotMutex_: the callback copies into the buffer only while the try that
    // owns the slot is waiting, so a reply never lands in a buffer after its caller stopped waiting for it.
    struct ReplySlot {
        bool waiting = false;
        uint64_t owner = 0;  // the try that set the mark
        uint8_t* buffer = nullptr;
        size_t capacity = 0;
        size_t received = 0;
        bool arrived = false;
        bool deviceGone = false;
        std::array<uint8_t, command_field::kData> head{};  // the reply's header, for the checks
        size_t headLength = 0;
    };

    void HandleStatusEvent(const PortHubStatusEvent& event);
    void OnReply(const uint8_t* data, size_t length);
    void OnConsEvent(uint16_t code);
    void OnDeviceChange(int count);
    void OnMacroPlayback(bool playing);

    int RegisterChannel(const ChannelDescriptor& channel, std::atomic<uint32_t>& slot);
    int WriteLedStatusLocked();

    // One command, its reply's status mapped; the reply's data (from offset 8) copied to out.
    int Exchange(const DeviceCommand& command, std::span<uint8_t> out = {});
    int ReadPieces(uint8_t code, uint32_t base, std::span<uint8_t> out);
    // What a piece answered with a status (0xFE, 0xFF) does to the rest: they are not sent, or they are and
    // the first such status is returned. No reply or no keyboard always ends the write.
    enum class PieceStatus { kStop, kGoOn };
    int WritePieces(uint8_t code, uint32_t base, std::span<const uint8_t> data,
                    PieceStatus onStatus = PieceStatus::kStop);

    // Sleeps; false when the link is closing.
    bool Pause(std::chrono::milliseconds duration);
    bool closing() const { return closing_.load(); }

    void Spawn(std::function<void()> work);
    void DeviceStateThread(int count, uint64_t ticket);
    void RunDeviceState(int count);

    PortHubFunctions api_;
    LinkTimings timings_;
    LinkState state_;
    std::atomic<LinkEvents*> events_{nullptr};
    std::mutex* traffic_ = nullptr;
    std::atomic<bool> closing_{false};

    std::mutex stopMutex_;
    std::condition_variable stopCv_;

    std::mutex slotMutex_;
    std::condition_variable slotCv_;
    ReplySlot slot_;
    uint64_t nextTry_ = 0;

    std::unique_ptr<KeyboardLock> keyboardLock_;
    std::mutex holdMutex_;
    int holds_ = 0;
    bool held_ = false;

    mutable std::mutex ledMutex_;

    mutable std::mutex layoutMutex_;
    KeyBlockBytes defaultLayout_{};

    // Device threads run one after another in the order of the notifications.
    std::mutex deviceMutex_;
    std::condition_variable deviceCv_;
    uint64_t nextTicket_ = 0;
    uint64_t servingTicket_ = 0;

    std::mutex trayMutex_;
    std::atomic<bool> macroPlaying_{false};
    std::atomic<int> baseIcon_{kTrayIconNoKeyboard};

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex workersMutex_;
    std::list<Worker> workers_;
};

}  // namespace vornak
