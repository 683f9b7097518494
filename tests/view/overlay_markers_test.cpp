// Marker geometry built on the CPU: the crossed squares around a point, the
// crossed quads along an internode and the slices of the marker grid.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include <glm/glm.hpp>

#include "model/internode.h"
#include "view/markers.h"

namespace {

constexpr float eps = 1e-5f;

float triangleArea(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c)
{
    return 0.5f * glm::length(glm::cross(b - a, c - a));
}

struct SquaresCase {
    glm::vec3 centre;
    float half;
};

class MarkerSquares : public ::testing::TestWithParam<SquaresCase> {};

TEST_P(MarkerSquares, ThreeAxisSquaresAppendedAroundTheCentre)
{
    const SquaresCase c = GetParam();
    std::vector<MeshVertex> vertices(1, MeshVertex{glm::vec3(7.0f), glm::vec3(1.0f), glm::vec2(1.0f)});
    AddMarkerSquares(vertices, c.centre, c.half);
    ASSERT_EQ(vertices.size(), 19u);
    EXPECT_EQ(vertices[0].position, glm::vec3(7.0f)) << "what was in the list stays";

    // Square s lies in the plane through the centre normal to this axis.
    const int normalAxis[3] = {1, 0, 2};
    for (int s = 0; s < 3; ++s) {
        float area = 0.0f;
        std::set<std::tuple<int, int, int>> corners;
        for (int i = 0; i < 6; ++i) {
            const MeshVertex& v = vertices[1 + 6 * s + i];
            const glm::vec3 offset = v.position - c.centre;
            EXPECT_NEAR(offset[normalAxis[s]], 0.0f, eps) << "square " << s;
            for (int axis = 0; axis < 3; ++axis) {
                if (axis != normalAxis[s]) {
                    EXPECT_NEAR(std::abs(offset[axis]), c.half, eps * (1.0f + c.half)) << "square " << s;
                }
            }
            EXPECT_EQ(v.normal, glm::vec3(0.0f));
            EXPECT_EQ(v.texCoord, glm::vec2(0.0f));
            corners.insert({offset.x > 0, offset.y > 0, offset.z > 0});
        }
        const auto& p = vertices;
        const int b = 1 + 6 * s;
        area += triangleArea(p[b].position, p[b + 1].position, p[b + 2].position);
        area += triangleArea(p[b + 3].position, p[b + 4].position, p[b + 5].position);
        EXPECT_EQ(corners.size(), 4u) << "square " << s << " uses all four corners";
        EXPECT_NEAR(area, 4.0f * c.half * c.half, 1e-4f * (1.0f + c.half * c.half)) << "square " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MarkerSquares,
                         ::testing::Values(SquaresCase{glm::vec3(0.0f), 1.0f},
                                           SquaresCase{glm::vec3(3.0f, -2.0f, 5.0f), 0.25f},
                                           SquaresCase{glm::vec3(-10.0f, 4.0f, 7.0f), 5.0f}));

struct InternodeCase {
    glm::vec3 direction;
    glm::vec3 referenceAxis;  // the reference axis this direction must choose
};

class InternodeMarker : public ::testing::TestWithParam<InternodeCase> {};

TEST_P(InternodeMarker, TwoCrossedQuadsAlongTheInternode)
{
    const InternodeCase c = GetParam();
    Internode node(nullptr, 0, 0);
    node.position = glm::vec3(1.0f, 2.0f, 3.0f);
    node.direction = c.direction;
    node.thickness = 0.3f;
    const float w = 2.0f * node.thickness;
    std::vector<MeshVertex> vertices;
    AddInternodeMarker(node, vertices);
    ASSERT_EQ(vertices.size(), 12u);

    for (int q = 0; q < 2; ++q) {
        const glm::vec3* v[6];
        for (int i = 0; i < 6; ++i)
            v[i] = &vertices[6 * q + i].position;
        const glm::vec3 side = *v[1] - *v[0];
        // Corners: base -, base +, tip +, tip +, tip -, base -.
        EXPECT_NEAR(glm::length((*v[0] + *v[1]) * 0.5f - node.position), 0.0f, eps);
        EXPECT_NEAR(glm::length(*v[2] - *v[1] - node.direction), 0.0f, eps);
        EXPECT_EQ(*v[3], *v[2]);
        EXPECT_NEAR(glm::length(*v[4] - *v[0] - node.direction), 0.0f, eps);
        EXPECT_EQ(*v[5], *v[0]);
        EXPECT_NEAR(glm::length(side), 2.0f * w, eps);
        if (q == 0) {
            EXPECT_NEAR(glm::dot(side, node.direction), 0.0f, eps) << "first quad is across the internode";
            EXPECT_NEAR(glm::dot(side, c.referenceAxis), 0.0f, eps) << "and across the reference axis";
        } else {
            EXPECT_NEAR(glm::length(side - 2.0f * w * c.referenceAxis), 0.0f, eps)
                << "second quad spreads along the reference axis";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, InternodeMarker,
    ::testing::Values(InternodeCase{{0.0f, 2.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},  // vertical: X
                      InternodeCase{{0.2f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},  // mostly vertical: X
                      InternodeCase{{3.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},  // along X: Y
                      InternodeCase{{0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}},  // along Z: a tie, Y
                      InternodeCase{{1.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}}));  // diagonal: a tie, Y

struct GridCase {
    glm::vec3 origin;
    glm::vec3 size;
    int markerDim;
};

class MarkerGridQuads : public ::testing::TestWithParam<GridCase> {};

TEST_P(MarkerGridQuads, OneTranslucentQuadPerCell)
{
    const GridCase c = GetParam();
    std::vector<MarkerSliceVertex> vertices;
    AddMarkerGridQuads(vertices, c.origin, c.size, c.markerDim);
    const int n = std::max(c.markerDim, 0);
    ASSERT_EQ(vertices.size(), std::size_t(n) * n * n * 6);
    if (n == 0)
        return;

    const glm::vec3 cell = c.size / float(n);
    std::vector<float> planeArea(n, 0.0f);
    std::set<std::tuple<int, int, int>> cells;
    for (std::size_t q = 0; q < vertices.size() / 6; ++q) {
        const MarkerSliceVertex* v = &vertices[6 * q];
        glm::vec3 lo(1e30f), hi(-1e30f);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(v[i].colour, glm::vec4(0.0f, 0.0f, 0.0f, 1.0f / float(n)));
            lo = glm::min(lo, v[i].position);
            hi = glm::max(hi, v[i].position);
        }
        const float k = (lo.z - c.origin.z) / cell.z;
        EXPECT_NEAR(hi.z, lo.z, eps) << "a quad lies in one z plane";
        EXPECT_NEAR(k, std::round(k), 1e-4f);
        EXPECT_NEAR(hi.x - lo.x, cell.x, 1e-4f * cell.x);
        EXPECT_NEAR(hi.y - lo.y, cell.y, 1e-4f * cell.y);
        const int i = int(std::lround((lo.x - c.origin.x) / cell.x));
        const int j = int(std::lround((lo.y - c.origin.y) / cell.y));
        const int kk = int(std::lround(k));
        ASSERT_TRUE(i >= 0 && i < n && j >= 0 && j < n && kk >= 0 && kk < n);
        EXPECT_EQ(q, std::size_t((i * n + j) * n + kk)) << "i outermost, then j, then k";
        cells.insert({i, j, kk});
        planeArea[kk] += triangleArea(v[0].position, v[1].position, v[2].position) +
                         triangleArea(v[3].position, v[4].position, v[5].position);
    }
    EXPECT_EQ(cells.size(), std::size_t(n) * n * n);
    for (int k = 0; k < n; ++k)
        EXPECT_NEAR(planeArea[k], c.size.x * c.size.y, 1e-3f * c.size.x * c.size.y) << "plane " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, MarkerGridQuads,
    ::testing::Values(GridCase{{-100.0f, -0.1f, -100.0f}, {200.0f, 200.0f, 200.0f}, 5},
                      GridCase{{0.0f, 0.0f, 0.0f}, {10.0f, 20.0f, 30.0f}, 1},
                      GridCase{{-5.0f, 1.0f, 2.0f}, {3.0f, 6.0f, 9.0f}, 3},
                      GridCase{{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0}));

}  // namespace
