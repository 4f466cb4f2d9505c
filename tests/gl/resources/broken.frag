#version 330 core
// A fragment shader with a syntax error (missing semicolon), for the compile report.
out vec4 color;

void main()
{
    color = vec4(1.0, 0.0, 0.0, 1.0)
}
