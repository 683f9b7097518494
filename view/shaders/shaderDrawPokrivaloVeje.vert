#version 330

// One cut cap: the cut point and the radius vector across the cut.
layout(location = 0) in vec3 in_PositionA;
layout(location = 1) in vec3 in_NormInDebelinaA;

out vec3 position;
out float radius;
out vec3 axis;

void main()
{
    position = in_PositionA;
    radius = length(in_NormInDebelinaA);
    axis = normalize(in_NormInDebelinaA);
}
