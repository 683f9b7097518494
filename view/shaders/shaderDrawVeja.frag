#version 330 core
#extension GL_ARB_gpu_shader5 : enable

// Every lit surface: texture, colour by attribute, diffuse light and filtered
// shadows. In the shadow-map pass only depth matters, so it writes white.
in vec3 posNewOriginal;
in vec3 norm;
in vec2 texCoord;
in float barvaVeje;

uniform sampler2D Tekstura;
uniform sampler2DShadow shadowMap;
uniform vec3 lightPos;
uniform vec4 AddColor = vec4(0.0, 0.0, 0.0, 0.0);
uniform int intoQSumE = 0;
uniform int ShadowsE = 1;
uniform mat4 shadowmat;
uniform int OsvetlitevE = 1;
uniform int TeksturaE = 1;
uniform int InsideShadowMapping = 0;
uniform mat4 PVM;
uniform mat4 lightPVM;

out vec4 outColor;

// Blue, cyan, green, yellow, red from 0 to 1; above 1 towards magenta.
vec3 skala(float v)
{
    if (v < 0.25)
        return vec3(0.0, v / 0.25, 1.0);
    if (v < 0.5)
        return vec3(0.0, 1.0, (0.5 - v) / 0.25);
    if (v < 0.75)
        return vec3((v - 0.5) / 0.25, 1.0, 0.0);
    if (v <= 1.0)
        return vec3(1.0, (1.0 - v) / 0.25, 0.0);
    return vec3(1.0, 0.0, 1.0 - tanh(10.0 / v));
}

// Share of light that reaches p: nine depth comparisons around it, one texel
// apart. Fully shadowed surfaces keep 30 % of their light.
//
// Where gathers with a reference depth exist, the nine filtered comparisons
// are summed from the 4 x 4 texels under them: each filtered comparison weighs
// its 2 x 2 texels by the position's fraction f within a texel, so along each
// axis the nine together weigh the four texels (1 - f, 1, 1, f). Four gathers
// instead of nine filtered lookups give the same sum with 16 comparisons
// instead of 36, and the lookups are most of the cost of a lit fragment on a
// software rasteriser.
float CalcShadowFactor(vec4 p, ivec2 size)
{
    vec3 q = p.xyz / p.w;
    vec2 st = 0.5 * q.xy + 0.5;
    float depth = 0.5 * q.z + 0.5;
    float reference = depth - 0.000001;
#ifdef GL_ARB_gpu_shader5
    vec2 f = fract(st * vec2(size) - 0.5);
    vec4 wx = vec4(1.0 - f.x, 1.0, 1.0, f.x);
    vec4 wy = vec4(1.0 - f.y, 1.0, 1.0, f.y);
    // A gather returns its texels as (left, top), (right, top), (right,
    // bottom), (left, bottom), with top the higher row.
    vec4 g00 = textureGatherOffset(shadowMap, st, reference, ivec2(-1, -1));
    vec4 g10 = textureGatherOffset(shadowMap, st, reference, ivec2(1, -1));
    vec4 g01 = textureGatherOffset(shadowMap, st, reference, ivec2(-1, 1));
    vec4 g11 = textureGatherOffset(shadowMap, st, reference, ivec2(1, 1));
    float sum = dot(g00, vec4(wx.x * wy.y, wx.y * wy.y, wx.y * wy.x, wx.x * wy.x))
                + dot(g10, vec4(wx.z * wy.y, wx.w * wy.y, wx.w * wy.x, wx.z * wy.x))
                + dot(g01, vec4(wx.x * wy.w, wx.y * wy.w, wx.y * wy.z, wx.x * wy.z))
                + dot(g11, vec4(wx.z * wy.w, wx.w * wy.w, wx.w * wy.z, wx.z * wy.z));
#else
    vec2 texel = vec2(1.0) / vec2(size);
    float sum = 0.0;
    for (int y = -1; y <= 1; ++y)
        for (int x = -1; x <= 1; ++x)
            sum += texture(shadowMap, vec3(st + vec2(x, y) * texel, reference));
#endif
    return (sum / 9.0) * 0.7 + 0.3;
}

void main()
{
    if (InsideShadowMapping == 1) {
        outColor = vec4(1.0);
        return;
    }

    vec4 material = AddColor;
    if (TeksturaE == 1) {
        vec4 t = texture(Tekstura, texCoord);
        material += t;
        if (t.a < 0.5)
            discard;
    }
    if (intoQSumE == 1)
        material = vec4(skala(barvaVeje), 1.0);

    vec4 colour = material;
    if (OsvetlitevE == 1) {
        colour.rgb *= 0.8;
        float diffuse = dot(norm, normalize(lightPos - posNewOriginal));
        colour.rgb += material.rgb * 0.8 * diffuse;
        if (ShadowsE == 1)
            colour.rgb *= CalcShadowFactor(shadowmat * vec4(posNewOriginal, 1.0), textureSize(shadowMap, 0));
    }
    outColor = colour;
}
