// Device code of the light environment: the shadow-propagation grid (pyramid
// updates and per-bud light and growth direction), the shadow cones, the two
// display fills and a fill kernel. Every kernel is one-dimensional.

typedef float3 vec3;
typedef int3 ivec3;
typedef float2 vec2;

float fast_sinh(float x)
{
    return (native_exp(x) - native_exp(-x)) / 2.0f;
}

float fast_tanh(float x)
{
    // native_exp(2x) overflows above x of about 44 and (inf - 1) / (inf + 1) is
    // NaN; long before that the quotient has reached its limit 1 in float.
    if (x > 20.0f)
        return 1.0f;
    float e = native_exp(2.0f * x);
    return (e - 1.0f) / (e + 1.0f);
}

float StozecVrednostSence(vec3 stozec, vec3 popek)
{
    float r = length(stozec - popek);
    if (r <= 0.0f)
        return 1.0f;
    float v = native_powr(fast_tanh(1.0f / r), r);
    float dy = stozec.y - popek.y;
    if (dy <= 0.0f)
        return v;
    float dR = length((vec2)(stozec.x, stozec.z) - (vec2)(popek.x, popek.z));
    dy = dy / 5.0f;
    dR = dR * 2.0f;
    return v + dy / fast_sinh(dR + dy);
}

int GetIndexCeliceC(int x, int y, int z, int dimCelice)
{
    return z * dimCelice * dimCelice + y * dimCelice + x;
}

int GetIndexCelice(ivec3 celica, int dimCelice)
{
    return GetIndexCeliceC(celica.x, celica.y, celica.z, dimCelice);
}

ivec3 CalcIndexCeliceIzShadowProp(vec3 point, vec3 bboxMin, vec3 bboxD, int dimCelice)
{
    vec3 norm = (point - bboxMin) / bboxD;
    norm = select((vec3)(0.0f), norm, isfinite(norm));
    // Saturating: a point far outside the box lands far outside the grid
    // instead of on an undefined integer.
    return convert_int3_sat(floor(norm * (float)dimCelice));
}

bool OutOfRange(ivec3 celica, int dimCelice)
{
    return any(celica < (ivec3)(0)) || any(celica >= (ivec3)(dimCelice));
}

void AtomicAdd(volatile global float* source, const float operand)
{
    union {
        unsigned int intVal;
        float floatVal;
    } oldVal, newVal;
    do {
        oldVal.floatVal = *source;
        newVal.floatVal = oldVal.floatVal + operand;
    } while (atomic_cmpxchg((volatile global unsigned int*)source, oldVal.intVal, newVal.intVal) != oldVal.intVal);
}

// Adds (predznak +1) or removes (-1) the shadow pyramid of every bud: layer q
// below the bud's cell covers (2q + 1)^2 cells with sp_a * sp_b^-q.
kernel void ShadowPropIzracun(global const float* popki, const int dimShadowArray, const int sp_qmax,
                              const float sp_a, const float sp_b, const float4 bboxMin, const float4 bboxD,
                              global float* celiceShadowPropagation, const float predznak)
{
    int gid = get_global_id(0);
    vec3 pos = vload3(gid, popki);
    ivec3 ind = CalcIndexCeliceIzShadowProp(pos, bboxMin.xyz, bboxD.xyz, dimShadowArray);

    // Loop bounds are clipped to the grid in 64 bits: the cells visited are the
    // pyramid's cells inside the grid, and a saturated index cannot overflow.
    long last = dimShadowArray - 1;
    int yTop = (int)min((long)ind.y, last);
    int yBottom = (int)max((long)ind.y - sp_qmax, 0L);
    for (int y = yTop; y >= yBottom; --y) {
        int q = ind.y - y;
        float value = sp_a * pow(sp_b, (float)(-q)) * predznak;
        int xLo = (int)max((long)ind.x - q, 0L);
        int xHi = (int)min((long)ind.x + q, last);
        int zLo = (int)max((long)ind.z - q, 0L);
        int zHi = (int)min((long)ind.z + q, last);
        for (int x = xLo; x <= xHi; ++x) {
            for (int z = zLo; z <= zHi; ++z) {
                ivec3 celica = (ivec3)(x, y, z);
                if (!OutOfRange(celica, dimShadowArray))
                    AtomicAdd(&celiceShadowPropagation[GetIndexCelice(celica, dimShadowArray)], value);
            }
        }
    }
}

// Light of every bud from its cell, and the neighbour cell with the least
// shadow as its growth direction (straight up wins every tie it is part of).
kernel void ShadowPropIzracunPopke(global const float* popki, const int dimShadowArray, const float4 bboxMin,
                                   const float4 bboxD, float fullExp, float sp_a,
                                   global const float* celiceShadowPropagation, global float* vrednosti,
                                   global float* optOrients)
{
    int gid = get_global_id(0);
    vec3 pos = vload3(gid, popki);
    ivec3 ind = CalcIndexCeliceIzShadowProp(pos, bboxMin.xyz, bboxD.xyz, dimShadowArray);

    vrednosti[gid] = 0.0f;
    float s = 0.0f;
    if (!OutOfRange(ind, dimShadowArray)) {
        s = celiceShadowPropagation[GetIndexCelice(ind, dimShadowArray)];
        vrednosti[gid] = fmax(fullExp - s + sp_a, 0.0f);
    }

    float minS = s;
    vec3 best = (vec3)(0.0f);
    // A cell more than one step outside the grid has no neighbour inside; the
    // check also keeps ind + offset from overflowing a saturated index.
    bool nearGrid = all(ind >= (ivec3)(-1)) && all(ind <= (ivec3)(dimShadowArray));
    if (nearGrid) {
        for (int zI = 1; zI >= -1; --zI) {
            for (int xI = 1; xI >= -1; --xI) {
                for (int yI = 1; yI >= -1; --yI) {
                    ivec3 celica = ind + (ivec3)(xI, yI, zI);
                    if (OutOfRange(celica, dimShadowArray))
                        continue;
                    float t = celiceShadowPropagation[GetIndexCelice(celica, dimShadowArray)];
                    if (t < minS) {
                        minS = t;
                        best = (vec3)((float)xI, (float)yI, (float)zI);
                    } else if (t == minS && xI == 0 && yI == 1 && zI == 0) {
                        best = (vec3)(0.0f, 1.0f, 0.0f);
                    }
                }
            }
        }
    }
    vstore3(best, gid, optOrients);
}

kernel void memSet(float value, global float* mem)
{
    mem[get_global_id(0)] = value;
}

// Light of every bud under the shadow cones of all apexes.
kernel void stozciIzracun(global const float* popki, global const float* vsiStozci, const int numVsiStozci,
                          global float* vrednostiSence)
{
    int gid = get_global_id(0);
    vec3 p = vload4(gid, popki).xyz;
    float result = 0.0f;
    if (!(p.y < -1.0f)) {
        float sum = 0.0f;
        for (int i = 0; i < numVsiStozci; ++i)
            sum += StozecVrednostSence(vload4(i, vsiStozci).xyz, p);
        // fmax: a NaN sum gives no light instead of deciding the result.
        result = fmax(1.0f - sum / 80.0f, 0.0f);
    }
    vrednostiSence[gid] = result;
}

// The cone shadow sampled on a dim^3 lattice that starts at bboxMin, for display.
kernel void vboIzStozcev(global const float* stozci, const int numVsiStozci, global float* posesStozci,
                         const int dim, float4 bboxMin, float4 bboxMax)
{
    int gid = get_global_id(0);
    vec3 d = bboxMax.xyz - bboxMin.xyz;
    ivec3 cell = (ivec3)(gid % dim, (gid / dim) % dim, gid / (dim * dim));
    vec3 point = bboxMin.xyz + (d / (float)dim) * convert_float3(cell);
    float sum = 0.0f;
    for (int i = 0; i < numVsiStozci; ++i)
        sum += StozecVrednostSence(vload4(i, stozci).xyz, point);
    float s = fmax(1.0f - (sum - 1.0f) / 80.0f, 0.0f);
    vstore4((float4)(point, 1.0f - s), gid, posesStozci);
}

// Every grid cell as a display point at its centre with its value scaled by alfa.
kernel void vboIzShadowProp(global float* poses, global const float* celiceShadowPropagation,
                            const int dimShadowArray, const float4 bboxMin, const float4 bboxD, const float alfa)
{
    int gid = get_global_id(0);
    vec3 step = bboxD.xyz / (float)dimShadowArray;
    ivec3 cell = (ivec3)(gid % dimShadowArray, (gid / dimShadowArray) % dimShadowArray,
                         gid / (dimShadowArray * dimShadowArray));
    vec3 centre = convert_float3(cell) * step + step / 2.0f + bboxMin.xyz;
    vstore4((float4)(centre, celiceShadowPropagation[gid] * alfa), gid, poses);
}
