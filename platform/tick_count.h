// Milliseconds from a steady clock, as the macro recorder and the device link measure time. Tests drive time
// by installing their own source.
#pragma once

#include <cstdint>
#include <functional>

namespace vornak {

uint32_t TickCount();

// Replaces the clock for as long as the object lives (tests only; not for use while other threads read it).
class ScopedTickSource {
  public:
    explicit ScopedTickSource(std::function<uint32_t()> source);
    ~ScopedTickSource();
    ScopedTickSource(const ScopedTickSource&) = delete;
    ScopedTickSource& operator=(const ScopedTickSource&) = delete;

  private:
    std::function<uint32_t()> previous_;
};

// A clock that moves only when told to.
class ManualTicks {
  public:
    uint32_t now() const { return now_; }
    void Advance(uint32_t ms) { now_ += ms; }
    void Set(uint32_t ms) { now_ = ms; }

  private:
    uint32_t now_ = 0;
};

}  // namespace vornak
