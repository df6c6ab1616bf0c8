// The device thread: what the program does when a keyboard is attached or removed.
#include "device/port_hub_link.h"

namespace vornak {

void PortHubLink::DeviceStateThread(int count, uint64_t ticket) {
    // Notifications are handled in the order they arrived: an attach still being read when the removal comes
    // must finish first, or the removal would compare itself with a stale devicePresent and be lost.
    {
        std::unique_lock lock(deviceMutex_);
        deviceCv_.wait(lock, [&] { return servingTicket_ == ticket || closing(); });
        if (closing()) return;
    }
    RunDeviceState(count);
    {
        std::lock_guard lock(deviceMutex_);
        ++servingTicket_;
    }
    deviceCv_.notify_all();
}

void PortHubLink::RunDeviceState(int count) {
    if (count == state_.devicePresent.load()) return;
    LinkEvents* events = events_.load();
    if (count != 0) {
        KeyBlockBytes layout{};
        SettingsBlock settings{};
        int layoutRead;
        int settingsRead;
        {
            std::unique_lock<std::mutex> traffic;
            if (traffic_ != nullptr) traffic = std::unique_lock(*traffic_);
            layoutRead = ReadDefaultLayout(layout);
            settingsRead = ReadSettings(settings);
        }
        if (layoutRead == kLinkOk) {
            std::lock_guard lock(layoutMutex_);
            defaultLayout_ = layout;
        } else if (events != nullptr && !closing()) {
            events->ShowMessage(TextId::MAIN_DEFAULT_MATRIX_PROMPT);
        }
        if (settingsRead == kLinkOk) state_.macroCapacity.store(MacroCapacityOf(settings));
        if (events != nullptr && !closing()) events->ProfileRead();
    } else if (state_.devicePresent.load() != 0) {
        state_.currentProfile.store(-1);
        if (events != nullptr && !closing()) {
            events->DeviceGone();
            events->HideMainWindow();
        }
    }
    while (!state_.mainWindowReady.load()) {
        if (!Pause(timings_.readyPoll)) return;
    }
    const int icon = count != 0 ? kTrayIconKeyboard : kTrayIconNoKeyboard;
    {
        std::lock_guard lock(trayMutex_);
        baseIcon_.store(icon);
        if (events != nullptr && !closing()) events->SetTrayIcon(TrayIconMode::Base, icon);
    }
    state_.devicePresent.store(count);
    if (state_.autoShowDone.exchange(1) == 0 && count != 0 && events != nullptr && !closing())
        events->ShowMainWindow();
}

}  // namespace vornak
