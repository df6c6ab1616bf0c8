// A shared library bound by name at run time (dlopen / LoadLibrary).
#pragma once

#include <filesystem>
#include <string>

namespace vornak {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // A bare file name is looked up on the system's library search path; a path with a folder is opened as
    // given.
    bool Open(const std::filesystem::path& file);
    void Close();
    bool isOpen() const { return handle_ != nullptr; }

    // Address of an export, or null when the library has none of that name.
    void* Symbol(const char* name) const;
    const std::string& error() const { return error_; }

    // The platform's file name of a library called name: "libname.so", "name.dll", "libname.dylib".
    static std::string FileNameFor(const std::string& name);

  private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace vornak
