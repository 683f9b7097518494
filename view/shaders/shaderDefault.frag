#version 330

in vec4 barva;

out vec4 outColor;

void main()
{
    outColor = barva;
}
