// The two copies of the configuration: the edit copy that the pages change (lock A) and the send copy that is
// downloaded (lock B), each with its macro list; the edit copy keeps the entries' names, the send copy the
// name pool they are laid into.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "macro/macro_record.h"

namespace vornak {

// The names of kind-3 (program path) and kind-6 (text) entries, by entry index, with the running total of
// their sizes in bytes (UTF-16 with the terminator). Few entries have one: only those are kept, so that an
// edit copy stays small on the worker's stack and in the tray.
class NameTable {
  public:
    const std::optional<std::u16string>& name(size_t index) const;
    // Bytes of the name with its terminator; 0 when the entry has none.
    uint32_t SizeOf(size_t index) const;
    void Set(size_t index, std::u16string name);
    void Clear(size_t index);
    void ClearAll();
    uint64_t total() const { return total_; }

  private:
    std::map<size_t, std::optional<std::u16string>> names_;  // each one set
    uint64_t total_ = 0;
};

struct EditCopy {
    ConfigImage image = ConfigImage::Default();
    std::vector<MacroRecord> macros;
    NameTable names;
};

struct SendCopy {
    ConfigImage image = ConfigImage::Default();
    std::vector<MacroRecord> macros;
    std::vector<uint8_t> pool;
};

// Lays the names of kind-3 and kind-6 entries end to end into a pool of exactly names.total() bytes, in entry
// order, and stores each name's offset in its entry's value. Names of other kinds, or that no longer fit, are
// left out (their bytes stay zero).
std::vector<uint8_t> LayOutNamePool(ConfigImage& image, const NameTable& names);

class ConfigStore {
  public:
    // Both locks are re-entrant: the download holds B and takes A again for each macro lookup.
    std::recursive_mutex& lockA() { return lockA_; }
    std::recursive_mutex& lockB() { return lockB_; }

    // The caller holds the copy's lock.
    EditCopy& edit() { return edit_; }
    const EditCopy& edit() const { return edit_; }
    SendCopy& send() { return send_; }

    // Frees every name, every macro and the entries: the edit copy becomes the default image.
    void EmptyEdit();
    // Replaces the edit copy whole.
    void ReplaceEdit(EditCopy copy);
    // Replaces the edit copy's image, keeping its macros and names.
    void ReplaceEditImage(ConfigImage image);

    // Counts the times the edit copy was replaced whole (each of the three calls above): edits recorded
    // against an earlier load no longer apply to it. Read from any thread.
    uint64_t editLoads() const { return editLoads_.load(std::memory_order_acquire); }

  private:
    std::recursive_mutex lockA_;
    std::recursive_mutex lockB_;
    EditCopy edit_;
    SendCopy send_;
    std::atomic<uint64_t> editLoads_ = 0;
};

}  // namespace vornak
