// A linked GL program built from two embedded GLSL sources, with the compile and link reports.
#pragma once

#include "render/gl_object.h"

#include <cstdint>
#include <string>

// Owns its GL program: destroying it deletes the program (while the context exists).
struct ShaderProgram : GlObject<DeleteProgramName> {

    // Compiles and links; failures are reported on standard output and the program is kept as
    // GL left it. geometrySource may be null.
    void Compile(const char* vertexSource, const char* fragmentSource, const char* geometrySource = nullptr);
};

// Reports a failed link (type exactly "PROGRAM") or compile (any other type).
void CheckErrors(std::uint32_t object, const std::string& type);
