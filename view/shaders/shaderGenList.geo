#version 330

// A leaf point becomes a diamond of length s and width 2 s along its
// orientation, textured with the leaf in the left half of the leaf image, whose
// outline comes from the image's alpha.
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

#include <shaderInclude.vert>

in vec3 position[];
in float size[];
in vec3 orientation[];
in vec3 normal[];

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
    norm = normal[0];
    texCoord = uv;
    barvaVeje = 0.0;
    EmitVertex();
}

void main()
{
    vec3 p = position[0];
    vec3 tip = p + size[0] * orientation[0];

    // Leaves right in front of the eye would hide the view: the far test is z < 0.9.
    vec4 clipP = PVM * vec4(p, 1.0);
    vec4 clipTip = PVM * vec4(tip, 1.0);
    vec3 a = clipP.xyz / clipP.w;
    vec3 b = clipTip.xyz / clipTip.w;
    if ((a.z < 0.9 && b.z < 0.9) || (a.x < -1.0 && b.x < -1.0) || (a.x > 1.0 && b.x > 1.0)
        || (a.y < -1.0 && b.y < -1.0) || (a.y > 1.0 && b.y > 1.0))
        return;

    vec3 middle = p + size[0] * orientation[0] * 0.5;
    vec3 across = size[0] * cross(normal[0], orientation[0]);
    emitVertex(p, vec2(0.0, 0.0));
    emitVertex(middle + across, vec2(0.5, 0.0));
    emitVertex(middle - across, vec2(0.0, 1.0));
    emitVertex(tip, vec2(0.5, 1.0));
    EndPrimitive();
}
