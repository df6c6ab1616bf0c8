#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vornak {

namespace fs = std::filesystem;

namespace {

std::atomic<int64_t> g_writeFaultAfter{-1};

void SetError(std::string* error, const fs::path& path, const std::string& what) {
    if (error != nullptr) *error = path.string() + ": " + what;
}

std::string ErrnoText() {
    return std::strerror(errno);
}

fs::path TemporaryName(const fs::path& target) {
    static std::atomic<uint32_t> counter{0};
    std::random_device rd;
    const uint32_t salt = rd() ^ (counter.fetch_add(1) * 2654435761u);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp-%08x", salt);
    return target.parent_path() / ("." + target.filename().string() + suffix);
}

bool FlushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return ::fsync(fileno(f)) == 0;
#endif
}

}  // namespace

void SetWriteFaultAfterBytesForTesting(int64_t bytes) {
    g_writeFaultAfter.store(bytes);
}

std::FILE* OpenFileForReading(const fs::path& path, std::string* error) {
#ifdef _WIN32
    std::FILE* f = std::fopen(path.string().c_str(), "rb");
    if (f == nullptr) SetError(error, path, ErrnoText());
    return f;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, path, ErrnoText());
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        SetError(error, path, "not a regular file");
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        SetError(error, path, ErrnoText());
        ::close(fd);
    }
    return f;
#endif
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path, std::string* error,
                                                  uint64_t maxSize) {
    std::FILE* f = OpenFileForReading(path, error);
    if (f == nullptr) return std::nullopt;
    std::vector<uint8_t> data;
    // Read in one go when the size is known; keep reading in case the file grows meanwhile.
    std::error_code ec;
    const uint64_t expected = fs::file_size(path, ec);
    if (!ec && expected > maxSize) {
        SetError(error, path, "file is too large");
        std::fclose(f);
        return std::nullopt;
    }
    data.resize(ec ? 65536 : static_cast<size_t>(expected) + 1);
    size_t filled = 0;
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(data.data() + filled, 1, data.size() - filled, f);
        filled += n;
        if (filled > maxSize) {
            SetError(error, path, "file is too large");
            ok = false;
            break;
        }
        if (filled < data.size()) {
            if (std::ferror(f)) {
                SetError(error, path, "read error");
                ok = false;
            }
            break;
        }
        data.resize(data.size() * 2);
    }
    data.resize(filled);
    std::fclose(f);
    if (!ok) return std::nullopt;
    return data;
}

bool WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes, std::string* error) {
    const fs::path temp = TemporaryName(path);
    std::FILE* f = std::fopen(temp.string().c_str(), "wbx");
    if (f == nullptr) {
        SetError(error, path, "cannot create a file in its folder (" + ErrnoText() + ")");
        return false;
    }
    const int64_t fault = g_writeFaultAfter.load();
    size_t toWrite = bytes.size();
    bool ok = true;
    if (fault >= 0 && static_cast<uint64_t>(fault) < toWrite) {
        toWrite = static_cast<size_t>(fault);
        ok = false;
    }
    if (toWrite > 0 && std::fwrite(bytes.data(), 1, toWrite, f) != toWrite) ok = false;
    if (ok && !FlushToDisk(f)) ok = false;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        SetError(error, path, fault >= 0 ? "no space left on device" : "write failed (" + ErrnoText() + ")");
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
#ifndef _WIN32
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(path.string().c_str(), &st) == 0) ::chmod(temp.string().c_str(), st.st_mode & 07777);
#endif
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        SetError(error, path, "cannot replace the file (" + ec.message() + ")");
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace vornak
