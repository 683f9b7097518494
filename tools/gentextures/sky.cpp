#include "noise.h"
#include "textures.h"

#include <algorithm>
#include <cmath>

namespace texgen {

namespace {

// One face of the sky box: three of its corners (the cube's half-size is 1)
// with their texture coordinates, as the sky box lists them: c1, c2 and c3,
// the fourth corner being c2 + c3 - c1.
struct Face {
    glm::vec3 c1, c2, c3;
    glm::vec2 t1, t2, t3;
};

constexpr float kThird = 1.0f / 3.0f;
constexpr float kTwoThirds = 2.0f / 3.0f;

const Face kFaces[6] = {
    // x = -1, z = +1, x = +1, z = -1: the middle band, left to right.
    {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {0.0f, kThird}, {0.25f, kThird}, {0.0f, 0.6651667f}},
    {{-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {0.25f, kThird}, {0.5f, kThird}, {0.25f, kTwoThirds}},
    {{1, -1, 1}, {1, -1, -1}, {1, 1, 1}, {0.5f, kThird}, {0.75f, kThird}, {0.5f, 0.6656667f}},
    {{1, -1, -1}, {-1, -1, -1}, {1, 1, -1}, {0.75f, kThird}, {1.0f, kThird}, {0.75f, 0.6656667f}},
    // y = +1 above the second cell, y = -1 below it.
    {{-1, 1, 1}, {-1, 1, -1}, {1, 1, 1}, {0.251f, kTwoThirds}, {0.251f, 0.999f}, {0.499f, kTwoThirds}},
    {{-1, -1, -1}, {1, -1, -1}, {-1, -1, 1}, {0.25f, 0.0f}, {0.5f, 0.0f}, {0.25f, kThird}},
};

// The point of a face at texture coordinate t, by the face's affine map
// (extended beyond its edges).
glm::vec3 facePoint(const Face& f, glm::vec2 t)
{
    const glm::vec2 e1 = f.t2 - f.t1;
    const glm::vec2 e2 = f.t3 - f.t1;
    const glm::vec2 d = t - f.t1;
    const float det = e1.x * e2.y - e1.y * e2.x;
    const float s = (d.x * e2.y - d.y * e2.x) / det;
    const float r = (e1.x * d.y - e1.y * d.x) / det;
    return f.c1 + s * (f.c2 - f.c1) + r * (f.c3 - f.c1);
}

glm::vec3 skyColour(const glm::vec3& direction)
{
    const glm::vec3 d = glm::normalize(direction);
    const glm::vec3 haze(0.36f, 0.42f, 0.48f);
    if (d.y >= 0.0f) {
        const float height = std::pow(d.y, 0.5f);
        glm::vec3 colour = glm::mix(haze, glm::vec3(0.07f, 0.17f, 0.42f), height);
        // Clouds on a flat layer above: their size shrinks towards the horizon.
        const float scale = 1.0f / (d.y + 0.15f);
        const float cloud = periodicFbm(d.x * scale * 2.0f + 40.0f, d.z * scale * 2.0f + 40.0f, 256, 256, 5, 71);
        const float cover = smoothStep(0.5f, 0.72f, cloud) * smoothStep(0.0f, 0.15f, d.y);
        colour = glm::mix(colour, glm::vec3(0.55f, 0.56f, 0.6f) * (0.8f + 0.4f * cloud), 0.85f * cover);
        return colour;
    }
    // The sea: darker straight down; waves on the water plane, fading into the
    // haze where they would shrink below a texel.
    const float down = -d.y;
    const float depth = std::pow(down, 0.6f);
    glm::vec3 colour = glm::mix(glm::vec3(0.13f, 0.2f, 0.26f), glm::vec3(0.02f, 0.08f, 0.13f), depth);
    const float scale = 1.0f / std::fmax(down, 0.02f);
    const float waves = periodicFbm(d.x * scale * 4.0f + 64.0f, d.z * scale * 4.0f + 64.0f, 256, 256, 4, 72);
    colour *= 1.0f + (0.4f * waves - 0.2f) * smoothStep(0.1f, 0.4f, down);
    return glm::mix(haze, colour, smoothStep(0.0f, 0.08f, down));
}

} // namespace

glm::vec3 skyDirection(float u, float v)
{
    // The cell of the 4 x 3 cross; cells beside the top and bottom faces take
    // the side face below or above them, so the colours run on at the edges.
    const int column = std::clamp(static_cast<int>(u * 4.0f), 0, 3);
    const bool middle = v >= kThird && v < kTwoThirds;
    const Face& face = middle || column != 1 ? kFaces[column] : kFaces[v >= kTwoThirds ? 4 : 5];
    return facePoint(face, {u, v});
}

QImage buildSky()
{
    const int cell = 256;
    QImage image(4 * cell, 3 * cell, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const float v = 1.0f - (y + 0.5f) / image.height();
        for (int x = 0; x < image.width(); ++x) {
            const float u = (x + 0.5f) / image.width();
            image.setPixel(x, y, toRgb(skyColour(skyDirection(u, v))));
        }
    }
    return image;
}

} // namespace texgen
