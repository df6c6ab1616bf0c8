// Live recording of a macro: while it is on, every key the user presses and releases in the dialog is turned
// into a press or release with the wait measured before it, and kept from every window.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "keyboard/key_table.h"
#include "macro/macro_record.h"
#include "platform/app_profile.h"
#include "texts/language_texts.h"

namespace vornak {

// Delays as recorded: the measured wait (capped), or every delay the same.
enum class RecordDelayMode : int { Fixed = 0, Measured = 1 };
inline constexpr uint32_t kFixedRecordDelayMs = 50;
// The wait given to a press the platform never reported, before its release.
inline constexpr uint32_t kUnreportedPressDelayMs = 2;
// A release followed this soon by a press of the same key is the key repeating, not the user (no one lets
// a key go and presses it again within this time), when the events carry no time stamps of their own.
inline constexpr uint32_t kRepeatPairMs = 20;
// How long a release is held back before it is recorded (the page's timer).
inline constexpr uint32_t kReleaseHoldMs = 200;

// Where recorded actions go (the macro editor's action list).
class MacroRecordTarget {
  public:
    virtual ~MacroRecordTarget() = default;
    // delay is the wait before this action, already fixed or capped by the delay mode.
    virtual void AddRecordedAction(const MacroAction& action) = 0;
};

class MacroRecorder {
  public:
    using Ticks = std::function<uint32_t()>;
    // Keys that keep their system function while recording (the multimedia keys).
    using PassedOn = std::function<bool(KeyCode)>;

    // ticks is read when each event arrives (never the events' own time stamps, which count from another
    // base), and at the start of recording.
    MacroRecorder(Ticks ticks, PassedOn passedOn);

    void Start(MacroRecordTarget& target);
    // A release still held back is recorded first.
    void Stop();
    bool recording() const { return target_ != nullptr; }

    void SetDelayMode(RecordDelayMode mode) { delayMode_ = mode; }
    RecordDelayMode delayMode() const { return delayMode_; }

    // A key event as the dialog's key filter reports it: the virtual key, the keystroke flags (scan code in
    // bits 16..24, previous state bit 30, release bit 31) and the window system's time stamp (0 unknown).
    // True when the event is swallowed; events that are no key, multimedia keys and everything while not
    // recording are passed on.
    bool OnKeyEvent(uint8_t vk, uint32_t flags, uint32_t eventTime = 0);

    // A release is held back until the next event or until this is called (kReleaseHoldMs later): an X
    // server repeats a held key as release and press pairs, and a pair that reaches the program unmarked is
    // told from a real release only by the press that follows, with the same time stamp (or, without time
    // stamps, within kRepeatPairMs). The row goes in with the time the release arrived.
    void Flush();
    bool releasePending() const { return pending_.has_value(); }

  private:
    struct PendingRelease {
        KeyCode code;
        uint32_t tick;
        uint32_t eventTime;
    };
    bool RepeatsPending(KeyCode code, uint32_t now, uint32_t eventTime) const;
    uint32_t Delay(uint32_t measured) const;
    void Add(uint32_t measured, KeyCode code, bool release);

    Ticks ticks_;
    PassedOn passedOn_;
    MacroRecordTarget* target_ = nullptr;
    uint32_t lastTick_ = 0;
    RecordDelayMode delayMode_ = RecordDelayMode::Fixed;
    std::bitset<0x200> down_;  // keys whose press was recorded and not yet their release
    std::optional<PendingRelease> pending_;
};

// Keys whose press some platforms never report: only their release arrives.
bool PressMayGoUnreported(KeyCode code);

// The record-delays setting of the application profile (key: the MACRO_ACTION_RECORD_DELAY text). Reading
// normalises it (anything but 1 is 0) and writes it back, as the dialog does when it opens.
RecordDelayMode LoadRecordDelayMode(const AppProfile& profile, const LanguageTexts& texts,
                                    std::string* error = nullptr);
bool SaveRecordDelayMode(const AppProfile& profile, const LanguageTexts& texts, RecordDelayMode mode,
                         std::string* error = nullptr);

}  // namespace vornak
