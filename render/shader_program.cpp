// Compiling and linking the GLSL programs, with the reports a failed stage prints.
#include "render/shader_program.h"

#include <glad/gl.h>

#include <cstdio>

namespace {

GLuint CompileStage(GLenum stage, const char* source, const char* type) {
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    CheckErrors(shader, type);
    return shader;
}

}  // namespace

void ShaderProgram::Compile(const char* vertexSource, const char* fragmentSource, const char* geometrySource) {
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, vertexSource, "VERTEX");
    const GLuint fragment = CompileStage(GL_FRAGMENT_SHADER, fragmentSource, "FRAGMENT");
    GLuint geometry = 0;
    if (geometrySource != nullptr) geometry = CompileStage(GL_GEOMETRY_SHADER, geometrySource, "GEOMETRY");

    Reset();
    id = glCreateProgram();
    glAttachShader(id, vertex);
    glAttachShader(id, fragment);
    if (geometrySource != nullptr) glAttachShader(id, geometry);
    glLinkProgram(id);
    CheckErrors(id, "PROGRAM");

    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (geometrySource != nullptr) glDeleteShader(geometry);
}

void CheckErrors(std::uint32_t object, const std::string& type) {
    constexpr GLsizei logSize = 1024;
    GLint success = 0;
    GLchar infoLog[logSize] = {};
    const char* separator = "\n -- --------------------------------------------------- -- ";
    if (type == "PROGRAM") {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (success) return;
        glGetProgramInfoLog(object, logSize, nullptr, infoLog);
        std::printf("| ERROR::Shader: Link-time error: Type: %s\n%s%s\n", type.c_str(), infoLog, separator);
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (success) return;
        glGetShaderInfoLog(object, logSize, nullptr, infoLog);
        std::printf("| ERROR::SHADER: Compile-time error: Type: %s\n%s%s\n", type.c_str(), infoLog, separator);
    }
    std::fflush(stdout);
}
