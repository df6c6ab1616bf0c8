#include "program/window_dialog_host.h"

#include <mutex>

namespace vornak {

void WindowDialogHost::ReadEditCopy(const std::function<void(const EditCopy&)>& read) {
    std::lock_guard lock(store_.lockA());
    read(store_.edit());
}

bool WindowDialogHost::EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) {
    if (busy_()) return false;
    edit_(what, edit);
    return true;
}

}  // namespace vornak
