// Profile files (".fwc", and the working file "$Profile0"): the configuration image, the macro records and
// the name pool, byte for byte as the edit copy holds them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_store.h"

namespace vornak {

// Reads a whole profile file. Nothing is trusted: the header must be one the program writes, the file must
// hold all the bytes its header counts, no macro may have more than 2000 actions, and every name must start
// inside the pool and end with a terminator there. Nothing when any check fails, with the reason.
std::optional<EditCopy> ParseProfileFile(std::span<const uint8_t> bytes, std::string* error = nullptr);

// The file's bytes for an edit copy. Lays the names into the pool first (storing each name's offset in its
// entry, as the file keeps it) and refreshes the header. Nothing when the sizes do not fit the header's
// fields.
std::optional<std::vector<uint8_t>> SerializeProfileFile(EditCopy& copy, std::string* error = nullptr);

}  // namespace vornak
