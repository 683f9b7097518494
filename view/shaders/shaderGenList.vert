#version 330

// One leaf: where it grows, its direction scaled by its size, and its normal.
layout(location = 0) in vec3 in_PositionA;
layout(location = 1) in vec3 in_OrientInDebelinaA;
layout(location = 2) in vec3 in_Norm;

out vec3 position;
out float size;
out vec3 orientation;
out vec3 normal;

void main()
{
    position = in_PositionA;
    size = length(in_OrientInDebelinaA);
    orientation = normalize(in_OrientInDebelinaA);
    normal = normalize(in_Norm);
}
