// The registry that owns every shader program and registered texture by name.
#include "render/asset_registry.h"

#include "render/resources.h"

#include <cstdio>

ShaderProgram* AssetRegistry::LoadShaderProgram(std::uint32_t vertexId, std::uint32_t fragmentId,
                                                const std::string& name) {
    const std::string vertexSource = LoadTextResource(vertexId);
    const std::string fragmentSource = LoadTextResource(fragmentId);
    std::unique_ptr<ShaderProgram> program;
    if (!vertexSource.empty() && !fragmentSource.empty()) {
        program = std::make_unique<ShaderProgram>();
        program->Compile(vertexSource.c_str(), fragmentSource.c_str());
    } else {
        std::printf("ERROR::SHADER: Failed to load shader resources\n");
        std::fflush(stdout);
    }
    auto& entry = programs[name];
    // Whoever was handed the replaced record may still use it: keep it until ReleaseAll.
    if (entry) replacedPrograms.push_back(std::move(entry));
    entry = std::move(program);
    return entry.get();
}

Texture* AssetRegistry::LoadTextureResource(std::uint32_t id, const std::string& name) {
    return StoreTexture(name, DecodeTextureResource(id));
}

Texture* AssetRegistry::RegisterTextureResource(std::uint32_t id, const std::string& name) {
    return StoreTexture(name, FindEmbeddedResource(id) ? PendingTextureResource(id) : nullptr);
}

Texture* AssetRegistry::StoreTexture(const std::string& name, std::unique_ptr<Texture> texture) {
    auto& entry = textures[name];
    if (entry) replacedTextures.push_back(std::move(entry));
    entry = std::move(texture);
    return entry.get();
}

ShaderProgram* AssetRegistry::Program(const std::string& name) const {
    const auto found = programs.find(name);
    return found == programs.end() ? nullptr : found->second.get();
}

Texture* AssetRegistry::FindTexture(const std::string& name) const {
    const auto found = textures.find(name);
    return found == textures.end() ? nullptr : found->second.get();
}

void AssetRegistry::ReleaseAll() {
    // Each owner deletes its GL object; in name order, programs first.
    for (auto& [name, program] : programs) program.reset();
    for (auto& [name, texture] : textures) texture.reset();
    programs.clear();
    textures.clear();
    replacedPrograms.clear();
    replacedTextures.clear();
}
