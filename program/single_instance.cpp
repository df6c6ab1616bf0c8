#include "program/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/bytes.h"

namespace vornak {

namespace fs = std::filesystem;

namespace {

constexpr int kAnswerWaitMs = 2000;
constexpr uint8_t kAck = 1;
constexpr uint8_t kAckEnding = 2;

bool FillAddress(const fs::path& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    const std::string s = path.string();
    if (s.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, s.c_str(), s.size() + 1);
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        return r > 0 && (p.revents & events);
    }
}

}  // namespace

std::array<uint8_t, kInstanceRequestSize> EncodeInstanceRequest(uint32_t message, uint32_t tag) {
    std::array<uint8_t, kInstanceRequestSize> out{};
    WriteLe32(out, 0, message);
    WriteLe32(out, 4, tag);
    return out;
}

std::array<uint8_t, kInstanceRequestSize> EncodeInstanceRequest(InstanceMessage message) {
    return message == InstanceMessage::Open ? EncodeInstanceRequest(kMsgOpen, kTagOpen)
                                            : EncodeInstanceRequest(kMsgKill, kTagKill);
}

std::optional<InstanceMessage> AcceptInstanceRequest(std::span<const uint8_t> bytes, uid_t peer, uid_t own) {
    if (peer != own || bytes.size() < kInstanceRequestSize) return std::nullopt;
    const uint32_t message = ReadLe32(bytes, 0);
    const uint32_t tag = ReadLe32(bytes, 4);
    if (message == kMsgOpen && tag == kTagOpen) return InstanceMessage::Open;
    if (message == kMsgKill && tag == kTagKill) return InstanceMessage::Kill;
    return std::nullopt;
}

std::optional<InstancePaths> FindInstancePaths(const EnvironmentLookup& env, std::string* error) {
    fs::path folder;
    if (auto runtime = env("XDG_RUNTIME_DIR"); runtime && !runtime->empty()) {
        folder = *runtime;
    } else {
        // Our own folder, which nobody else may have made for us.
        std::error_code ec;
        folder = fs::temp_directory_path(ec) / ("vornak-" + std::to_string(::getuid()));
        ::mkdir(folder.c_str(), 0700);
        struct stat st {};
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
            (st.st_mode & 0077) != 0) {
            if (error) *error = folder.string() + " is not a folder of this user's alone";
            return std::nullopt;
        }
    }
    return InstancePaths{folder / "vornak.socket", folder / "vornak.lock"};
}

InstanceAnswer SendToRunningInstance(const InstancePaths& paths, InstanceMessage message) {
    sockaddr_un addr{};
    if (!FillAddress(paths.socket, addr)) return InstanceAnswer::None;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return InstanceAnswer::None;
    InstanceAnswer taken = InstanceAnswer::None;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
        const auto request = EncodeInstanceRequest(message);
        uint8_t answer = 0;
        if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(request.size()) &&
            WaitFor(fd, POLLIN, kAnswerWaitMs) && ::recv(fd, &answer, 1, 0) == 1) {
            if (answer == kAck) taken = InstanceAnswer::Taken;
            if (answer == kAckEnding) taken = InstanceAnswer::Ending;
        }
    }
    ::close(fd);
    return taken;
}

InstanceServer::~InstanceServer() {
    Stop();
}

bool InstanceServer::TryLock(const InstancePaths& paths) {
    if (lockFd_ >= 0) return true;
    const int fd = ::open(paths.lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool InstanceServer::Listen(const InstancePaths& paths, Handler handler, std::string* error) {
    paths_ = paths;
    handler_ = std::move(handler);
    sockaddr_un addr{};
    if (!FillAddress(paths.socket, addr)) {
        if (error) *error = paths.socket.string() + ": path too long for a local socket";
        return false;
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        if (error) *error = std::string("cannot create a local socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(paths.socket.c_str());
    // Owner-only from the moment it exists.
    const mode_t old = ::umask(0077);
    const int bound = ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    ::umask(old);
    if (bound != 0 || ::listen(listenFd_, 8) != 0 || ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        if (error) *error = paths.socket.string() + ": " + std::strerror(errno);
        CloseFd(listenFd_);
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void InstanceServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (fds[1].revents & POLLIN)) return;
        if (!(fds[0].revents & POLLIN)) continue;
        const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        std::array<uint8_t, kInstanceRequestSize> bytes{};
        size_t got = 0;
        while (got < bytes.size() && WaitFor(client, POLLIN, kAnswerWaitMs)) {
            const ssize_t n = ::recv(client, bytes.data() + got, bytes.size() - got, 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        ucred cred{};
        socklen_t len = sizeof cred;
        const bool known = ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0;
        const auto message =
            known ? AcceptInstanceRequest(std::span(bytes.data(), got), cred.uid, ::getuid()) : std::nullopt;
        if (message) {
            // An ending copy acts on nothing; a kill is what it does already.
            const bool ending = ending_.load();
            if (handler_ && !ending) handler_(*message);
            const uint8_t answer = ending && *message == InstanceMessage::Open ? kAckEnding : kAck;
            ::send(client, &answer, 1, MSG_NOSIGNAL);
        }
        ::close(client);
    }
}

bool InstanceServer::WaitForLock(const InstancePaths& paths, int timeoutMs) {
    constexpr int kStepMs = 20;
    for (int waited = 0;; waited += kStepMs) {
        if (TryLock(paths)) return true;
        if (waited >= timeoutMs) return false;
        ::usleep(kStepMs * 1000);
    }
}

void InstanceServer::Stop() {
    if (thread_.joinable()) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &wake, 1);
        thread_.join();
    }
    if (listenFd_ >= 0) {
        CloseFd(listenFd_);
        ::unlink(paths_.socket.c_str());
    }
    CloseFd(wakeFds_[0]);
    CloseFd(wakeFds_[1]);
    CloseFd(lockFd_);
}

InstanceDecision SettleSingleInstance(const CommandLine& args, const InstancePaths& paths,
                                      InstanceServer& server, InstanceServer::Handler handler,
                                      std::string* error) {
    if (args.kill) {
        SendToRunningInstance(paths, InstanceMessage::Kill);
        return InstanceDecision::EndHanded;
    }
    if (!server.TryLock(paths)) {
        const InstanceAnswer answer = SendToRunningInstance(paths, InstanceMessage::Open);
        if (answer == InstanceAnswer::Taken) return InstanceDecision::EndHanded;
        // Handed to an ending copy, the request would be lost: run once it has ended.
        if (answer == InstanceAnswer::Ending) server.WaitForLock(paths, kEndingWaitMs);
        // Nothing answering: the holder may be ending right now. It closes its socket a moment before it lets
        // go of the lock, so wait that moment; a holder that hangs keeps it, and this copy runs without it.
        if (answer == InstanceAnswer::None) server.WaitForLock(paths, kStoppedHolderWaitMs);
    }
    // Free, or held by a copy that does not answer: this process is the program.
    server.Listen(paths, std::move(handler), error);
    return InstanceDecision::Run;
}

}  // namespace vornak
