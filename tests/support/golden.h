// Golden data kept beside the tests, in tests/<folder>/data: text files a reviewer can read and diff.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace vornak::test {

// tests/<relative>, in the source tree.
std::filesystem::path TestData(std::string_view relative);

// The whitespace-separated decimal numbers of a golden file; a line starting with '#' is a comment. A file
// that is missing or holds anything else fails the test that reads it (and gives no numbers).
std::vector<int64_t> ReadGoldenNumbers(const std::filesystem::path& file);

}  // namespace vornak::test
