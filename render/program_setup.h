// The shader programs of start-up, built in their fixed order and given their sampler unit and
// the screen projection once. A program that failed to load is skipped, not touched.
#pragma once

#include "core/geometry.h"

struct AssetRegistry;
struct ShaderProgram;

// Builds "text" (the text sources) and sets "text" <- 0 and "projection". Returns the program,
// none when its sources are missing.
ShaderProgram* LoadTextProgram(AssetRegistry& registry, const Mat4& projection);

// Builds the other nine programs in start-up order, then sets "sprite" <- 0 and "projection" on
// every one of them but "quad".
void LoadScenePrograms(AssetRegistry& registry, const Mat4& projection);

// glUseProgram, then the sampler unit and the projection by name. Does nothing for none.
void SetSamplerAndProjection(const ShaderProgram* program, const char* samplerName, const Mat4& projection);
