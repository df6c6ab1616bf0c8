// The lock that keeps a write sequence on one keyboard whole against every other process of ours: the
// program, vornakctl, a second copy. The link takes it for each begin ... end sequence and for each single
// exchange outside one, so another process's reports never land inside a sequence and its replies never reach
// a waiting exchange. It is never held while the user is asked something.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vornak {

class KeyboardLock {
  public:
    virtual ~KeyboardLock() = default;
    // Waits until this process holds the keyboard. pause(d) waits d between two looks and returns false when
    // the wait must end (the link is closing): Acquire then returns false without the lock.
    virtual bool Acquire(const std::function<bool(std::chrono::milliseconds)>& pause) = 0;
    virtual void Release() = 0;
};

// An advisory lock (flock) on a file named afresh at each Acquire: a real keyboard's hidraw node, whose
// number changes when it is plugged in again, or the simulated keyboard's lock file. No name, or a file that
// cannot be opened, means nothing to lock: the keyboard is the process's own.
class FileKeyboardLock final : public KeyboardLock {
  public:
    explicit FileKeyboardLock(std::function<std::string()> path) : path_(std::move(path)) {}
    ~FileKeyboardLock() override { Release(); }
    FileKeyboardLock(const FileKeyboardLock&) = delete;
    FileKeyboardLock& operator=(const FileKeyboardLock&) = delete;

    bool Acquire(const std::function<bool(std::chrono::milliseconds)>& pause) override;
    void Release() override;

  private:
    std::function<std::string()> path_;
    int fd_ = -1;
};

}  // namespace vornak
