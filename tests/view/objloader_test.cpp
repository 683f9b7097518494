// The OBJ loader on small files written by the tests, and the two models the
// program embeds.

#include <cmath>
#include <locale>
#include <string>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "view/objloader.h"

namespace {

constexpr float eps = 1e-6f;

void expectNear(const glm::vec3& actual, const glm::vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, eps) << what;
    EXPECT_NEAR(actual.y, expected.y, eps) << what;
    EXPECT_NEAR(actual.z, expected.z, eps) << what;
}

void expectNear(const glm::vec2& actual, const glm::vec2& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, eps) << what;
    EXPECT_NEAR(actual.y, expected.y, eps) << what;
}

class ObjLoaderTest : public ::testing::Test {
protected:
    // Writes `text` to a file of the temporary folder and loads it.
    std::vector<MeshTriangle> load(const std::string& text)
    {
        path = dir.filePath("model.obj").toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.close();
        return loadObjMesh(path.c_str());
    }

    // Loads `text` and returns what was thrown, or "" when nothing was.
    std::string thrownBy(const std::string& text)
    {
        try {
            load(text);
        } catch (const char* thrown) {
            return thrown;
        }
        return "";
    }

    QTemporaryDir dir;
    std::string path;
};

// Four positions, two texture coordinates and two normals, then the faces.
const std::string header =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 0 1 0\n"
    "v 1 1 0\n"
    "vt 0.25 0.5\n"
    "vt 0.75 1\n"
    "vn 0 0 1\n"
    "vn 1 0 0\n";

const glm::vec3 p[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
const glm::vec2 t[] = {{0.25f, 0.5f}, {0.75f, 1.0f}};
const glm::vec3 n[] = {{0, 0, 1}, {1, 0, 0}};
const glm::vec2 noTexCoord(0.0f);
const glm::vec3 noNormal(0.0f);

}  // namespace

TEST_F(ObjLoaderTest, EveryCornerForm)
{
    struct Corner {
        glm::vec3 position;
        glm::vec2 texCoord;
        glm::vec3 normal;
    };
    struct Case {
        const char* face;
        Corner corners[3];
    };
    const Case cases[] = {
        // Positions only: the blank after an index ends the corner.
        {"f 1 2 3", {{p[0], noTexCoord, noNormal}, {p[1], noTexCoord, noNormal}, {p[2], noTexCoord, noNormal}}},
        {"f 1/1 2/2 4/1", {{p[0], t[0], noNormal}, {p[1], t[1], noNormal}, {p[3], t[0], noNormal}}},
        {"f 1/1/1 2/2/2 3/1/2", {{p[0], t[0], n[0]}, {p[1], t[1], n[1]}, {p[2], t[0], n[1]}}},
        {"f 4//2 2//1 3//2", {{p[3], noTexCoord, n[1]}, {p[1], noTexCoord, n[0]}, {p[2], noTexCoord, n[1]}}},
        // Mixed forms and blanks of any width.
        {"f  2\t1/2   3//1", {{p[1], noTexCoord, noNormal}, {p[0], t[1], noNormal}, {p[2], noTexCoord, n[0]}}},
        // Only the first three corners of a larger face.
        {"f 1 2 4 3", {{p[0], noTexCoord, noNormal}, {p[1], noTexCoord, noNormal}, {p[3], noTexCoord, noNormal}}},
        // Texture and normal indices outside their lists read as zeros.
        {"f 1/3/3 2/0/0 3/-1/-2", {{p[0], noTexCoord, noNormal}, {p[1], noTexCoord, noNormal}, {p[2], noTexCoord, noNormal}}},
    };
    for (const Case& c : cases) {
        const std::vector<MeshTriangle> triangles = load(header + c.face + "\n");
        ASSERT_EQ(triangles.size(), 1u) << c.face;
        for (int i = 0; i < 3; ++i) {
            const std::string what = std::string(c.face) + ", corner " + std::to_string(i);
            expectNear(triangles[0].corners[i].position, c.corners[i].position, what);
            expectNear(triangles[0].corners[i].texCoord, c.corners[i].texCoord, what);
            expectNear(triangles[0].corners[i].normal, c.corners[i].normal, what);
        }
    }
}

TEST_F(ObjLoaderTest, FacesMayNameLaterLinesAndKeepFileOrder)
{
    const std::vector<MeshTriangle> triangles = load(
        "f 3/1/1 2/1/1 1/1/1\n"
        "v 0 0 0\n"
        "f 1 2 3\n"
        "vn 0 1 0\n"
        "v 2 0 0\n"
        "vt 0.5 0.125\n"
        "v 0 3 0\n");
    ASSERT_EQ(triangles.size(), 2u);
    expectNear(triangles[0].corners[0].position, glm::vec3(0, 3, 0), "first face");
    expectNear(triangles[0].corners[0].texCoord, glm::vec2(0.5f, 0.125f), "first face");
    expectNear(triangles[0].corners[0].normal, glm::vec3(0, 1, 0), "first face");
    expectNear(triangles[0].corners[2].position, glm::vec3(0, 0, 0), "first face");
    expectNear(triangles[1].corners[1].position, glm::vec3(2, 0, 0), "second face");
}

TEST_F(ObjLoaderTest, OtherLinesChangeNothing)
{
    // "vp" only begins with v; were it read as a position, index 1 would shift.
    const std::vector<MeshTriangle> triangles = load(
        "# a comment, utež\n"
        "mtllib model.mtl\n"
        "vp 9 9 9\n"
        "o Ring\n"
        "g group\n"
        "\n"
        "   \n"
        "v 1 2 3\n"
        "usemtl Vrv\n"
        "s 1\n"
        "v 4 5 6\n"
        "s off\n"
        "vtx 8 8\n"
        "fo 1 1 1\n"
        "v 7 8 9\n"
        "f 1 2 3\n");
    ASSERT_EQ(triangles.size(), 1u);
    expectNear(triangles[0].corners[0].position, glm::vec3(1, 2, 3), "corner 0");
    expectNear(triangles[0].corners[1].position, glm::vec3(4, 5, 6), "corner 1");
    expectNear(triangles[0].corners[2].position, glm::vec3(7, 8, 9), "corner 2");
}

TEST_F(ObjLoaderTest, AValueThatDoesNotParseReadsZero)
{
    const std::vector<MeshTriangle> triangles = load(
        "v 1 abc 2\n"
        "v 4\n"
        "v 0 1 0\n"
        "vn 0 x 1\n"
        "f 1//1 2//1 3//1\n");
    ASSERT_EQ(triangles.size(), 1u);
    // The record is still kept (indices do not shift); what follows the bad value is 0 too.
    expectNear(triangles[0].corners[0].position, glm::vec3(1, 0, 0), "corner 0");
    expectNear(triangles[0].corners[1].position, glm::vec3(4, 0, 0), "corner 1");
    expectNear(triangles[0].corners[2].position, glm::vec3(0, 1, 0), "corner 2");
    expectNear(triangles[0].corners[0].normal, glm::vec3(0, 0, 0), "normal");
}

TEST_F(ObjLoaderTest, NumbersUseAFullStopWhateverTheLocale)
{
    // A global locale whose decimal separator is a comma, as in Slovenian.
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    std::vector<MeshTriangle> triangles;
    try {
        triangles = load("v 0.5 1.25 -2.75\nv 1 0 0\nv 0 1 0\nvt 0.125 0.625\nf 1/1 2/1 3/1\n");
    } catch (...) {
        std::locale::global(previous);
        throw;
    }
    std::locale::global(previous);
    ASSERT_EQ(triangles.size(), 1u);
    expectNear(triangles[0].corners[0].position, glm::vec3(0.5f, 1.25f, -2.75f), "position");
    expectNear(triangles[0].corners[0].texCoord, glm::vec2(0.125f, 0.625f), "texture coordinate");
}

TEST_F(ObjLoaderTest, ABadPositionIndexRejectsTheFile)
{
    // Each would read outside the four positions; a good face before the bad
    // one must not come back as a partial mesh.
    for (const char* face : {"f 1 2", "f 1", "f", "f 0 1 2", "f 1 -1 2", "f 1 2 5", "f 1/1/1 2/1/1 x"}) {
        testing::internal::CaptureStderr();
        const std::string thrown = thrownBy(header + "f 1 2 3\n" + face + "\n");
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(thrown, "err") << face;
    }
}

TEST_F(ObjLoaderTest, AFileThatCannotBeOpened)
{
    const std::string missing = dir.filePath("no such model.obj").toStdString();
    testing::internal::CaptureStderr();
    std::string thrown;
    try {
        loadObjMesh(missing.c_str());
    } catch (const char* text) {
        thrown = text;
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(thrown, "err");
    EXPECT_EQ(printed, "ne morem odpreti: " + missing);
}

// The embedded models, against the shapes they are made as (tools/gen_objs.py):
// every normal of unit length and every triangle wound counter-clockwise seen
// from the side its normals face.
namespace {

void expectWoundOutwards(const std::vector<MeshTriangle>& triangles, const char* model)
{
    int wrong = 0;
    for (const MeshTriangle& triangle : triangles) {
        const MeshVertex* c = triangle.corners;
        const glm::vec3 face = glm::cross(c[1].position - c[0].position, c[2].position - c[0].position);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(glm::length(c[i].normal), 1.0f, 1e-5f) << model;
            if (glm::dot(face, c[i].normal) <= 0.0f)
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << model;
}

}  // namespace

TEST(EmbeddedModelsTest, WeightHangsBelowItsOrigin)
{
    const std::vector<MeshTriangle> triangles = loadObjMesh(":/objs/objs/utez.obj");
    ASSERT_EQ(triangles.size(), 504u);
    glm::vec3 low(1e9f), high(-1e9f);
    for (const MeshTriangle& triangle : triangles) {
        for (const MeshVertex& v : triangle.corners) {
            low = glm::min(low, v.position);
            high = glm::max(high, v.position);
            EXPECT_TRUE(v.texCoord.x >= 0.0f && v.texCoord.x <= 1.0f && v.texCoord.y >= 0.0f &&
                        v.texCoord.y <= 1.0f);
        }
    }
    EXPECT_NEAR(low.y, -3.43f, 1e-3f);
    EXPECT_NEAR(high.y, -0.005f, 1e-3f);
    EXPECT_NEAR(low.x, -1.0f, 1e-3f);
    EXPECT_NEAR(high.x, 1.0f, 1e-3f);
    EXPECT_NEAR(low.z, -1.0f, 1e-3f);
    EXPECT_NEAR(high.z, 1.0f, 1e-3f);
    expectWoundOutwards(triangles, "utez");
}

TEST(EmbeddedModelsTest, TorusLiesInTheGroundPlane)
{
    const std::vector<MeshTriangle> triangles = loadObjMesh(":/objs/objs/torus.obj");
    ASSERT_EQ(triangles.size(), 1536u);
    float outer = 0.0f, inner = 1e9f, top = -1e9f, bottom = 1e9f;
    for (const MeshTriangle& triangle : triangles) {
        for (const MeshVertex& v : triangle.corners) {
            EXPECT_EQ(v.texCoord, glm::vec2(0.0f));
            const float radial = std::hypot(v.position.x, v.position.z);
            outer = std::max(outer, radial);
            inner = std::min(inner, radial);
            top = std::max(top, v.position.y);
            bottom = std::min(bottom, v.position.y);
            // On the tube: distance 0.25 from the ring of radius 1 (outer 1.25 less the tube).
            EXPECT_NEAR(std::hypot(radial - 1.0f, v.position.y), 0.25f, 1e-5f);
        }
    }
    EXPECT_NEAR(outer, 1.25f, 1e-5f);
    EXPECT_NEAR(inner, 0.75f, 1e-5f);
    EXPECT_NEAR(top, 0.25f, 1e-5f);
    EXPECT_NEAR(bottom, -0.25f, 1e-5f);
    expectWoundOutwards(triangles, "torus");
}
