#version 330 core
// Frame `frame` of a horizontal strip of `number_of_frames` equal frames: the unit quad's u is
// squeezed into that frame's band of the sheet; v spans the whole sheet height.
layout (location = 0) in vec4 vertex; // xy position, zw texture coordinates

out vec2 TexCoords;

uniform mat4 model;
uniform mat4 projection;
uniform uint frame;
uniform uint number_of_frames;

void main()
{
    TexCoords.x = (float(frame) + vertex.z) / float(number_of_frames);
    TexCoords.y = vertex.w;
    gl_Position = projection * model * vec4(vertex.xy, 0.0, 1.0);
}
