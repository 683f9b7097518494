// The texture files the renderer loads from "tex/": copied beside the tests by
// the build, the very output of tools/gentextures, and fit for what the
// shaders do with them (the colour they add, alpha cut-outs, the layouts the
// geometry's texture coordinates read).

#include "textures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

QImage loadTex(const char* name)
{
    return QImage(QString("tex/") + name).convertToFormat(QImage::Format_ARGB32);
}

// Texel at texture coordinate (u, v), v up as OpenGL reads it; components 0..1.
glm::vec4 texel(const QImage& image, float u, float v)
{
    const int x = std::min(image.width() - 1, static_cast<int>(u * image.width()));
    const int y = std::min(image.height() - 1, static_cast<int>((1.0f - v) * image.height()));
    const QRgb p = image.pixel(x, y);
    return glm::vec4(qRed(p), qGreen(p), qBlue(p), qAlpha(p)) / 255.0f;
}

glm::vec3 meanColour(const QImage& image, int x0, int x1)
{
    glm::dvec3 sum(0.0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = x0; x < x1; ++x) {
            const QRgb p = image.pixel(x, y);
            sum += glm::dvec3(qRed(p), qGreen(p), qBlue(p));
        }
    return glm::vec3(sum / (255.0 * image.height() * (x1 - x0)));
}

// Mean absolute difference, in 8-bit levels, between two columns (or, with
// `rows`, two rows) of an image.
double lineDifference(const QImage& image, int a, int b, bool rows = false)
{
    const int n = rows ? image.width() : image.height();
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const QRgb p = rows ? image.pixel(i, a) : image.pixel(a, i);
        const QRgb q = rows ? image.pixel(i, b) : image.pixel(b, i);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / (3.0 * n);
}

TEST(TextureFilesTest, EveryFileIsBesideTheTestsAndIsTheGeneratorsOutput)
{
    for (const texgen::TextureFile& file : texgen::textureFiles()) {
        SCOPED_TRACE(file.name);
        const QImage committed = loadTex(file.name);
        ASSERT_FALSE(committed.isNull()) << "tex/" << file.name << " is not beside the test";

        QImage generated = file.build();
        const bool jpeg = std::string(file.name).find(".jpg") != std::string::npos;
        if (jpeg) {
            // Compared through the same encoding, which only another JPEG
            // library would change, and then by a level or so.
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            generated.save(&buffer, "JPG", 92);
            generated = QImage::fromData(buffer.data(), "JPG");
        }
        generated = generated.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(generated.size(), committed.size());
        double sum = 0.0;
        int largest = 0;
        for (int y = 0; y < committed.height(); ++y)
            for (int x = 0; x < committed.width(); ++x) {
                const QRgb p = committed.pixel(x, y);
                const QRgb q = generated.pixel(x, y);
                for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)}) {
                    sum += std::abs(d);
                    largest = std::max(largest, std::abs(d));
                }
            }
        const double mean = sum / (4.0 * committed.width() * committed.height());
        if (jpeg) {
            EXPECT_LT(mean, 1.0);
            EXPECT_LE(largest, 12);
        } else {
            EXPECT_EQ(largest, 0);
        }
    }
}

// The shader adds AddColor to the texel; the bark gets 0.4, the ground 0.4 to
// 0.5 on green, the sky 0.3, the ruler 0.6 and the rope 0.5. On average the sum
// must stay below white.
TEST(TextureFilesTest, TexturesWithAnAddedColourAreDarkEnough)
{
    struct Row {
        const char* name;
        float added;
    };
    const Row rows[] = {{"woodInMladWood.jpg", 0.4f}, {"grass.jpg", 0.5f}, {"Above_The_Sea.jpg", 0.3f},
                        {"ravnilo.png", 0.6f}, {"rope.png", 0.5f}};
    for (const Row& r : rows) {
        const QImage image = loadTex(r.name);
        const glm::vec3 mean = meanColour(image, 0, image.width());
        for (int c = 0; c < 3; ++c)
            EXPECT_LT(mean[c] + r.added, 1.0f) << r.name << " component " << c;
    }
}

TEST(TextureFilesTest, BarkHasOldAndYoungHalvesAndAnInvertedTwin)
{
    const QImage bark = loadTex("woodInMladWood.jpg");
    const QImage inverted = loadTex("woodInMladWoodInvert.jpg");
    ASSERT_EQ(bark.size(), inverted.size());
    const int half = bark.width() / 2;
    const glm::vec3 oldBark = meanColour(bark, 0, half);
    const glm::vec3 youngBark = meanColour(bark, half, bark.width());
    // Young bark is the greener of the two.
    EXPECT_GT(youngBark.g - youngBark.b, oldBark.g - oldBark.b + 0.03f);

    double sum = 0.0;
    for (int y = 0; y < bark.height(); ++y)
        for (int x = 0; x < bark.width(); ++x) {
            const QRgb p = bark.pixel(x, y);
            const QRgb q = inverted.pixel(x, y);
            sum += std::abs(255 - qRed(p) - qRed(q)) + std::abs(255 - qGreen(p) - qGreen(q)) +
                   std::abs(255 - qBlue(p) - qBlue(q));
        }
    EXPECT_LT(sum / (3.0 * bark.width() * bark.height()), 2.0) << "1 - c, up to JPEG noise";
}

// The leaf quad reads the left half with its base at (0, 0), its tip at
// (0.5, 1) and its sides at (0.5, 0) and (0, 1); the cap reads the ellipse
// round (0.75, 0.5) with half-axes 0.25 and 0.5, and must never be cut.
TEST(TextureFilesTest, LeafIsCutOutByAlphaAndTheCutSurfaceIsOpaque)
{
    const QImage leaf = loadTex("listInRezina.png");
    ASSERT_TRUE(leaf.hasAlphaChannel());
    // Along the leaf's axis, u = a / 2, v = a.
    for (float a : {0.3f, 0.5f, 0.7f})
        EXPECT_GE(texel(leaf, a / 2.0f, a).a, 0.5f) << "on the axis at " << a;
    // Near the diamond's side corners, a leaf is never that wide.
    EXPECT_LT(texel(leaf, 0.48f, 0.02f).a, 0.5f);
    EXPECT_LT(texel(leaf, 0.02f, 0.98f).a, 0.5f);

    int opaque = 0;
    int total = 0;
    for (int y = 0; y < leaf.height(); ++y)
        for (int x = 0; x < leaf.width(); ++x) {
            const bool isOpaque = qAlpha(leaf.pixel(x, y)) >= 128;
            if (x >= leaf.width() / 2) {
                ASSERT_TRUE(isOpaque) << "cut surface texel " << x << ", " << y;
            } else {
                opaque += isOpaque ? 1 : 0;
                ++total;
            }
        }
    // A leaf, not a diamond (half of the left half) nor a sliver.
    EXPECT_GT(opaque, total / 5);
    EXPECT_LT(opaque, total / 2);
}

TEST(TextureFilesTest, SawIsCutOutWithItsTeethThroughTheCentre)
{
    const QImage saw = loadTex("zaga2.png");
    ASSERT_TRUE(saw.hasAlphaChannel());
    EXPECT_GE(texel(saw, 0.5f, 0.5f).a, 0.5f);
    EXPECT_LT(texel(saw, 0.02f, 0.02f).a, 0.5f);
    EXPECT_LT(texel(saw, 0.5f, 0.1f).a, 0.5f);
}

// Ten units along v with a mark at every tenth from the u = 0 edge; the marks
// of whole units reach past the middle, those of halves do not.
TEST(TextureFilesTest, RulerIsOpaqueAndMarksWholeUnits)
{
    const QImage ruler = loadTex("ravnilo.png");
    auto dark = [](const glm::vec4& c) { return c.r + c.g + c.b < 0.3f; };
    // Marks lie on the texel rows just above their v; sample those rows.
    const float halfTexel = 0.5f / ruler.height();
    for (int k = 1; k <= 9; ++k) {
        const float unit = k / 10.0f - halfTexel;
        EXPECT_TRUE(dark(texel(ruler, 0.5f, unit))) << "unit " << k;
        EXPECT_FALSE(dark(texel(ruler, 0.5f, unit + 0.05f))) << "half after unit " << k;
        EXPECT_TRUE(dark(texel(ruler, 0.1f, unit + 0.05f))) << "half after unit " << k;
        EXPECT_FALSE(dark(texel(ruler, 0.1f, unit + 0.025f))) << "between marks after unit " << k;
    }
    for (int y = 0; y < ruler.height(); ++y)
        for (int x = 0; x < ruler.width(); ++x)
            ASSERT_GE(qAlpha(ruler.pixel(x, y)), 128) << "a hole would show through the ruler";
}

TEST(TextureFilesTest, GroundAndRopeTile)
{
    for (const char* name : {"grass.jpg", "rope.png"}) {
        const QImage image = loadTex(name);
        const int w = image.width();
        const int h = image.height();
        // Across the wrap the neighbours differ no more than neighbours inside.
        const double inside = (lineDifference(image, w / 2 - 1, w / 2) + lineDifference(image, h / 2 - 1, h / 2, true)) / 2;
        EXPECT_LT(lineDifference(image, w - 1, 0), 2.0 * inside + 2.0) << name;
        EXPECT_LT(lineDifference(image, h - 1, 0, true), 2.0 * inside + 2.0) << name;
    }
}

// The legend strip runs from blue at its bottom to red at its top through
// cyan, green and yellow, as the branch colouring does.
TEST(TextureFilesTest, LegendFollowsTheBranchColourScale)
{
    const QImage legend = loadTex("grad.png");
    struct Row {
        float v;
        glm::vec3 expected;
    };
    const Row rows[] = {{0.0f, {0, 0, 1}}, {0.25f, {0, 1, 1}}, {0.5f, {0, 1, 0}}, {0.75f, {1, 1, 0}}, {0.999f, {1, 0, 0}}};
    for (const Row& r : rows) {
        const glm::vec4 c = texel(legend, 0.5f, r.v);
        // The texel centres lie within half a row (1/512) of v: the ramp moves
        // by 4/512 of full scale per such step.
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(c[i], r.expected[i], 4.0f / 256.0f + 1.0f / 255.0f) << "v " << r.v << " component " << i;
    }
}

// The sky box's faces, by their centres in the cross (from the sky box's
// corner table): four across the middle third, the top above and the bottom
// below the second cell.
TEST(TextureFilesTest, SkyIsTheCubeCrossOfTheSkyBox)
{
    struct Row {
        float u, v;
        glm::vec3 direction;
    };
    const Row rows[] = {
        {0.125f, 0.5f, {-1, 0, 0}}, {0.375f, 0.5f, {0, 0, 1}}, {0.625f, 0.5f, {1, 0, 0}},
        {0.875f, 0.5f, {0, 0, -1}}, {0.375f, 5.0f / 6.0f, {0, 1, 0}}, {0.375f, 1.0f / 6.0f, {0, -1, 0}},
    };
    for (const Row& r : rows) {
        const glm::vec3 d = glm::normalize(texgen::skyDirection(r.u, r.v));
        // The side faces' upper edges lie a little below 2/3: within 0.01.
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(d[i], r.direction[i], 0.01f) << "at " << r.u << ", " << r.v;
    }

    const QImage sky = loadTex("Above_The_Sea.jpg");
    const glm::vec4 up = texel(sky, 0.375f, 5.0f / 6.0f);
    const glm::vec4 down = texel(sky, 0.375f, 1.0f / 6.0f);
    EXPECT_GT(up.b, up.r + 0.1f) << "blue overhead";
    EXPECT_GT(up.r + up.g + up.b, down.r + down.g + down.b) << "the sea below is darker";
    // The horizon runs through the middle of the band: sky above, sea below.
    for (float u : {0.125f, 0.375f, 0.625f, 0.875f}) {
        const glm::vec4 above = texel(sky, u, 0.6f);
        const glm::vec4 below = texel(sky, u, 0.4f);
        EXPECT_GT(above.r + above.g + above.b, below.r + below.g + below.b) << "at u " << u;
    }
    // Neighbouring faces meet without a seam.
    const int cell = sky.width() / 4;
    const QImage band = sky.copy(0, sky.height() / 3, sky.width(), sky.height() / 3);
    for (int edge : {cell, 2 * cell, 3 * cell})
        EXPECT_LT(lineDifference(band, edge - 1, edge), 2.0 * lineDifference(band, edge - cell / 2 - 1, edge - cell / 2) + 3.0)
            << "at column " << edge;
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
