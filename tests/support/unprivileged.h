// File permissions as a user meets them, also when the tests run as root (as CI does), where a read-only or
// unreadable file would prove nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vornak::test {

// Runs body as an unprivileged user. Not root: in this process. Root: in a child process that hands the
// given paths (and everything under them) to user and group 65534 and drops to them with setresuid first.
// The body reports with its result instead of gtest's assertions, which a child cannot report: empty when
// all is well, else what went wrong, which fails the calling test.
void RunUnprivileged(const std::vector<std::filesystem::path>& handOver,
                     const std::function<std::string()>& body);

}  // namespace vornak::test
