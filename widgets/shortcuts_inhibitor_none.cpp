// A build without the Wayland client library: nothing to ask.
#include "widgets/shortcuts_inhibitor.h"

namespace vornak {

struct ShortcutsInhibitor::State {};

ShortcutsInhibitor::ShortcutsInhibitor() = default;
ShortcutsInhibitor::~ShortcutsInhibitor() = default;

bool ShortcutsInhibitor::supported() {
    return false;
}

bool ShortcutsInhibitor::Inhibit(QWindow*) {
    return false;
}

void ShortcutsInhibitor::Release() {}

bool ShortcutsInhibitor::requested() const {
    return false;
}

bool ShortcutsInhibitor::active() {
    return false;
}

}  // namespace vornak
