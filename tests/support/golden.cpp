#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace vornak::test {

std::filesystem::path TestData(std::string_view relative) {
    return SourceDir() / "tests" / relative;
}

std::vector<int64_t> ReadGoldenNumbers(const std::filesystem::path& file) {
    std::ifstream in(file);
    EXPECT_TRUE(in) << file << ": cannot be read";
    std::vector<int64_t> numbers;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            size_t used = 0;
            int64_t value = 0;
            try {
                value = std::stoll(word, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != word.size()) {
                ADD_FAILURE() << file << ":" << lineNo << ": not a number: " << word;
                return {};
            }
            numbers.push_back(value);
        }
    }
    return numbers;
}

}  // namespace vornak::test
