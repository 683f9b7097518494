#include "noise.h"

#include <algorithm>
#include <cmath>

namespace texgen {

namespace {

int wrap(int value, int period) { return ((value % period) + period) % period; }

std::uint8_t channel(float value) { return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

} // namespace

float hash01(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

float periodicNoise(float x, float y, int periodX, int periodY, std::uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float tx = smoothStep(0.0f, 1.0f, x - fx);
    const float ty = smoothStep(0.0f, 1.0f, y - fy);
    auto at = [&](int dx, int dy) { return hash01(wrap(x0 + dx, periodX), wrap(y0 + dy, periodY), seed); };
    const float bottom = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    const float top = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return bottom + (top - bottom) * ty;
}

float periodicFbm(float x, float y, int periodX, int periodY, int octaves, std::uint32_t seed)
{
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * periodicNoise(x, y, periodX, periodY, seed + static_cast<std::uint32_t>(octave) * 101u);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float smoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

QRgb toRgb(const glm::vec3& colour, float alpha)
{
    return qRgba(channel(colour.r), channel(colour.g), channel(colour.b), channel(alpha));
}

} // namespace texgen
