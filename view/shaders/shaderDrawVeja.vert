#version 330

// One branch point: an internode (or bud) from its base to its tip. Each radius
// vector carries the axis at its end and, as its length, the radius there.
layout(location = 0) in vec3 in_PositionA;
layout(location = 1) in vec3 in_PositionB;
layout(location = 2) in vec3 in_NormInDebelinaA;
layout(location = 3) in vec3 in_NormInDebelinaB;
layout(location = 4) in int in_Vid;
layout(location = 5) in float in_BarvaVeje;
layout(location = 6) in int in_StarostVeje;

out vec3 positionA;
out vec3 positionB;
out float radiusA;
out float radiusB;
out vec3 axisA;
out vec3 axisB;
out float barvaTocke;
flat out int starost;
flat out int vid;

void main()
{
    positionA = in_PositionA;
    positionB = in_PositionB;
    radiusA = length(in_NormInDebelinaA);
    radiusB = length(in_NormInDebelinaB);
    axisA = normalize(in_NormInDebelinaA);
    axisB = normalize(in_NormInDebelinaB);
    barvaTocke = in_BarvaVeje;
    starost = in_StarostVeje;
    vid = in_Vid;
}
