#include "platform/tick_count.h"

#include <chrono>
#include <utility>

namespace vornak {

namespace {

std::function<uint32_t()>& Source() {
    static std::function<uint32_t()> source;
    return source;
}

}  // namespace

uint32_t TickCount() {
    if (const auto& s = Source()) return s();
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

ScopedTickSource::ScopedTickSource(std::function<uint32_t()> source) : previous_(std::move(Source())) {
    Source() = std::move(source);
}

ScopedTickSource::~ScopedTickSource() {
    Source() = std::move(previous_);
}

}  // namespace vornak
