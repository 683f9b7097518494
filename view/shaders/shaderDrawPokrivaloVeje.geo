#version 330

// A cap point becomes a disc across the cut, a fan of separate triangles
// textured from the cut-surface ellipse in the right half of the leaf image.
layout(points) in;
layout(triangle_strip, max_vertices = 36) out;

#include <shaderInclude.vert>

in vec3 position[];
in float radius[];
in vec3 axis[];

uniform mat4 PVM;
uniform mat4 shadowmat;
uniform int GrobiPrikaz = 0;

out vec3 posNewOriginal;
out vec3 norm;
out vec2 texCoord;
out float barvaVeje;

void emitVertex(vec3 p, vec2 uv)
{
    posNewOriginal = p;
    gl_Position = PVM * vec4(p, 1.0);
    norm = axis[0];
    texCoord = uv;
    barvaVeje = 0.0;
    EmitVertex();
}

void main()
{
    int segments = GrobiPrikaz == 1 ? 3 : 12;
    float step = 2.0 * M_PI / float(segments);
    vec3 centre = position[0];
    vec3 binormal = CalcBinormala(axis[0]);

    // Each rim point serves two triangles; turn the binormal once per point.
    vec3 rim = centre + radius[0] * binormal;
    vec2 rimUv = vec2(1.0, 0.5);
    for (int i = 0; i < segments; ++i) {
        float next = mod(float(i + 1) * step, 2.0 * M_PI);
        vec3 nextRim = centre + radius[0] * CalcVOdmikRad(next, binormal, axis[0]);
        vec2 nextUv = vec2(cos(next) / 4.0 + 0.75, sin(next) / 2.0 + 0.5);
        emitVertex(centre, vec2(0.75, 0.5));
        emitVertex(rim, rimUv);
        emitVertex(nextRim, nextUv);
        EndPrimitive();
        rim = nextRim;
        rimUv = nextUv;
    }
}
