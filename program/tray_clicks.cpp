#include "program/tray_clicks.h"

namespace vornak {

TrayClick TrayClickSorter::Activated(int64_t nowMs) {
    if (doubleAt_ && nowMs - *doubleAt_ <= interval_) return TrayClick::None;
    if (pendingSince_ && nowMs - *pendingSince_ <= interval_) {
        pendingSince_.reset();
        doubleAt_ = nowMs;
        return TrayClick::Open;
    }
    pendingSince_ = nowMs;
    return TrayClick::None;
}

TrayClick TrayClickSorter::DoubleClicked(int64_t nowMs) {
    if (doubleAt_ && nowMs - *doubleAt_ <= interval_) {
        // The same double click, reported both ways.
        pendingSince_.reset();
        return TrayClick::None;
    }
    pendingSince_.reset();
    doubleAt_ = nowMs;
    return TrayClick::Open;
}

std::optional<int64_t> TrayClickSorter::deadline() const {
    if (!pendingSince_) return std::nullopt;
    return *pendingSince_ + interval_;
}

TrayClick TrayClickSorter::Expire(int64_t nowMs) {
    if (!pendingSince_ || nowMs < *pendingSince_ + interval_) return TrayClick::None;
    pendingSince_.reset();
    return TrayClick::SceneMenu;
}

}  // namespace vornak
