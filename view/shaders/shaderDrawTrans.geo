#version 330

// An environment sample becomes three faces of a cell-sized box: the face at
// its own z and the faces at x + 1 and y + 1. Seen through the translucent
// field, the three other faces would only darken what the neighbours draw.
layout(points) in;
layout(triangle_strip, max_vertices = 10) out;

in vec4 barvaTocke[];

uniform mat4 PVM;
uniform vec3 CubeD;

out vec4 barva;

void emitCorner(vec3 corner)
{
    gl_Position = gl_in[0].gl_Position + PVM * vec4(corner * CubeD, 0.0);
    barva = barvaTocke[0];
    EmitVertex();
}

void main()
{
    if (barvaTocke[0].a <= 0.0)
        return;

    emitCorner(vec3(0.0, 0.0, 0.0));
    emitCorner(vec3(0.0, 1.0, 0.0));
    emitCorner(vec3(1.0, 0.0, 0.0));
    emitCorner(vec3(1.0, 1.0, 0.0));
    emitCorner(vec3(1.0, 0.0, 1.0));
    emitCorner(vec3(1.0, 1.0, 1.0));
    EndPrimitive();

    emitCorner(vec3(1.0, 1.0, 1.0));
    emitCorner(vec3(1.0, 1.0, 0.0));
    emitCorner(vec3(0.0, 1.0, 1.0));
    emitCorner(vec3(0.0, 1.0, 0.0));
    EndPrimitive();
}
