// Deleting GL names for their owners.
#include "render/gl_object.h"

#include <glad/gl.h>

void DeleteTextureName(std::uint32_t name) { glDeleteTextures(1, &name); }
void DeleteProgramName(std::uint32_t name) { glDeleteProgram(name); }
void DeleteVertexArrayName(std::uint32_t name) { glDeleteVertexArrays(1, &name); }
