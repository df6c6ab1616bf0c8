// Profile files come from anywhere: the header check and the loader must reject any input without reading out
// of bounds, and what they accept must write back to a file that loads again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "config/config_image.h"
#include "profile/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (size >= vornak::kConfigHeaderSize) {
        (void)vornak::CheckHeader(
            std::span<const uint8_t, vornak::kConfigHeaderSize>(data, vornak::kConfigHeaderSize));
    }
    auto copy = vornak::ParseProfileFile(bytes);
    if (!copy) return 0;
    auto again = vornak::SerializeProfileFile(*copy);
    if (!again || !vornak::ParseProfileFile(*again)) std::abort();
    return 0;
}
