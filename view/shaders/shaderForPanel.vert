#version 330

// Ground, sky box, ruler, models and the 2D overlays, lit and shadowed by the
// fragment stage of the trees.
layout(location = 0) in vec3 in_Position;
layout(location = 1) in vec3 in_Normal;
layout(location = 2) in vec2 in_Texture;
layout(location = 3) in float in_QSUM;

#include <shaderInclude.vert>

uniform mat4 ModelMatrix;
uniform mat4 ViewMatrix;
uniform mat4 ProjectionMatrix;
uniform vec3 LightPosition;
uniform mat4 NormalModelMatrix;
uniform int PoPotrebiInvertirajNormale = 0;
uniform mat4 shadowmat;

out vec3 norm;
out vec2 texCoord;
out vec3 posNewOriginal;
out float barvaVeje;
out vec3 normalWorld;
out vec3 lightDirection;
out vec3 eyeDirection;

void main()
{
    vec4 world = ModelMatrix * vec4(in_Position, 1.0);
    gl_Position = ProjectionMatrix * ViewMatrix * world;

    // The shared fragment stage lights in model coordinates from these three.
    norm = in_Normal;
    texCoord = in_Texture;
    posNewOriginal = in_Position;
    barvaVeje = in_QSUM;

    // World-space lighting terms; the shared fragment stage does not read them.
    lightDirection = LightPosition - world.xyz;
    normalWorld = mat3(NormalModelMatrix) * in_Normal;
    if (PoPotrebiInvertirajNormale == 1 && acos(dot(normalize(normalWorld), normalize(lightDirection))) > 3.1415 / 2.0)
        normalWorld = -normalWorld;
    eyeDirection = -(ViewMatrix * world).xyz;
}
