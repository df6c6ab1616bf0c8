// Whole-file reads and atomic whole-file writes. Every file the program writes (profile files, INI files,
// user lighting modes) goes through WriteFileAtomic, so a crash or a full disk never leaves a half-written
// file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vornak {

// Opens a regular file for reading, and never blocks: a FIFO, a device or a folder put in the file's place
// is refused as "not a regular file" (a FIFO would otherwise hang the read until something writes to it).
// Null, with a message naming the file, when it cannot be opened.
std::FILE* OpenFileForReading(const std::filesystem::path& path, std::string* error = nullptr);

// Reads the whole file. Fails (with a message naming the file) when it cannot be opened, is no regular file,
// cannot be read or is larger than maxSize bytes.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                  std::string* error = nullptr,
                                                  uint64_t maxSize = UINT64_MAX);

// Writes a temporary file in the target's folder, flushes it to disk and renames it over the target. On any
// failure the target is untouched, the temporary file is removed and the result is false.
bool WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                     std::string* error = nullptr);

// Test seam: when set, WriteFileAtomic fails after writing this many bytes of the temporary file, as a full
// disk would make it fail. A negative value switches the fault off.
void SetWriteFaultAfterBytesForTesting(int64_t bytes);

}  // namespace vornak
