// The OBJ loader on small files written by the tests, and the two models the
// program embeds.

#include <array>
#include <cmath>
#include <functional>
#include <locale>
#include <string>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/streamcapture.h"
#include "view/objloader.h"

namespace {

constexpr float eps = 1e-6f;

void expectCorner(const MeshVertex& v, const MeshVertex& expected, const std::string& what)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(v.position[i], expected.position[i], eps) << what;
        EXPECT_NEAR(v.normal[i], expected.normal[i], eps) << what;
    }
    EXPECT_NEAR(v.texCoord.x, expected.texCoord.x, eps) << what;
    EXPECT_NEAR(v.texCoord.y, expected.texCoord.y, eps) << what;
}

class ObjLoaderTest : public ::testing::Test {
protected:
    std::vector<MeshTriangle> load(const std::string& text)
    {
        QFile file(dir.filePath("model.obj"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.close();
        return loadObjMesh(dir.filePath("model.obj").toUtf8().constData());
    }
    QTemporaryDir dir;
};

// Four positions, two texture coordinates and two normals.
const std::string header = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0.25 0.5\nvt 0.75 1\nvn 0 0 1\nvn 1 0 0\n";
const glm::vec3 p[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
const glm::vec2 t[] = {{0.25f, 0.5f}, {0.75f, 1.0f}};
const glm::vec3 n[] = {{0, 0, 1}, {1, 0, 0}};
const glm::vec2 noT(0.0f);
const glm::vec3 noN(0.0f);

TEST_F(ObjLoaderTest, EveryCornerForm)
{
    // Corners as position, normal, texture coordinate.
    const std::pair<const char*, std::array<MeshVertex, 3>> cases[] = {
        // Positions only: the blank after an index ends the corner.
        {"f 1 2 3", {{{p[0], noN, noT}, {p[1], noN, noT}, {p[2], noN, noT}}}},
        {"f 1/1 2/2 4/1", {{{p[0], noN, t[0]}, {p[1], noN, t[1]}, {p[3], noN, t[0]}}}},
        {"f 1/1/1 2/2/2 3/1/2", {{{p[0], n[0], t[0]}, {p[1], n[1], t[1]}, {p[2], n[1], t[0]}}}},
        {"f 4//2 2//1 3//2", {{{p[3], n[1], noT}, {p[1], n[0], noT}, {p[2], n[1], noT}}}},
        {"f  2\t1/2   3//1", {{{p[1], noN, noT}, {p[0], noN, t[1]}, {p[2], n[0], noT}}}},  // mixed, any blanks
        {"f 1 2 4 3", {{{p[0], noN, noT}, {p[1], noN, noT}, {p[3], noN, noT}}}},          // first three corners
        // Texture and normal indices outside their lists read as zeros.
        {"f 1/3/3 2/0/0 3/-1/-2", {{{p[0], noN, noT}, {p[1], noN, noT}, {p[2], noN, noT}}}},
    };
    for (const auto& [face, corners] : cases) {
        const std::vector<MeshTriangle> triangles = load(header + face + "\n");
        ASSERT_EQ(triangles.size(), 1u) << face;
        for (int i = 0; i < 3; ++i)
            expectCorner(triangles[0].corners[i], corners[i], std::string(face) + ", corner " + std::to_string(i));
    }
}

// Faces may name later lines; lines that are not v, vt, vn or f change nothing
// ("vp" only begins with v), and a value that does not parse reads 0 without
// dropping its record.
TEST_F(ObjLoaderTest, ForwardReferencesAndOtherLines)
{
    const std::vector<MeshTriangle> triangles = load(
        "f 3/1/1 2/1/1 1/1/1\n"
        "# utež\nmtllib m.mtl\nvp 9 9 9\no Ring\ng group\n\n   \nusemtl Vrv\ns 1\nvtx 8 8\nfo 1 1 1\n"
        "v 1 abc 2\n"
        "f 1 2 3\n"
        "vn 0 1 0\n"
        "v 2 0 0\n"
        "vt 0.5 0.125\n"
        "v 0 3 0\n");
    ASSERT_EQ(triangles.size(), 2u);
    const MeshVertex* first = triangles[0].corners;
    expectCorner(first[0], {{0, 3, 0}, {0, 1, 0}, {0.5f, 0.125f}}, "first face, corner 0");
    expectCorner(first[2], {{1, 0, 0}, {0, 1, 0}, {0.5f, 0.125f}}, "first face, corner 2");
    expectCorner(triangles[1].corners[1], {{2, 0, 0}, noN, noT}, "second face, corner 1");
}

TEST_F(ObjLoaderTest, NumbersUseAFullStopWhateverTheLocale)
{
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    struct Restore {
        std::locale saved;
        ~Restore() { std::locale::global(saved); }
    } restore{std::locale::global(std::locale(std::locale::classic(), new CommaDecimal))};
    const std::vector<MeshTriangle> triangles =
        load("v 0.5 1.25 -2.75\nv 1 0 0\nv 0 1 0\nvt 0.125 0.625\nf 1/1 2/1 3/1\n");
    ASSERT_EQ(triangles.size(), 1u);
    expectCorner(triangles[0].corners[0], {{0.5f, 1.25f, -2.75f}, noN, {0.125f, 0.625f}}, "corner 0");
}

TEST_F(ObjLoaderTest, BadPositionIndexOrMissingFileThrows)
{
    auto thrownBy = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (const char* thrown) {
            return thrown;
        }
        return "(nothing)";
    };
    // Each face would read outside the four positions; the good face before it
    // must not come back as a partial mesh.
    for (const char* face : {"f 1 2", "f", "f 0 1 2", "f 1 -1 2", "f 1 2 5", "f 1/1/1 2/1/1 x"}) {
        StreamCapture err(std::cerr);
        EXPECT_EQ(thrownBy([&] { load(header + "f 1 2 3\n" + face + "\n"); }), "err") << face;
    }
    const std::string missing = dir.filePath("no such model.obj").toStdString();
    StreamCapture err(std::cerr);
    EXPECT_EQ(thrownBy([&] { loadObjMesh(missing.c_str()); }), "err");
    EXPECT_EQ(err.text(), "ne morem odpreti: " + missing);
}

// The embedded models against the shapes they are made as (tools/gen_objs.py):
// counts and extents, unit normals, and every triangle wound counter-clockwise
// seen from the side its normals face.
TEST(EmbeddedModelsTest, CountsExtentsAndWinding)
{
    struct Case {
        const char* path;
        std::size_t triangles;
        glm::vec3 low, high;
    };
    const Case cases[] = {
        {":/objs/objs/utez.obj", 504, {-1, -3.43f, -1}, {1, -0.005f, 1}},
        {":/objs/objs/torus.obj", 1536, {-1.25f, -0.25f, -1.25f}, {1.25f, 0.25f, 1.25f}},
    };
    for (const Case& c : cases) {
        const std::vector<MeshTriangle> triangles = loadObjMesh(c.path);
        ASSERT_EQ(triangles.size(), c.triangles) << c.path;
        glm::vec3 low(1e9f), high(-1e9f);
        int wrong = 0;
        for (const MeshTriangle& triangle : triangles) {
            const MeshVertex* v = triangle.corners;
            const glm::vec3 face = glm::cross(v[1].position - v[0].position, v[2].position - v[0].position);
            for (int i = 0; i < 3; ++i) {
                low = glm::min(low, v[i].position);
                high = glm::max(high, v[i].position);
                EXPECT_NEAR(glm::length(v[i].normal), 1.0f, 1e-5f) << c.path;
                wrong += glm::dot(face, v[i].normal) <= 0.0f ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << c.path << ": corners wound against their normals";
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(low[i], c.low[i], 1e-3f) << c.path << " axis " << i;
            EXPECT_NEAR(high[i], c.high[i], 1e-3f) << c.path << " axis " << i;
        }
    }
}

}  // namespace
