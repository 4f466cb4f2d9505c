// The resource seam: bytes of a raw-data resource embedded in the executable, by numeric id.
// Windows reads RT_RCDATA resources (resources_win32.cpp); Linux a table linked into the binary
// from the same manifest (resources_linux.cpp). The ids are named in core/resource_ids.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Where a lookup stopped, in the order of the platform's own steps.
enum class ResourceLookup { Found, NotFound, NotLoaded, NotLocked };

struct ResourceBytes {
    const unsigned char* data = nullptr;  // read-only, valid until the process ends
    std::size_t size = 0;
};

// Platform implementation. Only the low 16 bits of the id are used.
ResourceLookup LookUpResource(std::uint32_t id, ResourceBytes& bytes);

// Once start-up has made its textures and programs, the resources are seldom read again (a glyph
// not cached yet reads the font): where the platform allows, the memory they were read into is
// given back. They stay valid; a later read brings its pages back from the executable.
void ReleaseResourcePages();

// The resource's bytes; none after the report a failed lookup gets on standard output
// ("ERROR::RESOURCE: ..."; a resource that cannot be locked fails silently).
std::optional<ResourceBytes> FindEmbeddedResource(std::uint32_t id);

// The resource as a string of exactly its bytes; empty (after a report on standard output)
// when it is missing.
std::string LoadTextResource(std::uint32_t id);
