// Looking up an embedded resource, with the report every failed lookup gets, and reading one
// as text.
#include "render/resources.h"

#include <cstdio>

std::optional<ResourceBytes> FindEmbeddedResource(std::uint32_t id) {
    ResourceBytes bytes;
    const char* failedStep = nullptr;
    switch (LookUpResource(id, bytes)) {
        case ResourceLookup::Found: return bytes;
        case ResourceLookup::NotFound: failedStep = "FindResource"; break;
        case ResourceLookup::NotLoaded: failedStep = "LoadResource"; break;
        case ResourceLookup::NotLocked: return std::nullopt;
    }
    std::printf("ERROR::RESOURCE: %s failed for ID %u\n", failedStep, static_cast<unsigned>(id));
    std::fflush(stdout);
    return std::nullopt;
}

std::string LoadTextResource(std::uint32_t id) {
    const std::optional<ResourceBytes> bytes = FindEmbeddedResource(id);
    if (!bytes || bytes->data == nullptr || bytes->size == 0) return {};
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->size);
}
