#version 330 core
// The particle image tinted by the particle's colour.
in vec2 TexCoords;
in vec4 ParticleColor;

out vec4 color;

uniform sampler2D sprite;

void main()
{
    color = texture(sprite, TexCoords) * ParticleColor;
}
