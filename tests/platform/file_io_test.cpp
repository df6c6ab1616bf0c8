#include "platform/file_io.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempDir;
using test::WriteText;

size_t CountEntries(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

TEST(WriteFileAtomic, ReplacesTheWholeFile) {
    TempDir dir;
    WriteText(dir / "a.bin", "old content that is longer");
    const std::string data = "new";
    ASSERT_TRUE(WriteFileAtomic(dir / "a.bin", {reinterpret_cast<const uint8_t*>(data.data()), data.size()}));
    EXPECT_EQ(ReadText(dir / "a.bin"), "new");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(WriteFileAtomic, FailureMidWriteLeavesTargetAndNoTemporaryFile) {
    TempDir dir;
    WriteText(dir / "a.bin", "precious");
    std::vector<uint8_t> data(1000, 0x41);
    SetWriteFaultAfterBytesForTesting(500);
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(dir / "a.bin", data, &error));
    SetWriteFaultAfterBytesForTesting(-1);
    EXPECT_EQ(ReadText(dir / "a.bin"), "precious");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
    EXPECT_NE(error.find("a.bin"), std::string::npos);
}

TEST(WriteFileAtomic, MissingFolderFailsWithItsName) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(dir / "no/such/x.bin", {}, &error));
    EXPECT_NE(error.find("x.bin"), std::string::npos);
}

TEST(ReadWholeFile, ReadsAndLimits) {
    TempDir dir;
    WriteText(dir / "a", "12345");
    auto all = ReadWholeFile(dir / "a");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 5u);
    std::string error;
    EXPECT_FALSE(ReadWholeFile(dir / "a", &error, 4));
    EXPECT_FALSE(ReadWholeFile(dir / "missing", &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace vornak
