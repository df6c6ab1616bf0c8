// The focus on wlroots compositors (sway, Hyprland, labwc, river, Wayfire): their toplevel list marks the
// activated window. A Wayland connection of our own, read when its socket is readable, so nothing runs while
// the focus stays where it is; Xwayland windows are in the list too, with their WM_CLASS as app id.
#include <wayland-client.h>

#include <QSocketNotifier>
#include <cstring>
#include <map>

#include "follow/view/follow_driver.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace vornak {

namespace {

class WlrootsFocusSource : public FocusSource {
  public:
    WlrootsFocusSource(FollowDriver& driver, wl_display* display) : driver_(driver), display_(display) {}

    ~WlrootsFocusSource() override {
        notifier_.reset();
        for (auto& [handle, window] : windows_)
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
        if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
        if (registry_) wl_registry_destroy(registry_);
        wl_display_disconnect(display_);
    }

    // False when the compositor offers no toplevel list.
    bool Start() {
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistry, this);
        if (wl_display_roundtrip(display_) < 0 || manager_ == nullptr) return false;
        zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &kManager, this);
        // The windows already open, with their states.
        if (wl_display_roundtrip(display_) < 0) return false;
        notifier_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Read(); });
        wl_display_flush(display_);
        return true;
    }

    QString name() const override { return QStringLiteral("wlroots"); }

  private:
    struct Window {
        QString appId, title;          // as of the last done
        QString nextAppId, nextTitle;  // sent since
        bool activated = false;
        bool nextActivated = false;
    };

    void Read() {
        if (wl_display_prepare_read(display_) == 0) {
            if (wl_display_read_events(display_) < 0) {
                notifier_->setEnabled(false);  // the compositor went away
                return;
            }
        }
        wl_display_dispatch_pending(display_);
        wl_display_flush(display_);
    }

    void Done(zwlr_foreign_toplevel_handle_v1* handle) {
        Window& w = windows_[handle];
        const bool wasActive = w.activated;
        const bool titleOnly =
            w.activated && w.nextActivated && w.appId == w.nextAppId && w.title != w.nextTitle;
        w.appId = w.nextAppId;
        w.title = w.nextTitle;
        w.activated = w.nextActivated;
        if (w.activated && !wasActive) {
            active_ = handle;
            driver_.ActiveWindowChanged(w.appId, w.title);
        } else if (titleOnly && active_ == handle) {
            driver_.ActiveTitleChanged(w.title);
        } else if (!w.activated && active_ == handle) {
            // The focus left for no window of the list (a layer surface, an empty workspace).
            active_ = nullptr;
            driver_.ActiveWindowChanged(QString(), QString());
        }
    }

    void Closed(zwlr_foreign_toplevel_handle_v1* handle) {
        if (active_ == handle) active_ = nullptr;
        windows_.erase(handle);
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }

    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0 && !self->manager_) {
            self->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
                registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min<uint32_t>(version, 3)));
        }
    }
    static void GlobalRemove(void*, wl_registry*, uint32_t) {}

    static void Toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        self->windows_[handle] = Window{};
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandle, self);
    }
    static void Finished(void* data, zwlr_foreign_toplevel_manager_v1*) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(self->manager_);
        self->manager_ = nullptr;
    }

    static void Title(void* data, zwlr_foreign_toplevel_handle_v1* h, const char* title) {
        static_cast<WlrootsFocusSource*>(data)->windows_[h].nextTitle = QString::fromUtf8(title);
    }
    static void AppId(void* data, zwlr_foreign_toplevel_handle_v1* h, const char* appId) {
        static_cast<WlrootsFocusSource*>(data)->windows_[h].nextAppId = QString::fromUtf8(appId);
    }
    static void OutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void OutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void State(void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
        bool activated = false;
        const auto* s = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            activated = activated || s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        static_cast<WlrootsFocusSource*>(data)->windows_[h].nextActivated = activated;
    }
    static void DoneEvent(void* data, zwlr_foreign_toplevel_handle_v1* h) {
        static_cast<WlrootsFocusSource*>(data)->Done(h);
    }
    static void ClosedEvent(void* data, zwlr_foreign_toplevel_handle_v1* h) {
        static_cast<WlrootsFocusSource*>(data)->Closed(h);
    }
    static void Parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr wl_registry_listener kRegistry{Global, GlobalRemove};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManager{Toplevel, Finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener kHandle{
        Title, AppId, OutputEnter, OutputLeave, State, DoneEvent, ClosedEvent, Parent};

    FollowDriver& driver_;
    wl_display* display_;
    wl_registry* registry_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    std::map<zwlr_foreign_toplevel_handle_v1*, Window> windows_;
    zwlr_foreign_toplevel_handle_v1* active_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

std::unique_ptr<FocusSource> StartWlrootsFocusSource(FollowDriver& driver) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return nullptr;
    auto source = std::make_unique<WlrootsFocusSource>(driver, display);
    if (!source->Start()) return nullptr;
    return source;
}

}  // namespace vornak
