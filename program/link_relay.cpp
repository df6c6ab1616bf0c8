#include "program/link_relay.h"

#include <memory>

namespace vornak {

LinkRelay::LinkRelay(MainWindowEvents& window, UiPoster post, UiBlockingCall block)
    : window_(window), post_(std::move(post)), block_(std::move(block)) {}

bool LinkRelay::Enter() {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    ++inFlight_;
    return true;
}

void LinkRelay::Leave() {
    // Notified under the lock: once idle() sees no call in flight, this thread no longer touches the relay,
    // which may then be destroyed.
    std::lock_guard lock(mutex_);
    --inFlight_;
    cv_.notify_all();
}

void LinkRelay::Block(const std::function<void()>& call) {
    if (!Enter()) return;
    block_([this, &call] {
        // Close() may have come first on the UI thread while this call waited in the queue.
        bool closed;
        {
            std::lock_guard lock(mutex_);
            closed = closed_;
        }
        if (!closed) call();
    });
    Leave();
}

void LinkRelay::Queue(std::function<void()> call) {
    // In flight while it posts: the relay may be destroyed once idle(), and post_ is the relay's own.
    if (!Enter()) return;
    post_([this, call = std::move(call)] {
        bool closed;
        {
            std::lock_guard lock(mutex_);
            closed = closed_;
        }
        if (!closed) call();
    });
    Leave();
}

void LinkRelay::ProfileRead() {
    if (!Enter()) return;
    // The device thread goes on (tray icon, first open) only once the reload job has ended and the views show
    // the keyboard: the window then opens with the keyboard's keys, not the ones before.
    struct Done {
        bool set = false;
    };
    auto done = std::make_shared<Done>();
    block_([this, done] {
        bool closed;
        {
            std::lock_guard lock(mutex_);
            closed = closed_;
        }
        if (closed) return;
        window_.OnProfileRead([this, done] {
            std::lock_guard lock(mutex_);
            done->set = true;
            cv_.notify_all();
        });
    });
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return done->set || closed_; });
    }
    Leave();
}

void LinkRelay::DeviceGone() {
    Block([this] { window_.OnDeviceGone(); });
}

void LinkRelay::HideMainWindow() {
    Block([this] { window_.OnHideMainWindow(); });
}

void LinkRelay::ShowMessage(TextId text) {
    Block([this, text] { window_.OnMessage(text); });
}

void LinkRelay::LedChanged(bool layerB) {
    Queue([this, layerB] { window_.OnLedChanged(layerB); });
}

void LinkRelay::LightingChanged() {
    Queue([this] { window_.OnLightingChanged(); });
}

void LinkRelay::SetTrayIcon(TrayIconMode mode, int iconId) {
    Queue([this, mode, iconId] { window_.OnTrayIcon(mode, iconId); });
}

void LinkRelay::ShowMainWindow() {
    Queue([this] { window_.OnOpen(); });
}

void LinkRelay::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    cv_.notify_all();
}

bool LinkRelay::idle() const {
    std::lock_guard lock(mutex_);
    return inFlight_ == 0;
}

}  // namespace vornak
