// The link to the keyboard: the channels, the LED status, and the command/reply exchange with a wrapper for
// every command the program sends. One DeviceLink per process; PortHubLink is the implementation.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/settings_block.h"

namespace vornak {

// Results of every device operation.
inline constexpr int kLinkOk = 1;
inline constexpr int kLinkNoDevice = 0;       // no keyboard, or the wait failed
inline constexpr int kLinkWriteRefused = -1;  // the library refused the write
inline constexpr int kLinkNoReply = -2;       // no matching reply after three tries
inline constexpr int kLinkStatusFF = -102;    // the keyboard answered status 0xFF
inline constexpr int kLinkStatusFE = -103;    // the keyboard answered status 0xFE
inline constexpr int kLinkBadIndex = -201;    // key block index above 2

inline constexpr size_t kKeyBlockSize = 378;  // 126 positions x 3 bytes
inline constexpr size_t kCommandDataSize = 56;

using KeyBlockBytes = std::array<uint8_t, kKeyBlockSize>;

// Every wait and pause of the link, from one place so that tests can shorten them. The defaults are the
// keyboard's timings.
struct LinkTimings {
    std::chrono::milliseconds replyWait{1000};     // wait for one reply
    std::chrono::milliseconds retryPause{10};      // between two tries
    std::chrono::milliseconds overlapGuard{1001};  // when an earlier exchange is still marked as waiting
    std::chrono::milliseconds endPause{10};        // before command 2 (end of a write sequence)
    std::chrono::milliseconds readyPoll{50};       // device thread waiting for the main window
    std::chrono::milliseconds trayPoll{1};         // macro-playback icon updates waiting for each other
};

// State shared by the main window, the device thread and the status callback (threads of the library): every
// field is atomic.
struct LinkState {
    std::atomic<int> devicePresent{0};       // last device count the device thread acted on; 0 = none
    std::atomic<int> currentProfile{-1};     // cached on-board profile 0..2; -1 = unknown
    std::atomic<uint32_t> macroCapacity{0};  // bytes of macro memory (MacroCapacityOf the settings)
    std::atomic<int> autoShowDone{0};        // 1 once the window may no longer open by itself
    std::atomic<bool> layerB{false};         // the G keys' active layer
    std::atomic<bool> mainWindowReady{false};
    std::atomic<uint32_t> ledRequestId{0};
    std::atomic<uint32_t> consRequestId{0};
    std::atomic<uint32_t> ctrlRequestId{0};
};

class DeviceLink {
  public:
    virtual ~DeviceLink() = default;

    virtual LinkState& state() = 0;

    // Number of attached keyboards; 0 = none.
    virtual int GetDeviceCount() = 0;

    // Sends one command (padded to 64 bytes) and waits for its reply; see kLink*. The reply is cut to
    // reply.size(); *received gets its length.
    virtual int SendCommand(std::span<const uint8_t> command, std::span<uint8_t> reply, size_t* received) = 0;

    // Command wrappers: 1 on success, the SendCommand result when it is not 1, kLinkStatusFF / kLinkStatusFE
    // when the reply's status byte says so.
    virtual int BeginSequence() = 0;                            // 1
    virtual int EndSequence() = 0;                              // 2, after the end pause
    virtual int ReadSettings(SettingsBlock& out) = 0;           // 3
    virtual int WriteSettings(const SettingsBlock& block) = 0;  // 4
    // 5: reads out.size() bytes (at most 56) of the lighting area from offset (profile x 42 + field).
    virtual int ReadLightingArea(uint16_t offset, std::span<uint8_t> out) = 0;
    // 6: writes at most 56 bytes into the lighting area.
    virtual int WriteLightingArea(uint16_t offset, std::span<const uint8_t> data) = 0;
    virtual int ReadKeyBlock(int index, KeyBlockBytes& out) = 0;           // 7, in pieces of 56
    virtual int WriteKeyBlock(int index, const KeyBlockBytes& block) = 0;  // 8, in pieces of 56
    virtual int ReadMacroArea(std::span<uint8_t> out) = 0;          // 9: out.size() bytes from offset 0
    virtual int WriteMacroArea(std::span<const uint8_t> data) = 0;  // 10: from offset 0
    virtual int ReadDefaultLayout(KeyBlockBytes& out) = 0;          // 15
    // 17: per-key colours; positionField = first MatrixPosition x 3 + profile x 512; at most 56 bytes.
    virtual int WriteKeyColours(uint16_t positionField, std::span<const uint8_t> data) = 0;
    // 0xEE, sent without waiting for a reply: the result of the library's write (accepted only when exactly
    // 1).
    virtual int RequestBootMode() = 0;

    // The keyboard lock (device/keyboard_lock.h), held by this process from HoldKeyboard to the matching
    // LetKeyboardGo; holds nest. A sequence and every exchange hold it by themselves; hold it around what
    // must not be cut, such as reading a block, changing it and writing it back. Never across a prompt.
    virtual void HoldKeyboard() {}
    virtual void LetKeyboardGo() {}
};

class KeyboardHold {
  public:
    explicit KeyboardHold(DeviceLink& link) : link_(link) { link_.HoldKeyboard(); }
    ~KeyboardHold() { link_.LetKeyboardGo(); }
    KeyboardHold(const KeyboardHold&) = delete;
    KeyboardHold& operator=(const KeyboardHold&) = delete;

  private:
    DeviceLink& link_;
};

}  // namespace vornak
