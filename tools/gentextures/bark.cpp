#include "noise.h"
#include "textures.h"

#include <cmath>

namespace texgen {

namespace {

constexpr int kHalf = 256;

// Deep vertical furrows between flat plates, the furrows wandering a little.
glm::vec3 oldBark(float u, float v)
{
    const float warp = periodicFbm(u * 4.0f, v * 3.0f, 4, 64, 3, 11) - 0.5f;
    const float s = u * 6.0f + warp * 1.2f;
    const float toFurrow = std::fabs(s - std::round(s));
    const float plate = smoothStep(0.02f, 0.12f, toFurrow);
    const float streaks = periodicFbm(u * 40.0f, v * 3.0f, 40, 64, 3, 12);
    const float cross = periodicNoise(u * 6.0f + warp, v * 9.0f, 6, 64, 13);
    const glm::vec3 crack(0.055f, 0.045f, 0.035f);
    glm::vec3 surface = glm::vec3(0.23f, 0.185f, 0.14f) * (0.7f + 0.6f * streaks);
    surface *= 1.0f - 0.35f * smoothStep(0.75f, 0.9f, cross);
    return glm::mix(crack, surface, plate);
}

// Smooth olive-brown skin with small light lenticels across the branch.
glm::vec3 youngBark(float u, float v)
{
    const float tone = periodicFbm(u * 8.0f, v * 2.0f, 8, 64, 3, 21);
    glm::vec3 colour = glm::vec3(0.25f, 0.23f, 0.12f) * (0.85f + 0.3f * tone);

    // One lenticel per cell of a 12 x 10 grid, wrapping round the branch.
    const int cellsU = 12;
    const int cellsV = 10;
    const float cu = u * cellsU;
    const float cv = v * cellsV;
    float lenticel = 0.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int i = static_cast<int>(std::floor(cu)) + dx;
            const int j = static_cast<int>(std::floor(cv)) + dy;
            const int wrapped = ((i % cellsU) + cellsU) % cellsU;
            const float centreU = static_cast<float>(i) + hash01(wrapped, j, 22);
            const float centreV = static_cast<float>(j) + hash01(wrapped, j, 23);
            const float du = (cu - centreU) / 0.3f;
            const float dv = (cv - centreV) / 0.06f;
            lenticel = std::fmax(lenticel, 1.0f - smoothStep(0.6f, 1.0f, du * du + dv * dv));
        }
    }
    return glm::mix(colour, glm::vec3(0.42f, 0.38f, 0.27f), lenticel);
}

} // namespace

QImage buildBark()
{
    QImage image(2 * kHalf, kHalf, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const float v = 1.0f - (y + 0.5f) / image.height();
        for (int x = 0; x < image.width(); ++x) {
            const float u = ((x % kHalf) + 0.5f) / kHalf;
            image.setPixel(x, y, toRgb(x < kHalf ? oldBark(u, v) : youngBark(u, v)));
        }
    }
    return image;
}

QImage invertColours(const QImage& image)
{
    QImage inverted = image.convertToFormat(QImage::Format_RGB32);
    inverted.invertPixels(QImage::InvertRgb);
    return inverted;
}

} // namespace texgen
