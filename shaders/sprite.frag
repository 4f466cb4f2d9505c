#version 330 core
// The image's texel as it is.
in vec2 TexCoords;

out vec4 color;

uniform sampler2D sprite;

void main()
{
    color = texture(sprite, TexCoords);
}
