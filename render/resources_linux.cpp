// The resource seam on platforms without Win32 resources: a table of (id, bytes) that the build
// links into the executable from the resource manifest, sorted by id.
#include "render/resources.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

struct EmbeddedResource {
    std::uint32_t id;
    std::uint32_t reserved;
    const unsigned char* data;
    std::uint64_t size;
};

}  // namespace

// Defined by the generated object that only the executables carrying resources link. Weak, so
// that a binary without that object (a unit-test or benchmark program) links and finds nothing.
extern "C" {
extern const EmbeddedResource gravefall_resource_table[] __attribute__((weak));
extern const std::uint64_t gravefall_resource_count __attribute__((weak));
}

ResourceLookup LookUpResource(std::uint32_t id, ResourceBytes& bytes) {
    bytes = {};
    if (&gravefall_resource_count == nullptr || gravefall_resource_table == nullptr) return ResourceLookup::NotFound;

    const std::uint32_t key = id & 0xFFFFu;
    const EmbeddedResource* begin = gravefall_resource_table;
    const EmbeddedResource* end = begin + gravefall_resource_count;
    const EmbeddedResource* found =
        std::lower_bound(begin, end, key, [](const EmbeddedResource& entry, std::uint32_t wanted) { return entry.id < wanted; });
    if (found == end || found->id != key) return ResourceLookup::NotFound;

    bytes.data = found->data;
    bytes.size = static_cast<std::size_t>(found->size);
    return ResourceLookup::Found;
}

void ReleaseResourcePages() {
    if (&gravefall_resource_count == nullptr || gravefall_resource_table == nullptr || gravefall_resource_count == 0)
        return;
    std::uintptr_t first = UINTPTR_MAX, last = 0;
    for (std::uint64_t i = 0; i < gravefall_resource_count; ++i) {
        const auto begin = reinterpret_cast<std::uintptr_t>(gravefall_resource_table[i].data);
        first = std::min(first, begin);
        last = std::max(last, begin + static_cast<std::uintptr_t>(gravefall_resource_table[i].size));
    }
    // Whole pages inside the resources only: the pages are the executable's, read-only and never
    // written, so dropping them loses nothing.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (first + page - 1) & ~(page - 1), end = last & ~(page - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}
