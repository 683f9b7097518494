#version 330

// One environment sample: position and its shadow value.
layout(location = 0) in vec4 in_PositionColor;

uniform mat4 PVM;
uniform float alfa = 0.5;

out vec4 barvaTocke;

void main()
{
    gl_Position = PVM * vec4(in_PositionColor.xyz, 1.0);
    barvaTocke = vec4(0.0, 0.0, 0.0, in_PositionColor.w * alfa);
}
