#version 330 core
// One particle: the unit quad scaled to 10 px and moved to the particle's offset.
layout (location = 0) in vec4 vertex; // xy position, zw texture coordinates

out vec2 TexCoords;
out vec4 ParticleColor;

uniform mat4 projection;
uniform vec2 offset;
uniform vec4 color;

void main()
{
    float scale = 10.0;
    TexCoords = vertex.zw;
    ParticleColor = color;
    gl_Position = projection * vec4((vertex.xy * scale) + offset, 0.0, 1.0);
}
