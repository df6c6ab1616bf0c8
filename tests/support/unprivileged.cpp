#include "tests/support/unprivileged.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vornak::test {

namespace {

constexpr uid_t kNobody = 65534;

std::string HandOver(const std::filesystem::path& path) {
    std::error_code ec;
    if (::lchown(path.c_str(), kNobody, kNobody) != 0) return path.string() + ": " + std::strerror(errno);
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ec))) return {};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec)) {
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
            return entry.path().string() + ": " + std::strerror(errno);
    }
    return {};
}

std::string DropPrivileges() {
    if (::setgroups(0, nullptr) != 0) return std::string("setgroups: ") + std::strerror(errno);
    if (::setresgid(kNobody, kNobody, kNobody) != 0) return std::string("setresgid: ") + std::strerror(errno);
    if (::setresuid(kNobody, kNobody, kNobody) != 0) return std::string("setresuid: ") + std::strerror(errno);
    if (::geteuid() == 0) return "still root";
    return {};
}

}  // namespace

void RunUnprivileged(const std::vector<std::filesystem::path>& handOver,
                     const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        const std::string problem = body();
        if (!problem.empty()) ADD_FAILURE() << problem;
        return;
    }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0) << std::strerror(errno);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << std::strerror(errno);
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string problem;
        for (const auto& path : handOver) {
            if (problem.empty()) problem = HandOver(path);
        }
        if (problem.empty()) problem = DropPrivileges();
        if (problem.empty()) problem = body();
        const char* at = problem.data();
        size_t left = problem.size();
        while (left > 0) {
            const ssize_t n = ::write(pipeFds[1], at, left);
            if (n <= 0) break;
            at += n;
            left -= static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string problem;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        problem.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged child ended abnormally";
    if (!problem.empty()) ADD_FAILURE() << "as user " << kNobody << ": " << problem;
}

}  // namespace vornak::test
