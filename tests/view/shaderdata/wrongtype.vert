#version 330
layout(location = 0) in vec3 in_Position;
out vec3 colourValue;
void main()
{
    gl_Position = vec4(in_Position, 1.0);
    colourValue = in_Position;
}
