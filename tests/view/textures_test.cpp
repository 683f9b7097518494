// The texture files the renderer loads from "tex/": copied beside the tests by
// the build, the output of tools/gentextures (up to the rounding of another
// CPU), and fit for what the shaders do with them.

#include "textures.h"
#include "support/imagecompare.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <string>
#include <tuple>

namespace {

QImage loadTex(const char* name) { return QImage(QString("tex/") + name).convertToFormat(QImage::Format_ARGB32); }

// Texel at texture coordinate (u, v), v up as OpenGL reads it; components 0..1.
glm::vec4 texel(const QImage& image, float u, float v)
{
    const int x = std::min(image.width() - 1, static_cast<int>(u * image.width()));
    const int y = std::min(image.height() - 1, static_cast<int>((1.0f - v) * image.height()));
    const QRgb p = image.pixel(x, y);
    return glm::vec4(qRed(p), qGreen(p), qBlue(p), qAlpha(p)) / 255.0f;
}

// Mean colour of the columns x0 .. x1 - 1.
glm::vec3 meanColour(const QImage& image, int x0, int x1)
{
    glm::dvec3 sum(0.0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = x0; x < x1; ++x)
            sum += glm::dvec3(qRed(image.pixel(x, y)), qGreen(image.pixel(x, y)), qBlue(image.pixel(x, y)));
    return glm::vec3(sum / (255.0 * image.height() * (x1 - x0)));
}

TEST(TextureFilesTest, EveryFileIsBesideTheTestsAndIsTheGeneratorsOutput)
{
    for (const texgen::TextureFile& file : texgen::textureFiles()) {
        SCOPED_TRACE(file.name);
        const QImage committed = loadTex(file.name);
        ASSERT_FALSE(committed.isNull()) << "not beside the test";
        QImage generated = file.build();
        const bool jpeg = std::string(file.name).find(".jpg") != std::string::npos;
        if (jpeg) {
            // Through the same encoding, which only another JPEG library would change.
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            generated.save(&buffer, "JPG", 92);
            generated = QImage::fromData(buffer.data(), "JPG");
        }
        generated = generated.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(generated.size(), committed.size());
        if (!jpeg) {
            const ImageDifference d = differenceOf(committed, generated);
            EXPECT_TRUE(withinRounding(d, committed))
                << d.pixels << " pixels apart, by up to " << d.largest << " levels";
            continue;
        }
        // A level of rounding before the encoding may move a coefficient of
        // its block by one step.
        double sum = 0.0;
        int largest = 0;
        for (int y = 0; y < committed.height(); ++y)
            for (int x = 0; x < committed.width(); ++x) {
                const QRgb p = committed.pixel(x, y), q = generated.pixel(x, y);
                for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)}) {
                    sum += std::abs(d);
                    largest = std::max(largest, std::abs(d));
                }
            }
        EXPECT_LT(sum / (4.0 * committed.width() * committed.height()), 1.0);
        EXPECT_LE(largest, 12);
    }
}

// The shader adds AddColor to the texel (bark 0.4, ground up to 0.5, sky 0.3,
// ruler 0.6, rope 0.5): on average the sum must stay below white.
TEST(TextureFilesTest, TexturesWithAnAddedColourAreDarkEnough)
{
    for (auto [name, added] : {std::pair<const char*, float>{"woodInMladWood.jpg", 0.4f}, {"grass.jpg", 0.5f},
                               {"Above_The_Sea.jpg", 0.3f}, {"ravnilo.png", 0.6f}, {"rope.png", 0.5f}}) {
        const QImage image = loadTex(name);
        const glm::vec3 mean = meanColour(image, 0, image.width());
        for (int c = 0; c < 3; ++c)
            EXPECT_LT(mean[c] + added, 1.0f) << name << " component " << c;
    }
}

TEST(TextureFilesTest, LayoutsTheShadersRead)
{
    // Bark: young (right half) greener than old.
    const QImage bark = loadTex("woodInMladWood.jpg");
    const int half = bark.width() / 2;
    const glm::vec3 oldBark = meanColour(bark, 0, half), youngBark = meanColour(bark, half, bark.width());
    EXPECT_GT(youngBark.g - youngBark.b, oldBark.g - oldBark.b + 0.03f);

    // Leaf: the quad maps its axis to u = a / 2, v = a; the left half is a leaf
    // cut out by alpha (never as wide as the diamond), the right half the cut
    // surface, which must never be cut.
    const QImage leaf = loadTex("listInRezina.png");
    for (float a : {0.3f, 0.5f, 0.7f})
        EXPECT_GE(texel(leaf, a / 2.0f, a).a, 0.5f) << "on the axis at " << a;
    EXPECT_LT(texel(leaf, 0.48f, 0.02f).a, 0.5f);
    EXPECT_LT(texel(leaf, 0.02f, 0.98f).a, 0.5f);
    for (int y = 0; y < leaf.height(); ++y)
        for (int x = leaf.width() / 2; x < leaf.width(); ++x)
            ASSERT_GE(qAlpha(leaf.pixel(x, y)), 128) << "cut surface texel " << x << ", " << y;

    // Legend: the branch colour ramp from bottom to top (within about a row).
    const QImage legend = loadTex("grad.png");
    for (auto [v, expected] : {std::pair<float, glm::vec3>{0.0f, {0, 0, 1}}, {0.25f, {0, 1, 1}}, {0.5f, {0, 1, 0}},
                               {0.75f, {1, 1, 0}}, {0.999f, {1, 0, 0}}})
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(texel(legend, 0.5f, v)[i], expected[i], 5.0f / 255.0f) << "v " << v << " component " << i;

    // Sky: the cube cross of the sky box, by its faces' centres (the side faces'
    // upper edges lie a little below 2/3).
    for (auto [u, v, direction] : {std::tuple<float, float, glm::vec3>{0.125f, 0.5f, {-1, 0, 0}},
                                   {0.375f, 0.5f, {0, 0, 1}}, {0.625f, 0.5f, {1, 0, 0}}, {0.875f, 0.5f, {0, 0, -1}},
                                   {0.375f, 5.0f / 6.0f, {0, 1, 0}}, {0.375f, 1.0f / 6.0f, {0, -1, 0}}}) {
        const glm::vec3 d = glm::normalize(texgen::skyDirection(u, v));
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(d[i], direction[i], 0.01f) << "at " << u << ", " << v;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
