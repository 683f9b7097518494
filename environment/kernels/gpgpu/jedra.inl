// Device code of the light environment: the shadow-propagation grid (pyramid
// updates and per-bud light and growth direction), the shadow cones, the two
// display fills and a fill kernel. Every kernel is one-dimensional.

typedef float3 vec3;
typedef int3 ivec3;
typedef float2 vec2;

// Transcendentals of the cone shadow as plain arithmetic: a polynomial and the
// float's exponent bits. Unlike the built-in functions they vectorise on a CPU
// device, and they are as accurate as the native functions they replace (a few
// units in the last place). Each comes for one value and for sixteen; the two
// bodies are the same.

// 2^x: 0 below 2^-126, at most 2^126, NaN stays NaN.
float fast_exp2(float x)
{
    float c = x > 126.0f ? 126.0f : (x < -126.0f ? -126.0f : x);
    // Adding 1.5 * 2^23 rounds to an integer, which lands in the low mantissa bits.
    float shifted = c + 12582912.0f;
    float f = c - (shifted - 12582912.0f);
    float p = fma(f, 1.535336188319500e-4f, 1.339887440266574e-3f);
    p = fma(p, f, 9.618437357674640e-3f);
    p = fma(p, f, 5.550332471162809e-2f);
    p = fma(p, f, 2.402264791363012e-1f);
    p = fma(p, f, 6.931472028550421e-1f);
    p = fma(p, f, 1.0f);
    float scale = as_float((as_int(shifted) - 0x4B400000 + 127) << 23);
    return x < -126.0f ? 0.0f : p * scale;
}

float16 fast_exp2_16(float16 x)
{
    float16 c = select(x, (float16)(126.0f), x > 126.0f);
    c = select(c, (float16)(-126.0f), c < -126.0f);
    float16 shifted = c + 12582912.0f;
    float16 f = c - (shifted - 12582912.0f);
    float16 p = fma(f, 1.535336188319500e-4f, 1.339887440266574e-3f);
    p = fma(p, f, 9.618437357674640e-3f);
    p = fma(p, f, 5.550332471162809e-2f);
    p = fma(p, f, 2.402264791363012e-1f);
    p = fma(p, f, 6.931472028550421e-1f);
    p = fma(p, f, 1.0f);
    float16 scale = as_float16((as_int16(shifted) - 0x4B400000 + 127) << 23);
    return select(p * scale, (float16)(0.0f), x < -126.0f);
}

// log2 of a positive normal x; NaN stays NaN.
float fast_log2(float x)
{
    int bits = as_int(x);
    int e = ((bits >> 23) & 0xff) - 127;
    float m = as_float((bits & 0x007fffff) | 0x3f800000);
    // m in [sqrt(1/2), sqrt(2)) keeps the series of log(1 + f) short.
    bool high = m > 1.41421356f;
    m = high ? 0.5f * m : m;
    e = high ? e + 1 : e;
    float f = m - 1.0f;
    float z = f * f;
    float p = fma(f, 7.0376836292e-2f, -1.1514610310e-1f);
    p = fma(p, f, 1.1676998740e-1f);
    p = fma(p, f, -1.2420140846e-1f);
    p = fma(p, f, 1.4249322787e-1f);
    p = fma(p, f, -1.6668057665e-1f);
    p = fma(p, f, 2.0000714765e-1f);
    p = fma(p, f, -2.4999993993e-1f);
    p = fma(p, f, 3.3333331174e-1f);
    float ln = fma(f * z, p, fma(-0.5f, z, f));
    return isnan(x) ? x : fma(ln, M_LOG2E_F, (float)e);
}

float16 fast_log2_16(float16 x)
{
    int16 bits = as_int16(x);
    int16 e = ((bits >> 23) & 0xff) - 127;
    float16 m = as_float16((bits & 0x007fffff) | 0x3f800000);
    int16 high = m > 1.41421356f;
    m = select(m, 0.5f * m, high);
    e = e - high;  // a true vector comparison is -1
    float16 f = m - 1.0f;
    float16 z = f * f;
    float16 p = fma(f, 7.0376836292e-2f, -1.1514610310e-1f);
    p = fma(p, f, 1.1676998740e-1f);
    p = fma(p, f, -1.2420140846e-1f);
    p = fma(p, f, 1.4249322787e-1f);
    p = fma(p, f, -1.6668057665e-1f);
    p = fma(p, f, 2.0000714765e-1f);
    p = fma(p, f, -2.4999993993e-1f);
    p = fma(p, f, 3.3333331174e-1f);
    float16 ln = fma(f * z, p, fma(-0.5f, z, f));
    return select(fma(ln, M_LOG2E_F, convert_float16(e)), x, isnan(x));
}

float fast_sinh(float x)
{
    float e = fast_exp2(x * M_LOG2E_F);
    return (e - 1.0f / e) / 2.0f;
}

float fast_tanh(float x)
{
    // fast_exp2 stops at 2^126, so for large x the quotient is exactly 1
    // instead of the NaN of (inf - 1) / (inf + 1).
    float e = fast_exp2(2.0f * x * M_LOG2E_F);
    return (e - 1.0f) / (e + 1.0f);
}

// Below this argument dy5 / sinh(x) comes from the series of sinh, where
// exp(-x) is too close to 1 for 1 - exp(-2x) to keep its digits.
#define SINH_SERIES_BELOW 0.25f

// dy5 / sinh(x) for x > 0 as (2 dy5 m) / (1 - m^2) with m = exp(-x): m
// underflows to 0 for a distant apex, so the term falls to 0 instead of
// overflowing into inf / inf.
float ConeBelowTerm(float dy5, float x)
{
    float m = fast_exp2(-x * M_LOG2E_F);
    float x2 = x * x;
    float sinhSmall = x * fma(x2, fma(x2, 1.0f / 120.0f, 1.0f / 6.0f), 1.0f);
    bool small = x < SINH_SERIES_BELOW;
    float num = small ? dy5 : (2.0f * dy5) * m;
    float den = small ? sinhSmall : fma(-m, m, 1.0f);
    return num / den;
}

float16 ConeBelowTerm16(float16 dy5, float16 x)
{
    float16 m = fast_exp2_16(-x * M_LOG2E_F);
    float16 x2 = x * x;
    float16 sinhSmall = x * fma(x2, fma(x2, 1.0f / 120.0f, 1.0f / 6.0f), 1.0f);
    int16 small = x < SINH_SERIES_BELOW;
    float16 num = select((2.0f * dy5) * m, dy5, small);
    float16 den = select(fma(-m, m, 1.0f), sinhSmall, small);
    return num / den;
}

float StozecVrednostSence(vec3 stozec, vec3 popek)
{
    float r = length(stozec - popek);
    if (r <= 0.0f)
        return 1.0f;
    // tanh(1/r)^r
    float v = fast_exp2(r * fast_log2(fast_tanh(1.0f / r)));
    float dy = stozec.y - popek.y;
    if (dy <= 0.0f)
        return v;
    float dR = length((vec2)(stozec.x, stozec.z) - (vec2)(popek.x, popek.z));
    dy = dy / 5.0f;
    dR = dR * 2.0f;
    return v + ConeBelowTerm(dy, dR + dy);
}

// StozecVrednostSence of sixteen apexes (given by coordinate) on one point,
// without branches per apex. A term is left out when it is 0 in every lane:
// the tanh term when every apex is 32 or more away (tanh(1/32)^32 is about
// 2^-160, below the smallest power of two that fast_exp2 gives), the sinh term
// where no apex is above the point or where x >= 88 (exp(-x) below 2^-126). A
// NaN coordinate fails every test, so its lane still turns out NaN.
float16 StozecVrednostSence16(float16 sx, float16 sy, float16 sz, vec3 popek)
{
    float16 dx = sx - popek.x;
    float16 dy = sy - popek.y;
    float16 dz = sz - popek.z;
    float16 horizontal2 = dx * dx + dz * dz;
    float16 r2 = horizontal2 + dy * dy;
    float16 shadow = (float16)(0.0f);
    if (!all(r2 >= 1024.0f)) {
        float16 r = sqrt(r2);
        float16 e = fast_exp2_16((2.0f * M_LOG2E_F) / r);
        shadow = fast_exp2_16(r * fast_log2_16((e - 1.0f) / (e + 1.0f)));
    }
    float16 dy5 = dy / 5.0f;
    float16 x = 2.0f * sqrt(horizontal2) + dy5;
    int16 level = dy <= 0.0f;
    if (!all(level | (x >= 88.0f)))
        shadow = select(shadow + ConeBelowTerm16(dy5, x), shadow, level);
    return select(shadow, (float16)(1.0f), r2 <= 0.0f);
}

// Apexes staged in local memory per round, and evaluated sixteen at a time.
#define CONE_STAGE 128
#define CONE_LANES 16

// The summed shadow of all apexes on the point p. The work-group copies the
// apexes round by round into local memory as three coordinate planes, so every
// work-item reads sixteen apexes per step without branches. Each round's
// shadows are summed in sixteen lanes and then across the lanes, and the rounds
// in order. No shadow is negative, so once the sum reaches `enough` (where the
// caller's result no longer changes) the remaining rounds are left out. Every
// work-item of the group must call it.
float ConeShadowSum(vec3 p, global const float* apexes, int numApexes, float enough, local float* apexX,
                    local float* apexY, local float* apexZ)
{
    const int16 lane = (int16)(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    int lid = get_local_id(0);
    int groupSize = get_local_size(0);
    float sum = 0.0f;
    for (int base = 0; base < numApexes; base += CONE_STAGE) {
        int count = min(CONE_STAGE, numApexes - base);
        barrier(CLK_LOCAL_MEM_FENCE);
        for (int i = lid; i < CONE_STAGE; i += groupSize) {
            float4 apex = i < count ? vload4(base + i, apexes) : (float4)(0.0f);
            apexX[i] = apex.x;
            apexY[i] = apex.y;
            apexZ[i] = apex.z;
        }
        barrier(CLK_LOCAL_MEM_FENCE);
        // A NaN sum fails the test too: nothing added can change it.
        if (!(sum < enough))
            continue;
        float16 lanes = (float16)(0.0f);
        for (int j = 0; j < count; j += CONE_LANES) {
            float16 shadow = StozecVrednostSence16(vload16(0, apexX + j), vload16(0, apexY + j),
                                                   vload16(0, apexZ + j), p);
            // Lanes past the last apex add nothing.
            lanes += select((float16)(0.0f), shadow, lane < count - j);
        }
        float8 half8 = lanes.lo + lanes.hi;
        float4 half4 = half8.lo + half8.hi;
        float2 half2 = half4.lo + half4.hi;
        sum += half2.x + half2.y;
    }
    return sum;
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
    local float apexX[CONE_STAGE];
    local float apexY[CONE_STAGE];
    local float apexZ[CONE_STAGE];
    int gid = get_global_id(0);
    vec3 p = vload4(gid, popki).xyz;
    // From a sum of 80 on the light is 0.
    float sum = ConeShadowSum(p, vsiStozci, numVsiStozci, 80.0f, apexX, apexY, apexZ);
    // fmax: a NaN sum gives no light instead of deciding the result.
    float result = fmax(1.0f - sum / 80.0f, 0.0f);
    vrednostiSence[gid] = p.y < -1.0f ? 0.0f : result;
}

// The cone shadow sampled on a dim^3 lattice that starts at bboxMin, for display.
kernel void vboIzStozcev(global const float* stozci, const int numVsiStozci, global float* posesStozci,
                         const int dim, float4 bboxMin, float4 bboxMax)
{
    local float apexX[CONE_STAGE];
    local float apexY[CONE_STAGE];
    local float apexZ[CONE_STAGE];
    int gid = get_global_id(0);
    vec3 d = bboxMax.xyz - bboxMin.xyz;
    ivec3 cell = (ivec3)(gid % dim, (gid / dim) % dim, gid / (dim * dim));
    vec3 point = bboxMin.xyz + (d / (float)dim) * convert_float3(cell);
    // From a sum of 81 on the shadow is 1.
    float sum = ConeShadowSum(point, stozci, numVsiStozci, 81.0f, apexX, apexY, apexZ);
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
