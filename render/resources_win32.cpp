// The resource seam on Windows: RT_RCDATA resources of the running executable.
#include "render/resources.h"

#include <windows.h>

ResourceLookup LookUpResource(std::uint32_t id, ResourceBytes& bytes) {
    bytes = {};
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id & 0xFFFFu), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) return ResourceLookup::NotFound;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return ResourceLookup::NotLoaded;
    const DWORD size = SizeofResource(module, found);
    const void* data = LockResource(loaded);
    if (data == nullptr) return ResourceLookup::NotLocked;
    bytes.data = static_cast<const unsigned char*>(data);
    bytes.size = size;
    return ResourceLookup::Found;
}

// The .scr's resources are pages of its mapped image, which Windows trims by itself when memory
// is wanted elsewhere.
void ReleaseResourcePages() {}
