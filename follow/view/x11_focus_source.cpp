// X11's active window: the window manager keeps _NET_ACTIVE_WINDOW on the root window. Its changes arrive as
// property events on a connection of our own (so X11 windows under Xwayland are seen as well), read when its
// socket is readable: nothing runs while the focus stays where it is.
#include <xcb/xcb.h>

#include <QSocketNotifier>
#include <cstring>

#include "follow/view/follow_driver.h"

namespace vornak {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return atom;
}

class X11FocusSource : public FocusSource {
  public:
    X11FocusSource(FollowDriver& driver, xcb_connection_t* c, xcb_window_t root)
        : driver_(driver), c_(c), root_(root), notifier_(xcb_get_file_descriptor(c), QSocketNotifier::Read) {
        active_ = Atom(c_, "_NET_ACTIVE_WINDOW");
        netName_ = Atom(c_, "_NET_WM_NAME");
        utf8_ = Atom(c_, "UTF8_STRING");
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { Read(); });
        ActiveChanged();
        Read();  // events the replies above queued without the socket saying so
    }
    ~X11FocusSource() override {
        notifier_.setEnabled(false);
        xcb_disconnect(c_);
    }

    QString name() const override { return QStringLiteral("x11"); }

  private:
    void Read() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
            if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                if (p->window == root_ && p->atom == active_) {
                    ActiveChanged();
                } else if (p->window == window_ && window_ != XCB_WINDOW_NONE &&
                           (p->atom == netName_ || p->atom == XCB_ATOM_WM_NAME)) {
                    driver_.ActiveTitleChanged(Title(window_));
                }
            }
            free(e);
        }
        if (xcb_connection_has_error(c_)) notifier_.setEnabled(false);  // the X server went away
    }

    void ActiveChanged() {
        xcb_window_t w = XCB_WINDOW_NONE;
        auto cookie = xcb_get_property(c_, 0, root_, active_, XCB_ATOM_WINDOW, 0, 1);
        if (xcb_get_property_reply_t* r = xcb_get_property_reply(c_, cookie, nullptr)) {
            if (xcb_get_property_value_length(r) >= 4) std::memcpy(&w, xcb_get_property_value(r), 4);
            free(r);
        }
        if (w == window_) return;
        // The title of the window in front only: stop hearing the one before.
        const uint32_t none = 0;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        if (window_ != XCB_WINDOW_NONE) xcb_change_window_attributes(c_, window_, XCB_CW_EVENT_MASK, &none);
        window_ = w;
        if (w == XCB_WINDOW_NONE) {
            xcb_flush(c_);
            driver_.ActiveWindowChanged(QString(), QString());
            return;
        }
        xcb_change_window_attributes(c_, w, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
        driver_.ActiveWindowChanged(WmClass(w), Title(w));
    }

    QByteArray Property(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
        auto cookie = xcb_get_property(c_, 0, w, property, type, 0, 1024);
        xcb_get_property_reply_t* r = xcb_get_property_reply(c_, cookie, nullptr);
        if (r == nullptr) return {};
        QByteArray value(static_cast<const char*>(xcb_get_property_value(r)),
                         xcb_get_property_value_length(r));
        free(r);
        return value;
    }

    // WM_CLASS holds the instance and the class name, each ending in a zero: the class names the application
    // ("firefox", "XTerm").
    QString WmClass(xcb_window_t w) {
        const QByteArray both = Property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        const int end = both.indexOf('\0');
        if (end < 0) return QString::fromLatin1(both);
        const QByteArray cls = both.mid(end + 1);
        const int clsEnd = cls.indexOf('\0');
        return QString::fromLatin1(clsEnd < 0 ? cls : cls.left(clsEnd));
    }

    QString Title(xcb_window_t w) {
        const QByteArray net = Property(w, netName_, utf8_);
        if (!net.isEmpty()) return QString::fromUtf8(net);
        return QString::fromLatin1(Property(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING));
    }

    FollowDriver& driver_;
    xcb_connection_t* c_;
    xcb_window_t root_;
    QSocketNotifier notifier_;
    xcb_atom_t active_ = XCB_ATOM_NONE;
    xcb_atom_t netName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8_ = XCB_ATOM_NONE;
    xcb_window_t window_ = XCB_WINDOW_NONE;
};

}  // namespace

std::unique_ptr<FocusSource> StartX11FocusSource(FollowDriver& driver) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return nullptr;
    int screenNo = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNo);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNo && it.rem > 0; ++i)
        xcb_screen_next(&it);
    if (it.rem == 0) {
        xcb_disconnect(c);
        return nullptr;
    }
    return std::make_unique<X11FocusSource>(driver, c, it.data->root);
}

}  // namespace vornak
