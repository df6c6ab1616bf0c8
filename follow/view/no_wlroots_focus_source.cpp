// Built without the Wayland client library: no wlroots toplevel list.
#include "follow/view/follow_driver.h"

namespace vornak {

std::unique_ptr<FocusSource> StartWlrootsFocusSource(FollowDriver&) {
    return nullptr;
}

}  // namespace vornak
