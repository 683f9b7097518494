#version 330

layout(location = 0) in vec3 in_Position;
layout(location = 1) in vec4 in_Color;

uniform mat4 PVM;

out vec4 barva;

void main()
{
    gl_Position = PVM * vec4(in_Position, 1.0);
    barva = in_Color;
}
