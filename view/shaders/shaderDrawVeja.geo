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
const vec2 ringAngles[12] = vec2[12](
    vec2(1.0, 0.0), vec2(0.8660254, 0.5), vec2(0.5, 0.8660254),
    vec2(0.0, 1.0), vec2(-0.5, 0.8660254), vec2(-0.8660254, 0.5),
    vec2(-1.0, 0.0), vec2(-0.8660254, -0.5), vec2(-0.5, -0.8660254),
    vec2(0.0, -1.0), vec2(0.5, -0.8660254), vec2(0.8660254, -0.5));

// One ring of the tube: its centre and radius, two orthonormal directions
// across its axis, and their clip-space images scaled by the radius. A ring
// vertex at angle (c, s) lies at centre + radius (c side + s up); the
// projection is linear, so its clip position is the same combination of the
// projected parts and costs no matrix product per vertex.
struct Ring {
    vec3 centre;
    float radius;
    vec3 side;
    vec3 up;
    vec4 clipCentre;
    vec4 clipSide;
    vec4 clipUp;
};

Ring makeRing(vec3 centre, vec4 clipCentre, float radius, vec3 axis, vec3 side)
{
    Ring ring;
    ring.centre = centre;
    ring.radius = radius;
    ring.side = side;
    // Turning `side` about the axis by an angle gives cos side + sin (axis x
    // side), as it lies across the axis: the quaternion rotation, for free.
    ring.up = cross(axis, side);
    ring.clipCentre = clipCentre;
    ring.clipSide = PVM * vec4(radius * ring.side, 0.0);
    ring.clipUp = PVM * vec4(radius * ring.up, 0.0);
    return ring;
}

void emitRingVertex(Ring ring, vec2 cs, vec2 uv)
{
    vec3 direction = cs.x * ring.side + cs.y * ring.up;
    gl_Position = ring.clipCentre + cs.x * ring.clipSide + cs.y * ring.clipUp;
    posNewOriginal = ring.centre + ring.radius * direction;
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

    Ring base = makeRing(positionA[0], clipA, radiusA[0], nA, bA);
    Ring tip = makeRing(positionB[0], clipB, radiusB[0], nB, bB);

    emitRingVertex(base, ringAngles[0], vec2(range.x, 0.0));
    emitRingVertex(tip, ringAngles[0], vec2(range.x, 1.0));
    for (int i = 1; i < sides; ++i) {
        vec2 cs = ringAngles[i * step];
        float u = range.x + (range.y - range.x) * float(i) / float(sides);
        emitRingVertex(base, cs, vec2(u, 0.0));
        emitRingVertex(tip, cs, vec2(u, TexRepeat));
    }
    emitRingVertex(base, ringAngles[0], vec2(range.y, 0.0));
    emitRingVertex(tip, ringAngles[0], vec2(range.y, 1.0));
    EndPrimitive();
}
