// Helpers shared by the geometry stages and the panel's vertex stage. No version
// line: it is pasted in place of an include line, after the includer's own.

#define M_PI 3.1415926535897932384626433832795

// Clip coordinates (-1..1) to texture coordinates (0..1) on x, y and z.
const mat4 bias = mat4(0.5, 0.0, 0.0, 0.0,
                       0.0, 0.5, 0.0, 0.0,
                       0.0, 0.0, 0.5, 0.0,
                       0.5, 0.5, 0.5, 1.0);

// A unit vector across n. It has no direction when n is parallel to (-1, -1, 1).
vec3 CalcBinormala(vec3 n)
{
    return normalize(cross(n, vec3(0.0, 0.0, 1.0)) - cross(n, vec3(1.0, 0.0, 0.0)) - cross(n, vec3(0.0, 1.0, 0.0)));
}

// Rotates v by the unit quaternion q, stored (x, y, z, w).
vec3 MulQuat(vec4 q, vec3 v)
{
    vec3 uv = 2.0 * cross(q.xyz, v);
    vec3 uuv = cross(q.xyz, uv);
    return v + q.w * uv + uuv;
}

vec4 angleAxisMyRad(float angle, vec3 axis)
{
    return vec4(axis * sin(angle * 0.5), cos(angle * 0.5));
}

vec4 angleAxisMyDeg(float angle, vec3 axis)
{
    return angleAxisMyRad(radians(angle), axis);
}

vec3 CalcVOdmikRad(float angle, vec3 v, vec3 axis)
{
    return normalize(MulQuat(angleAxisMyRad(angle, axis), v));
}

vec3 CalcVOdmikDeg(float angle, vec3 v, vec3 axis)
{
    return normalize(MulQuat(angleAxisMyDeg(angle, axis), v));
}

vec4 PointToShadowSpace(mat4 matrix, vec3 p)
{
    return bias * matrix * vec4(p, 1.0);
}
