#version 330 core
// One glyph bitmap on the unit quad placed by the model matrix.
layout (location = 0) in vec4 vertex; // xy position, zw texture coordinates

out vec2 TexCoords;

uniform mat4 model;
uniform mat4 projection;

void main()
{
    TexCoords = vertex.zw;
    gl_Position = projection * model * vec4(vertex.xy, 0.0, 1.0);
}
