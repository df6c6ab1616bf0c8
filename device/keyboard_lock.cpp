#include "device/keyboard_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vornak {

bool FileKeyboardLock::Acquire(const std::function<bool(std::chrono::milliseconds)>& pause) {
    Release();
    const std::string path = path_ ? path_() : std::string();
    if (path.empty()) return true;
    // Read-only and never created: a device node needs no write right to be locked, and a node that went
    // away must not come back as a plain file.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) return true;
    // flock cannot be given a time limit, so the wait looks again and again, soon at first.
    for (std::chrono::milliseconds wait{1};; wait = std::min(wait * 2, std::chrono::milliseconds(20))) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            Release();
            return true;
        }
        if (!pause(wait)) {
            Release();
            return false;
        }
    }
}

void FileKeyboardLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_);  // also lets the lock go
    fd_ = -1;
}

}  // namespace vornak
