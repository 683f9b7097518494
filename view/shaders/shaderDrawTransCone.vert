#version 330

// One environment sample drawn as a point, straight into the fragment stage.
layout(location = 0) in vec4 in_PositionColor;

uniform mat4 PVM;
uniform float alfa = 0.5;

out vec4 barva;

void main()
{
    gl_Position = PVM * vec4(in_PositionColor.xyz, 1.0);
    barva = vec4(0.0, 0.0, 0.0, in_PositionColor.w * alfa);
}
