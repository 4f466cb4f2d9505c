// Every shader program and registered texture, owned by name for the whole run and deleted
// together at teardown.
#pragma once

#include "render/shader_program.h"
#include "render/texture.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct AssetRegistry {
    std::map<std::string, std::unique_ptr<ShaderProgram>> programs;  // an entry may hold none
    std::map<std::string, std::unique_ptr<Texture>> textures;        // an entry may hold none

    // Builds the program from two embedded sources and stores it under the name (replacing
    // what was there); none when a source is missing.
    ShaderProgram* LoadShaderProgram(std::uint32_t vertexId, std::uint32_t fragmentId, const std::string& name);
    // Decodes an embedded image into a texture stored under the name; none when it fails.
    Texture* LoadTextureResource(std::uint32_t id, const std::string& name);
    // Stores a texture under the name whose pixels are decoded only when it is first drawn (a
    // decoding failure is reported then); none, after the report, when no such image is embedded.
    Texture* RegisterTextureResource(std::uint32_t id, const std::string& name);
    // Stores a texture made elsewhere (wallpaper, desktop icons) and returns the stored pointer.
    Texture* StoreTexture(const std::string& name, std::unique_ptr<Texture> texture);

    ShaderProgram* Program(const std::string& name) const;  // none when absent
    Texture* FindTexture(const std::string& name) const;    // none when absent

    // Deletes every program and texture (in name order), the replaced ones too, and empties the
    // maps. Needs the context.
    void ReleaseAll();

    // Records displaced by a second load under the same name. Pointers handed out earlier stay
    // valid until ReleaseAll, which deletes these too.
    std::vector<std::unique_ptr<ShaderProgram>> replacedPrograms;
    std::vector<std::unique_ptr<Texture>> replacedTextures;
};
