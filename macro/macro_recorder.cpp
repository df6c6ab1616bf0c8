#include "macro/macro_recorder.h"

#include <algorithm>

namespace vornak {

namespace {

constexpr uint32_t kReleaseBit = 1u << 31;
constexpr uint32_t kPreviousStateBit = 1u << 30;

}  // namespace

bool PressMayGoUnreported(KeyCode code) {
    return code == 0x054 || code == 0x071 || code == 0x072 || code == 0x137;
}

MacroRecorder::MacroRecorder(Ticks ticks, PassedOn passedOn)
    : ticks_(std::move(ticks)), passedOn_(std::move(passedOn)) {}

void MacroRecorder::Start(MacroRecordTarget& target) {
    pending_.reset();
    target_ = &target;
    lastTick_ = ticks_();
    down_.reset();
}

void MacroRecorder::Stop() {
    Flush();
    target_ = nullptr;
    down_.reset();
}

void MacroRecorder::Flush() {
    if (!pending_ || !recording()) return;
    const PendingRelease r = *pending_;
    pending_.reset();
    Add(r.tick - lastTick_, r.code, true);
    lastTick_ = r.tick;
    down_.reset(r.code);
}

uint32_t MacroRecorder::Delay(uint32_t measured) const {
    return delayMode_ == RecordDelayMode::Measured ? std::min(measured, kMaxMacroDelayMs)
                                                   : kFixedRecordDelayMs;
}

void MacroRecorder::Add(uint32_t measured, KeyCode code, bool release) {
    target_->AddRecordedAction({Delay(measured), code, static_cast<uint16_t>(release ? 1 : 0)});
}

bool MacroRecorder::RepeatsPending(KeyCode code, uint32_t now, uint32_t eventTime) const {
    if (code != pending_->code) return false;
    if (eventTime != 0 && pending_->eventTime != 0) return eventTime == pending_->eventTime;
    return now - pending_->tick <= kRepeatPairMs;
}

bool MacroRecorder::OnKeyEvent(uint8_t vk, uint32_t flags, uint32_t eventTime) {
    if (!recording()) return false;
    const KeyCode code = KeyEventToKeyCode(vk, flags);
    if (code == 0 || code >= down_.size() || (passedOn_ && passedOn_(code))) return false;
    const bool release = (flags & kReleaseBit) != 0;
    // A held key repeats its press: only the first one counts. The down state also catches repeats from a
    // platform that does not mark them.
    if (!release && (flags & kPreviousStateBit) != 0) return true;

    // Subtraction modulo 2^32 keeps the wait right across a wrap of the tick count.
    const uint32_t now = ticks_();
    if (pending_) {
        if (!release && RepeatsPending(code, now, eventTime)) {
            pending_.reset();  // the key repeating: neither half is recorded, and it stays down
            return true;
        }
        Flush();
    }
    if (!release && down_.test(code)) return true;
    if (release && PressMayGoUnreported(code) && !down_.test(code)) {
        Add(kUnreportedPressDelayMs, code, false);
        down_.set(code);
    }
    if (release) {
        pending_ = PendingRelease{code, now, eventTime};
        return true;
    }
    Add(now - lastTick_, code, false);
    lastTick_ = now;
    down_.set(code);
    return true;
}

namespace {

// A language file without the text would leave the setting nameless.
std::u16string_view RecordDelayKey(const LanguageTexts& texts) {
    const std::u16string& key = texts[TextId::MACRO_ACTION_RECORD_DELAY];
    return key.empty() ? TextInfo(TextId::MACRO_ACTION_RECORD_DELAY).builtin : std::u16string_view(key);
}

}  // namespace

RecordDelayMode LoadRecordDelayMode(const AppProfile& profile, const LanguageTexts& texts,
                                    std::string* error) {
    const RecordDelayMode mode =
        profile.GetInt(RecordDelayKey(texts), 0) == 1 ? RecordDelayMode::Measured : RecordDelayMode::Fixed;
    SaveRecordDelayMode(profile, texts, mode, error);
    return mode;
}

bool SaveRecordDelayMode(const AppProfile& profile, const LanguageTexts& texts, RecordDelayMode mode,
                         std::string* error) {
    return profile.WriteInt(RecordDelayKey(texts), static_cast<int>(mode), error);
}

}  // namespace vornak
