// A private session bus for one test program: a dbus-daemon of its own, its address in
// DBUS_SESSION_BUS_ADDRESS for this process and the programs it starts. Make it before the first
// QDBusConnection::sessionBus().
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vornak::test {

class PrivateSessionBus {
  public:
    PrivateSessionBus() {
        FILE* out = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (out == nullptr) return;
        char line[512];
        if (std::fgets(line, sizeof line, out) != nullptr) address_ = Trim(line);
        if (std::fgets(line, sizeof line, out) != nullptr) pid_ = std::atoi(line);
        ::pclose(out);
        if (!address_.empty()) ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateSessionBus() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // False when no dbus-daemon could be started (the test is then skipped).
    bool running() const { return pid_ > 0 && !address_.empty(); }
    const std::string& address() const { return address_; }

  private:
    static std::string Trim(std::string s) {
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        return s;
    }
    std::string address_;
    pid_t pid_ = -1;
};

}  // namespace vornak::test
