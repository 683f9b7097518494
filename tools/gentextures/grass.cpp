#include "noise.h"
#include "textures.h"

#include <cmath>

namespace texgen {

QImage buildGrass()
{
    const int size = 256;
    std::vector<glm::vec3> pixels(size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float patches = periodicFbm(x / 32.0f, y / 32.0f, 8, 8, 4, 61);
            const float fine = periodicNoise(x / 2.0f, y / 2.0f, 128, 128, 62);
            const glm::vec3 base = glm::mix(glm::vec3(0.07f, 0.17f, 0.04f), glm::vec3(0.15f, 0.29f, 0.07f), patches);
            pixels[y * size + x] = base * (0.85f + 0.3f * fine);
        }
    }

    // Blades: short strokes, mostly upright, lighter or darker than the ground;
    // they wrap at the edges, so the image still tiles.
    for (int i = 0; i < 2500; ++i) {
        const float x0 = hash01(i, 0, 63) * size;
        const float y0 = hash01(i, 1, 63) * size;
        const float length = 5.0f + 9.0f * hash01(i, 2, 63);
        const float lean = (hash01(i, 3, 63) - 0.5f) * 0.9f;
        const bool light = hash01(i, 4, 63) < 0.6f;
        const glm::vec3 tint = light ? glm::vec3(0.2f, 0.36f, 0.09f) : glm::vec3(0.04f, 0.11f, 0.03f);
        for (float t = 0.0f; t <= length; t += 0.5f) {
            const int x = static_cast<int>(std::floor(x0 + std::sin(lean) * t));
            const int y = static_cast<int>(std::floor(y0 - std::cos(lean) * t));
            glm::vec3& pixel = pixels[((y % size + size) % size) * size + ((x % size + size) % size)];
            pixel = glm::mix(pixel, tint, 0.5f * (1.0f - t / (length + 1.0f)));
        }
    }

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, toRgb(pixels[y * size + x]));
    return image;
}

} // namespace texgen
