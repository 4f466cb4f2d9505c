// Reading an embedded resource as text, with the reports every missing resource gets.
#include "render/resources.h"

#include <cstdio>

std::string LoadTextResource(std::uint32_t id) {
    ResourceBytes bytes;
    switch (LookUpResource(id, bytes)) {
        case ResourceLookup::Found:
            break;
        case ResourceLookup::NotFound:
            std::printf("ERROR::RESOURCE: FindResource failed for ID %u\n", static_cast<unsigned>(id));
            std::fflush(stdout);
            return {};
        case ResourceLookup::NotLoaded:
            std::printf("ERROR::RESOURCE: LoadResource failed for ID %u\n", static_cast<unsigned>(id));
            std::fflush(stdout);
            return {};
        case ResourceLookup::NotLocked:
            return {};
    }
    if (bytes.data == nullptr || bytes.size == 0) return {};
    return std::string(reinterpret_cast<const char*>(bytes.data), bytes.size);
}
