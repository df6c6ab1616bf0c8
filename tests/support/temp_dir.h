// A fresh folder per test, removed afterwards; no test touches the real home folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vornak::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& file, std::string_view utf8);
std::string ReadText(const std::filesystem::path& file);
// The text as a UTF-16LE file with its byte-order mark.
void WriteUtf16File(const std::filesystem::path& file, std::u16string_view text);

std::filesystem::path SourceDir();
std::filesystem::path BinDir();

}  // namespace vornak::test
