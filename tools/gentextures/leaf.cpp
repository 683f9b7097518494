#include "noise.h"
#include "textures.h"

#include <cmath>

namespace texgen {

namespace {

constexpr int kSize = 512;
constexpr float kPi = 3.14159265f;

// The leaf quad maps (u, v) of the left half affinely onto its diamond: its
// base at (0, 0), its tip at (0.5, 1), its sides at (0.5, 0) and (0, 1). In
// leaf coordinates a (0 at the base, 1 at the tip) and b (-1 to 1 across, the
// diamond's width at a = 0.5) that is u = a / 2 + b / 4, v = a - b / 2.
void leafCoordinates(float u, float v, float& a, float& b)
{
    a = u + v / 2.0f;
    b = 2.0f * u - v;
}

constexpr float kPetiole = 0.07f;

// Half-width of the blade at a: widest a little below the middle, pointed at
// the tip; always inside the diamond (|b| <= 1 - |2 a - 1|).
float bladeHalfWidth(float a)
{
    if (a <= kPetiole || a >= 1.0f)
        return 0.0f;
    const float t = (a - kPetiole) / (1.0f - kPetiole);
    return 0.4f * std::pow(std::sin(kPi * std::pow(t, 0.8f)), 0.9f) * (1.1f - 0.3f * t);
}

QRgb leafPixel(float u, float v)
{
    float a = 0.0f;
    float b = 0.0f;
    leafCoordinates(u, v, a, b);
    const glm::vec3 green(0.16f, 0.33f, 0.07f);

    const float halfWidth = std::fmax(bladeHalfWidth(a), a >= 0.0f && a <= kPetiole + 0.03f ? 0.025f : 0.0f);
    const float across = std::fabs(b);
    // About one texel of soft edge (b changes by 0.004 per texel across).
    const float alpha = 1.0f - smoothStep(halfWidth - 0.004f, halfWidth + 0.004f, across);
    if (alpha <= 0.0f)
        return toRgb(green, 0.0f);

    const float mottle = periodicFbm(u * 24.0f, v * 24.0f, 24, 24, 3, 31);
    glm::vec3 colour = green * (0.85f + 0.3f * mottle);
    // Lateral veins run from the midrib towards the tip; the midrib is lighter still.
    const float phase = a * 9.0f - across * 7.0f;
    const float toVein = std::fabs(phase - std::round(phase));
    const float vein = (1.0f - smoothStep(0.02f, 0.06f, toVein)) * smoothStep(0.02f, 0.05f, across);
    colour = glm::mix(colour, glm::vec3(0.24f, 0.42f, 0.11f), 0.6f * vein);
    colour = glm::mix(colour, glm::vec3(0.3f, 0.47f, 0.15f), 1.0f - smoothStep(0.008f, 0.016f, across));
    // A darker rim.
    colour *= 0.8f + 0.2f * smoothStep(0.0f, 0.03f, halfWidth - across);
    return toRgb(colour, alpha);
}

// Rings of wood inside a rim of bark, across the ellipse that the cap's
// rim reads: radius 1 at its edge.
QRgb cutPixel(float u, float v)
{
    const float x = (u - 0.75f) / 0.25f;
    const float y = (v - 0.5f) / 0.5f;
    const float r = std::sqrt(x * x + y * y);
    const float angle = std::atan2(y, x) / (2.0f * kPi) + 0.5f;
    const float wobble = periodicNoise(angle * 12.0f, r * 3.0f, 12, 64, 41) - 0.5f;

    const float ring = std::fmod((r + 0.02f * wobble) * 8.0f, 1.0f);
    const float lateWood = smoothStep(0.7f, 0.9f, ring) * (1.0f - smoothStep(0.93f, 1.0f, ring));
    glm::vec3 colour = glm::mix(glm::vec3(0.6f, 0.48f, 0.3f), glm::vec3(0.47f, 0.35f, 0.21f), lateWood);
    colour = glm::mix(glm::vec3(0.32f, 0.23f, 0.14f), colour, smoothStep(0.03f, 0.07f, r));
    const float barkTone = periodicFbm(angle * 24.0f, r * 8.0f, 24, 64, 2, 42);
    const glm::vec3 bark = glm::vec3(0.22f, 0.16f, 0.11f) * (0.8f + 0.4f * barkTone);
    colour = glm::mix(colour, bark, smoothStep(0.85f, 0.88f, r + 0.02f * wobble));
    return toRgb(colour);
}

} // namespace

QImage buildLeaf()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    for (int y = 0; y < kSize; ++y) {
        const float v = 1.0f - (y + 0.5f) / kSize;
        for (int x = 0; x < kSize; ++x) {
            const float u = (x + 0.5f) / kSize;
            image.setPixel(x, y, u < 0.5f ? leafPixel(u, v) : cutPixel(u, v));
        }
    }
    return image;
}

} // namespace texgen
