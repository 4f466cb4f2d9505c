#version 330 core
// Glyph coverage (the single red channel) becomes the alpha of the text colour.
in vec2 TexCoords;

out vec4 color;

uniform sampler2D text;
uniform vec3 textColor;

void main()
{
    float alpha = texture(text, TexCoords).r;
    color = vec4(textColor, alpha);
}
