#version 330

// A branch point becomes a tapered tube: a ring of vertices around the base and
// one around the tip, each ring across its own axis, so that a tube bends
// smoothly into its neighbours.
layout(points) in;
layout(triangle_strip, max_vertices = 26) out;

#include < shaderInclude.vert>

in vec3 positionA[];
in vec3 positionB[];
in float radiusA[];
in float radiusB[];
in vec3 axisA[];
in vec3 axisB[];
in float barvaTocke[];
flat in int starost[];
flat in int vid[];

uniform mat4 PVM;
uniform mat4 ModelViewMatrix;
uniform mat4 shadowmat;
uniform float TexRepeat = 1.0;
uniform float TexXFrom = 0.0;
uniform float TexXTo = 1.0;
uniform int GrobiPrikaz = 0;

out vec3 posNewOriginal;
out vec3 norm;
out vec2 texCoord;
flat out int MyPrimitiveID;
out float barvaVeje;

// Cosine and sine of 2 pi i / 12. Three sides take every fourth entry, so the
// rings need no trigonometry per vertex.
const vec2 ring[12] = vec2[12](
    vec2(1.0, 0.0), vec2(0.8660254, 0.5), vec2(0.5, 0.8660254),
    vec2(0.0, 1.0), vec2(-0.5, 0.8660254), vec2(-0.8660254, 0.5),
    vec2(-1.0, 0.0), vec2(-0.8660254, -0.5), vec2(-0.5, -0.8660254),
    vec2(0.0, -1.0), vec2(0.5, -0.8660254), vec2(0.8660254, -0.5));

// Per-point frame of one ring: its centre, its radius and two orthonormal
// directions across its axis, in world space and, scaled by the radius, in clip
// space. A ring vertex at angle (c, s) lies at centre + radius (c side + s up);
// the projection is linear, so its clip position is the same combination of the
// projected parts.
vec3 worldCentre[2];
float radius[2];
vec3 worldSide[2];
vec3 worldUp[2];
vec4 clipCentre[2];
vec4 clipSide[2];
vec4 clipUp[2];

void emitRingVertex(int end, vec2 cs, vec2 uv)
{
    vec3 direction = cs.x * worldSide[end] + cs.y * worldUp[end];
    gl_Position = clipCentre[end] + cs.x * clipSide[end] + cs.y * clipUp[end];
    posNewOriginal = worldCentre[end] + radius[end] * direction;
    norm = direction;
    texCoord = uv;
    MyPrimitiveID = vid[0];
    barvaVeje = barvaTocke[0];
    EmitVertex();
}

void main()
{
    vec4 clipA = PVM * vec4(positionA[0], 1.0);
    vec4 clipB = PVM * vec4(positionB[0], 1.0);
    vec3 a = clipA.xyz / clipA.w;
    vec3 b = clipB.xyz / clipB.w;
    if ((a.z < 0.0 && b.z < 0.0) || (a.x < -1.0 && b.x < -1.0) || (a.x > 1.0 && b.x > 1.0)
        || (a.y < -1.0 && b.y < -1.0) || (a.y > 1.0 && b.y > 1.0))
        return;

    int sides = GrobiPrikaz == 1 ? 3 : 12;
    int step = 12 / sides;

    // Old bark fills the left half of the bark image, young bark the right half,
    // both within the window TexXFrom to TexXTo (the whole image by default).
    vec2 range = starost[0] >= 2 ? vec2(0.0, 0.499) : vec2(0.5, 1.0);
    range = TexXFrom + (TexXTo - TexXFrom) * range;

    vec3 nA = axisA[0];
    vec3 nB = axisB[0];
    vec3 t = vec3(1.0, 0.0, 0.0);
    if (length(cross(nA, t)) < 0.1 || length(cross(nB, t)) < 0.1)
        t = vec3(0.0, 1.0, 0.0);
    vec3 bA = normalize(cross(nA, t));
    vec3 bB = normalize(cross(nB, t));

    // Turning b about the axis n by an angle gives cos b + sin (n x b), since b
    // lies across n: the same as the quaternion rotation, without one per vertex.
    worldCentre[0] = positionA[0];
    worldCentre[1] = positionB[0];
    radius[0] = radiusA[0];
    radius[1] = radiusB[0];
    worldSide[0] = bA;
    worldSide[1] = bB;
    worldUp[0] = cross(nA, bA);
    worldUp[1] = cross(nB, bB);
    clipCentre[0] = clipA;
    clipCentre[1] = clipB;
    for (int end = 0; end < 2; ++end) {
        clipSide[end] = PVM * vec4(radius[end] * worldSide[end], 0.0);
        clipUp[end] = PVM * vec4(radius[end] * worldUp[end], 0.0);
    }

    emitRingVertex(0, ring[0], vec2(range.x, 0.0));
    emitRingVertex(1, ring[0], vec2(range.x, 1.0));
    for (int i = 1; i < sides; ++i) {
        vec2 cs = ring[i * step];
        float u = range.x + (range.y - range.x) * float(i) / float(sides);
        emitRingVertex(0, cs, vec2(u, 0.0));
        emitRingVertex(1, cs, vec2(u, TexRepeat));
    }
    emitRingVertex(0, ring[0], vec2(range.y, 0.0));
    emitRingVertex(1, ring[0], vec2(range.y, 1.0));
    EndPrimitive();
}
