#include <wayland-client.h>

#include <qpa/qplatformnativeinterface.h>
#include <QGuiApplication>
#include <QWindow>
#include <cstring>

#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "widgets/shortcuts_inhibitor.h"

namespace vornak {

// The objects live on a queue of their own, so that Qt's dispatching of its queue never runs our listeners.
struct ShortcutsInhibitor::State {
    wl_display* display = nullptr;
    wl_event_queue* queue = nullptr;
    wl_registry* registry = nullptr;
    zwp_keyboard_shortcuts_inhibit_manager_v1* manager = nullptr;
    wl_seat* seat = nullptr;
    zwp_keyboard_shortcuts_inhibitor_v1* inhibitor = nullptr;
    bool bound = false;
    bool active = false;

    ~State() {
        DropInhibitor();
        if (manager) zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(manager);
        if (seat) wl_seat_destroy(seat);
        if (registry) wl_registry_destroy(registry);
        if (queue) wl_event_queue_destroy(queue);
        if (display) wl_display_flush(display);
    }

    void DropInhibitor() {
        if (!inhibitor) return;
        zwp_keyboard_shortcuts_inhibitor_v1_destroy(inhibitor);
        inhibitor = nullptr;
        active = false;
        wl_display_flush(display);
    }

    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        auto* s = static_cast<State*>(data);
        if (!s->manager &&
            std::strcmp(interface, zwp_keyboard_shortcuts_inhibit_manager_v1_interface.name) == 0) {
            s->manager = static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
        } else if (!s->seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
            s->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        }
    }
    static void GlobalRemove(void*, wl_registry*, uint32_t) {}
    static void Active(void* data, zwp_keyboard_shortcuts_inhibitor_v1*) {
        static_cast<State*>(data)->active = true;
    }
    static void Inactive(void* data, zwp_keyboard_shortcuts_inhibitor_v1*) {
        static_cast<State*>(data)->active = false;
    }

    bool Bind(wl_display* d) {
        if (bound) return manager && seat;
        bound = true;
        display = d;
        queue = wl_display_create_queue(display);
        auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
        registry = wl_display_get_registry(wrapper);
        wl_proxy_wrapper_destroy(wrapper);
        static const wl_registry_listener listener = {&Global, &GlobalRemove};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip_queue(display, queue);
        return manager && seat;
    }
};

ShortcutsInhibitor::ShortcutsInhibitor() : state_(std::make_unique<State>()) {}
ShortcutsInhibitor::~ShortcutsInhibitor() = default;

bool ShortcutsInhibitor::supported() {
    return true;
}

bool ShortcutsInhibitor::Inhibit(QWindow* window) {
    if (state_->inhibitor) return true;
    if (!window || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return false;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native) return false;
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
    if (!display || !surface || !state_->Bind(display)) return false;
    state_->inhibitor =
        zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(state_->manager, surface, state_->seat);
    static const zwp_keyboard_shortcuts_inhibitor_v1_listener listener = {&State::Active, &State::Inactive};
    zwp_keyboard_shortcuts_inhibitor_v1_add_listener(state_->inhibitor, &listener, state_.get());
    wl_display_flush(display);
    return true;
}

void ShortcutsInhibitor::Release() {
    state_->DropInhibitor();
}

bool ShortcutsInhibitor::requested() const {
    return state_->inhibitor != nullptr;
}

bool ShortcutsInhibitor::active() {
    if (state_->queue) wl_display_dispatch_queue_pending(state_->display, state_->queue);
    return state_->inhibitor && state_->active;
}

}  // namespace vornak
