// The link's events brought to the UI thread. The device thread and the library's threads call LinkEvents;
// the relay hands each call to the main window on the UI thread: blocking where the window must have acted
// before the caller goes on (profile read, removal, hide, messages), queued where the caller must return at
// once (layer, lighting change, tray icon, open). The UI thread is never blocked on these threads, so a
// blocking call always completes; at the end of the run Close() makes later calls return at once, and the UI
// thread keeps serving until idle() before the link is destroyed.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

#include "device/link_events.h"
#include "program/device_worker.h"

namespace vornak {

// Runs a function on the UI thread and returns once it has run (Qt: a blocking queued call). Never called on
// the UI thread itself.
using UiBlockingCall = std::function<void(std::function<void()>)>;

// The main window's side, on the UI thread.
class MainWindowEvents {
  public:
    virtual ~MainWindowEvents() = default;
    // The keyboard was attached and read: reload its configuration (a device job) and call finished once the
    // views show it; the device thread waits for that.
    virtual void OnProfileRead(std::function<void()> finished) = 0;
    virtual void OnDeviceGone() = 0;
    virtual void OnHideMainWindow() = 0;
    virtual void OnLedChanged(bool layerB) = 0;
    virtual void OnLightingChanged() = 0;
    virtual void OnTrayIcon(TrayIconMode mode, int iconId) = 0;
    virtual void OnOpen() = 0;
    virtual void OnMessage(TextId text) = 0;
};

class LinkRelay : public LinkEvents {
  public:
    LinkRelay(MainWindowEvents& window, UiPoster post, UiBlockingCall block);

    void ProfileRead() override;
    void DeviceGone() override;
    void HideMainWindow() override;
    void LedChanged(bool layerB) override;
    void LightingChanged() override;
    void SetTrayIcon(TrayIconMode mode, int iconId) override;
    void ShowMainWindow() override;
    void ShowMessage(TextId text) override;

    // UI thread, at the end of the run: calls from now on return at once, and a wait for a reload ends.
    void Close();
    // No call from another thread is in flight.
    bool idle() const;

  private:
    bool Enter();
    void Leave();
    void Block(const std::function<void()>& call);
    void Queue(std::function<void()> call);

    MainWindowEvents& window_;
    UiPoster post_;
    UiBlockingCall block_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool closed_ = false;
    int inFlight_ = 0;
};

}  // namespace vornak
