// Real input on a wlroots compositor for the end-to-end tests: a virtual pointer and a virtual keyboard,
// driven by a list of actions on the command line, in order:
//
//   wl_input [--screen WxH] ACTION...
//     move X Y          the pointer to screen coordinates (absolute, over a screen of WxH, 1280x800 by
//     default) click X Y         move there, press and release the left button rclick X Y        the same
//     with the right button dblclick X Y      two clicks in quick succession down X Y | up X Y the left
//     button pressed or released there (a drag moves in between) key COMBO         a key by its XKB name,
//     modifiers before it: b, Escape, ctrl+z, shift+F5 type TEXT         each character as the key that types
//     it (with Shift where it needs it) sleep MS
//
// Without actions it reads them from its standard input, one a line, and answers each with a line "ok" (or
// "error ..."): the devices then stay on the seat between actions, as a user's do. Each new keyboard makes
// the compositor announce it to every client, and keys sent before a client has taken it up are lost.
//
// Exits 0 when every action was sent, 2 on a wrong action, 3 when the compositor lacks one of the protocols.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat) {
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        g->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        g->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry{OnGlobal, OnGlobalRemove};

uint32_t Now() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Where a key symbol sits on the keymap: its evdev code and whether Shift reaches it.
struct KeyPlace {
    uint32_t evdev = 0;
    bool shifted = false;
};

class Input {
  public:
    Input(wl_display* display, const Globals& g, int width, int height)
        : display_(display), width_(width), height_(height) {
        pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointers, g.seat);
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g.keyboards, g.seat);
        context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        keymap_ = xkb_keymap_new_from_names(context_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    ~Input() {
        zwlr_virtual_pointer_v1_destroy(pointer_);
        zwp_virtual_keyboard_v1_destroy(keyboard_);
        wl_display_roundtrip(display_);
        xkb_keymap_unref(keymap_);
        xkb_context_unref(context_);
    }

    bool SendKeymap() {
        if (!keymap_) return false;
        char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
        const size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("wl_input-keymap", MFD_CLOEXEC);
        const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
        std::free(text);
        if (!written) return false;
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<uint32_t>(size));
        close(fd);
        return wl_display_roundtrip(display_) >= 0;
    }

    void Move(int x, int y) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer_, Now(), static_cast<uint32_t>(x),
                                                static_cast<uint32_t>(y), static_cast<uint32_t>(width_),
                                                static_cast<uint32_t>(height_));
        zwlr_virtual_pointer_v1_frame(pointer_);
        Flush(30);
    }
    void Button(uint32_t button, bool pressed) {
        zwlr_virtual_pointer_v1_button(
            pointer_, Now(), button,
            pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer_);
        Flush(20);
    }

    // A combination such as "ctrl+shift+Tab": the modifiers held while the last key goes down and up.
    bool Combo(const std::string& combo) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t plus; (plus = combo.find('+', start)) != std::string::npos && plus + 1 < combo.size();
             start = plus + 1) {
            parts.push_back(combo.substr(start, plus - start));
        }
        parts.push_back(combo.substr(start));
        const std::string last = parts.back();
        parts.pop_back();
        std::vector<std::pair<KeyPlace, uint32_t>> held;
        uint32_t mods = 0;
        for (const std::string& name : parts) {
            const auto modifier = Modifier(name);
            if (!modifier) {
                std::fprintf(stderr, "wl_input: %s is no modifier\n", name.c_str());
                return false;
            }
            held.push_back(*modifier);
        }
        const xkb_keysym_t sym = xkb_keysym_from_name(last.c_str(), XKB_KEYSYM_NO_FLAGS);
        const auto place = sym == XKB_KEY_NoSymbol ? std::nullopt : Find(sym);
        if (!place) {
            std::fprintf(stderr, "wl_input: no key %s on the keymap\n", last.c_str());
            return false;
        }
        if (place->shifted) held.push_back(*Modifier("shift"));
        for (const auto& [key, mask] : held) {
            mods |= mask;
            Key(key.evdev, true);
            Modifiers(mods);
        }
        Key(place->evdev, true);
        Key(place->evdev, false);
        for (auto it = held.rbegin(); it != held.rend(); ++it) {
            mods &= ~it->second;
            Key(it->first.evdev, false);
            Modifiers(mods);
        }
        return true;
    }

    bool Type(const std::string& text) {
        for (const char c : text) {
            const xkb_keysym_t sym = xkb_utf32_to_keysym(static_cast<unsigned char>(c));
            char name[64];
            if (xkb_keysym_get_name(sym, name, sizeof name) < 0 || !Combo(name)) return false;
        }
        return true;
    }

  private:
    std::optional<KeyPlace> Find(xkb_keysym_t wanted) const {
        for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap_); code <= xkb_keymap_max_keycode(keymap_);
             ++code) {
            for (xkb_level_index_t level = 0; level < 2; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int n = xkb_keymap_key_get_syms_by_level(keymap_, code, 0, level, &syms);
                if (n == 1 && syms[0] == wanted) return KeyPlace{code - 8, level == 1};
            }
        }
        return std::nullopt;
    }
    std::optional<std::pair<KeyPlace, uint32_t>> Modifier(const std::string& name) const {
        struct Known {
            const char* name;
            const char* key;
            const char* mod;
        };
        static constexpr Known kKnown[] = {{"ctrl", "Control_L", XKB_MOD_NAME_CTRL},
                                           {"shift", "Shift_L", XKB_MOD_NAME_SHIFT},
                                           {"alt", "Alt_L", XKB_MOD_NAME_ALT},
                                           {"super", "Super_L", XKB_MOD_NAME_LOGO}};
        for (const Known& k : kKnown) {
            if (name != k.name) continue;
            const auto place = Find(xkb_keysym_from_name(k.key, XKB_KEYSYM_NO_FLAGS));
            const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap_, k.mod);
            if (!place || index == XKB_MOD_INVALID) return std::nullopt;
            return std::make_pair(*place, uint32_t{1} << index);
        }
        return std::nullopt;
    }
    void Key(uint32_t evdev, bool pressed) {
        zwp_virtual_keyboard_v1_key(keyboard_, Now(), evdev,
                                    pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
        Flush(25);
    }
    void Modifiers(uint32_t depressed) {
        zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed, 0, 0, 0);
        Flush(10);
    }
    // The compositor has taken every request before the next one comes, and the client has had its time.
    void Flush(int ms) {
        wl_display_roundtrip(display_);
        Pause(ms);
    }

    wl_display* display_;
    int width_;
    int height_;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
};

int Usage(const char* why) {
    std::fprintf(stderr, "wl_input: %s\n", why);
    return 2;
}

int Run(Input& input, const std::vector<std::string>& args) {
    const auto point = [&](size_t i, int* x, int* y) {
        return i + 2 < args.size() && std::sscanf(args[i + 1].c_str(), "%d", x) == 1 &&
               std::sscanf(args[i + 2].c_str(), "%d", y) == 1;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int x = 0;
        int y = 0;
        if (a == "move" || a == "click" || a == "rclick" || a == "dblclick" || a == "down" || a == "up") {
            if (!point(i, &x, &y)) return Usage("a pointer action takes X Y");
            i += 2;
            input.Move(x, y);
            const uint32_t button = a == "rclick" ? BTN_RIGHT : BTN_LEFT;
            const int clicks = a == "dblclick" ? 2 : (a == "click" || a == "rclick") ? 1 : 0;
            for (int c = 0; c < clicks; ++c) {
                input.Button(button, true);
                input.Button(button, false);
            }
            if (a == "down" || a == "up") input.Button(BTN_LEFT, a == "down");
        } else if (a == "key" && i + 1 < args.size()) {
            if (!input.Combo(args[++i])) return 2;
        } else if (a == "type" && i + 1 < args.size()) {
            if (!input.Type(args[++i])) return 2;
        } else if (a == "sleep" && i + 1 < args.size()) {
            Pause(std::atoi(args[++i].c_str()));
        } else {
            return Usage(("unknown action " + a).c_str());
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int width = 1280;
    int height = 800;
    if (args.size() >= 2 && args[0] == "--screen") {
        if (std::sscanf(args[1].c_str(), "%dx%d", &width, &height) != 2) return Usage("--screen takes WxH");
        args.erase(args.begin(), args.begin() + 2);
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wl_input: no Wayland display\n");
        return 3;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, &globals);
    wl_display_roundtrip(display);
    if (!globals.seat || !globals.keyboards || !globals.pointers) {
        std::fprintf(stderr,
                     "wl_input: the compositor offers no seat, virtual keyboard or virtual pointer\n");
        return 3;
    }
    int rc = 0;
    {
        Input input(display, globals, width, height);
        if (!input.SendKeymap()) {
            std::fprintf(stderr, "wl_input: no keymap\n");
            return 3;
        }
        if (!args.empty()) {
            rc = Run(input, args);
        } else {
            std::string line;
            char buffer[4096];
            while (std::fgets(buffer, sizeof buffer, stdin)) {
                line = buffer;
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                    line.pop_back();
                std::vector<std::string> words;
                // "type" takes the rest of the line as its text.
                if (line.rfind("type ", 0) == 0) {
                    words = {"type", line.substr(5)};
                } else {
                    size_t at = 0;
                    while (at < line.size()) {
                        const size_t space = line.find(' ', at);
                        const size_t stop = space == std::string::npos ? line.size() : space;
                        if (stop > at) words.push_back(line.substr(at, stop - at));
                        at = stop + 1;
                    }
                }
                if (words.empty()) continue;
                const int result = Run(input, words);
                if (result == 0) {
                    std::printf("ok\n");
                } else {
                    std::printf("error %s\n", line.c_str());
                }
                std::fflush(stdout);
            }
        }
    }
    wl_registry_destroy(registry);
    if (globals.keyboards) zwp_virtual_keyboard_manager_v1_destroy(globals.keyboards);
    if (globals.pointers) zwlr_virtual_pointer_manager_v1_destroy(globals.pointers);
    if (globals.seat) wl_seat_destroy(globals.seat);
    wl_display_disconnect(display);
    return rc;
}
