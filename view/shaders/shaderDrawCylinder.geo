#version 330

// A line becomes a six-sided tube (ropes, spreaders, the highlighted path and
// the measuring lines). No culling: these lines are few.
layout(lines) in;
layout(triangle_strip, max_vertices = 14) out;

#include <shaderInclude.vert>

in vec3 position[];
in float radius[];
in vec3 axis[];

uniform mat4 PVM;
uniform mat4 shadowmat;
uniform float TexRepeat = 0.0;
uniform float TexXFrom = 0.0;
uniform float TexXTo = 1.0;

out vec3 posNewOriginal;
out vec3 norm;
out vec2 texCoord;
out float barvaVeje;

void emitVertex(vec3 centre, float r, vec3 direction, vec2 uv)
{
    posNewOriginal = centre + r * direction;
    gl_Position = PVM * vec4(posNewOriginal, 1.0);
    norm = direction;
    texCoord = uv;
    barvaVeje = 0.0;
    EmitVertex();
}

void main()
{
    vec3 nA = axis[0];
    vec3 nB = axis[1];
    // Ropes and spreaders give their two ends opposite radius vectors; turned the
    // same way, the rings do not twist the tube into an hourglass. Equal axes
    // (the highlighted path) are the common case and stay as they are.
    if (dot(nA, nB) <= cos(M_PI / 2.0))
        nB = -nB;

    vec3 t = vec3(1.0, 0.0, 0.0);
    if (length(cross(nA, t)) < 0.1 || length(cross(nB, t)) < 0.1)
        t = vec3(0.0, 1.0, 0.0);
    vec3 bA = normalize(cross(nA, t));
    vec3 bB = normalize(cross(nB, t));

    for (int i = 0; i <= 6; ++i) {
        float halfAngle = float(i) * M_PI / 6.0;
        vec2 sc = vec2(sin(halfAngle), cos(halfAngle));
        float u = TexXFrom + (TexXTo - TexXFrom) * float(i) / 6.0;
        emitVertex(position[0], radius[0], MulQuat(vec4(nA * sc.x, sc.y), bA), vec2(u, 0.0));
        emitVertex(position[1], radius[1], MulQuat(vec4(nB * sc.x, sc.y), bB), vec2(u, TexRepeat));
    }
    EndPrimitive();
}
