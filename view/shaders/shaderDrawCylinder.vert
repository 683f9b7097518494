#version 330

// One end of a rope, spreader or highlight segment; the radius vector carries
// the axis at this end and, as its length, the radius.
layout(location = 0) in vec3 in_Position;
layout(location = 1) in vec3 in_NormInDebelina;

out vec3 position;
out float radius;
out vec3 axis;

void main()
{
    position = in_Position;
    radius = length(in_NormInDebelina);
    axis = normalize(in_NormInDebelina);
}
