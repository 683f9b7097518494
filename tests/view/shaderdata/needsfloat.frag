#version 330
in float colourValue;
out vec4 colour;
void main()
{
    colour = vec4(colourValue);
}
