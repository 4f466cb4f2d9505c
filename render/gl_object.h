// The one ownership pattern for GL objects: a move-only owner of one name that deletes it
// exactly once, when the owner goes. Owners are destroyed while the context is current; the
// name 0 means "no object" and is never deleted.
#pragma once

#include <cstdint>
#include <utility>

template <void (*Delete)(std::uint32_t)>
struct GlObject {
    std::uint32_t id = 0;

    GlObject() = default;
    explicit GlObject(std::uint32_t id) : id(id) {}
    GlObject(GlObject&& other) noexcept : id(std::exchange(other.id, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            Reset();
            id = std::exchange(other.id, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;
    ~GlObject() { Reset(); }

    // Deletes the object now (if there is one) and leaves the owner empty.
    void Reset() {
        if (id != 0) Delete(id);
        id = 0;
    }
};

void DeleteTextureName(std::uint32_t name);
void DeleteProgramName(std::uint32_t name);
void DeleteVertexArrayName(std::uint32_t name);

// A vertex array with the buffers attached to it.
struct VertexArray : GlObject<DeleteVertexArrayName> {
    using GlObject::GlObject;
};
