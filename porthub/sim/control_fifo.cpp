#include "porthub/sim/control_fifo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vornak::sim {

std::optional<SimEvent> ParseControlLine(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line == "attach") return SimEvent::Attach;
    if (line == "detach") return SimEvent::Detach;
    if (line == "layer") return SimEvent::LayerSwitch;
    if (line == "macro-start") return SimEvent::MacroStart;
    if (line == "macro-stop") return SimEvent::MacroStop;
    if (line == "lighting-changed") return SimEvent::SettingsChanged;
    return std::nullopt;
}

std::optional<FaultModes> ParseFaultsLine(std::string_view line, std::string* error) {
    if (error != nullptr) error->clear();
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    constexpr std::string_view kWord = "faults";
    if (!line.starts_with(kWord)) return std::nullopt;
    const std::string_view rest = line.substr(kWord.size());
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t' && rest.front() != '\r')
        return std::nullopt;
    return ParseFaultModes(rest, error);
}

ControlFifo::ControlFifo(KeyboardSimulator& simulator, std::filesystem::path path)
    : ControlFifo(Target{[&simulator](SimEvent e) { simulator.Raise(e); },
                         [&simulator](const FaultModes& m) { simulator.SetFaultModes(m); }},
                  std::move(path)) {}

#ifdef _WIN32

ControlFifo::ControlFifo(Target target, std::filesystem::path path)
    : target_(std::move(target)),
      path_(std::move(path)),
      error_(path_.string() + ": control FIFOs need a POSIX system") {}
ControlFifo::~ControlFifo() = default;
void ControlFifo::Run() {}

#else

ControlFifo::ControlFifo(Target target, std::filesystem::path path)
    : target_(std::move(target)), path_(std::move(path)) {
    const std::string name = path_.string();
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        if (::mkfifo(name.c_str(), 0600) != 0) {
            error_ = name + ": cannot create the FIFO: " + std::strerror(errno);
            return;
        }
    } else if (!S_ISFIFO(st.st_mode)) {
        error_ = name + ": exists and is not a FIFO";
        return;
    }
    // Opened for writing too, so the FIFO never reports end of file between two writers.
    fd_ = ::open(name.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = name + ": cannot be opened: " + std::strerror(errno);
        return;
    }
    if (::pipe(stopPipe_) != 0) {
        error_ = name + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return;
    }
    thread_ = std::thread([this] { Run(); });
}

ControlFifo::~ControlFifo() {
    if (thread_.joinable()) {
        const char stop = 's';
        [[maybe_unused]] const ssize_t n = ::write(stopPipe_[1], &stop, 1);
        thread_.join();
    }
    for (int fd : {fd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) ::close(fd);
}

void ControlFifo::Run() {
    std::string pending;
    char buffer[512];
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) continue;
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            Handle(std::string_view(pending).substr(0, end));
            pending.erase(0, end + 1);
        }
        if (pending.size() > 4096) pending.clear();  // no line is this long
    }
}

#endif

void ControlFifo::Handle(std::string_view line) {
    std::string error;
    if (const std::optional<SimEvent> event = ParseControlLine(line)) {
        target_.raise(*event);
    } else if (const std::optional<FaultModes> modes = ParseFaultsLine(line, &error)) {
        target_.setFaultModes(*modes);
    } else if (!error.empty()) {
        std::fprintf(stderr, "PortHubSim: %s: %s; the fault modes stay as they were\n",
                     path_.string().c_str(), error.c_str());
    } else if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
        std::fprintf(stderr, "PortHubSim: %s: unknown control line \"%.*s\"\n", path_.string().c_str(),
                     static_cast<int>(line.size()), line.data());
    }
}

}  // namespace vornak::sim
