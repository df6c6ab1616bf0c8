#include "config/config_store.h"

#include <algorithm>

#include "platform/bytes.h"

namespace vornak {

const std::optional<std::u16string>& NameTable::name(size_t index) const {
    static const std::optional<std::u16string> kNone;
    const auto it = names_.find(index);
    return it == names_.end() ? kNone : it->second;
}

uint32_t NameTable::SizeOf(size_t index) const {
    const auto& n = name(index);
    return n ? static_cast<uint32_t>((n->size() + 1) * 2) : 0;
}

void NameTable::Set(size_t index, std::u16string name) {
    Clear(index);
    names_[index] = std::move(name);
    total_ += SizeOf(index);
}

void NameTable::Clear(size_t index) {
    total_ -= SizeOf(index);
    names_.erase(index);
}

void NameTable::ClearAll() {
    names_.clear();
    total_ = 0;
}

std::vector<uint8_t> LayOutNamePool(ConfigImage& image, const NameTable& names) {
    std::vector<uint8_t> pool(static_cast<size_t>(names.total()), 0);
    uint64_t offset = 0;
    for (size_t i = 0; i < kEntryCount; ++i) {
        const uint32_t size = names.SizeOf(i);
        if (size == 0 || offset + size > pool.size()) continue;
        ConfigEntry e = image.entry(i);
        if (e.kind != 3 && e.kind != 6) continue;
        const size_t at = static_cast<size_t>(offset) & ~size_t{1};
        const std::u16string& name = *names.name(i);
        for (size_t k = 0; k < name.size(); ++k)
            WriteLe16(pool, at + 2 * k, name[k]);
        e.value = static_cast<uint32_t>(offset);
        image.setEntry(i, e);
        offset += size;
    }
    return pool;
}

void ConfigStore::EmptyEdit() {
    std::lock_guard lock(lockA_);
    edit_.names.ClearAll();
    edit_.macros.clear();
    edit_.image = ConfigImage::Default();
    editLoads_.fetch_add(1, std::memory_order_acq_rel);
}

void ConfigStore::ReplaceEdit(EditCopy copy) {
    std::lock_guard lock(lockA_);
    edit_ = std::move(copy);
    editLoads_.fetch_add(1, std::memory_order_acq_rel);
}

void ConfigStore::ReplaceEditImage(ConfigImage image) {
    std::lock_guard lock(lockA_);
    edit_.image = std::move(image);
    editLoads_.fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace vornak
