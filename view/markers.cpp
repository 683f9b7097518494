#include "view/markers.h"

#include <cstddef>

#include "model/internode.h"

namespace {

MeshVertex at(const glm::vec3& position) { return MeshVertex{position, glm::vec3(0.0f), glm::vec2(0.0f)}; }

// The two triangles of the quad with sides 2 * u and 2 * v about m:
// (-u-v, +u-v, +u+v), (+u+v, -u+v, -u-v).
void addSquare(std::vector<MeshVertex>& vertices, const glm::vec3& m, const glm::vec3& u, const glm::vec3& v)
{
    const glm::vec3 corners[6] = {m - u - v, m + u - v, m + u + v, m + u + v, m - u + v, m - u - v};
    for (const glm::vec3& c : corners)
        vertices.push_back(at(c));
}

}  // namespace

void AddMarkerSquares(std::vector<MeshVertex>& vertices, const glm::vec3& centre, float halfSize)
{
    const float h = halfSize;
    addSquare(vertices, centre, {h, 0.0f, 0.0f}, {0.0f, 0.0f, h});
    addSquare(vertices, centre, {0.0f, h, 0.0f}, {0.0f, 0.0f, h});
    addSquare(vertices, centre, {h, 0.0f, 0.0f}, {0.0f, h, 0.0f});
}

void AddInternodeMarker(const Internode& node, std::vector<MeshVertex>& vertices)
{
    const glm::vec3 p = node.position;
    const glm::vec3 t = p + node.direction;
    const float w = 2.0f * node.thickness;
    const glm::vec3 axisX(1.0f, 0.0f, 0.0f);
    const glm::vec3 axisY(0.0f, 1.0f, 0.0f);
    const glm::vec3 axis =
        glm::length(glm::cross(node.direction, axisX)) > glm::length(glm::cross(node.direction, axisY)) ? axisX
                                                                                                        : axisY;
    const glm::vec3 across = glm::cross(node.direction, axis);
    const float acrossLength = glm::length(across);
    // A zero-length internode has no side; its marker collapses to a point.
    const glm::vec3 a = acrossLength > 0.0f ? across / acrossLength : glm::vec3(0.0f);
    for (const glm::vec3& side : {a, axis}) {
        const glm::vec3 corners[6] = {p - w * side, p + w * side, t + w * side,
                                      t + w * side, t - w * side, p - w * side};
        for (const glm::vec3& c : corners)
            vertices.push_back(at(c));
    }
}

void AddMarkerGridQuads(std::vector<MarkerSliceVertex>& vertices, const glm::vec3& origin, const glm::vec3& size,
                        int markerDim)
{
    if (markerDim < 1)
        return;
    const glm::vec3 cell = size / float(markerDim);
    const glm::vec4 colour(0.0f, 0.0f, 0.0f, 1.0f / float(markerDim));
    const std::size_t n = static_cast<std::size_t>(markerDim);
    vertices.reserve(vertices.size() + n * n * n * 6);
    for (int i = 0; i < markerDim; ++i) {
        const float x0 = origin.x + float(i) * cell.x;
        const float x1 = origin.x + float(i + 1) * cell.x;
        for (int j = 0; j < markerDim; ++j) {
            const float y0 = origin.y + float(j) * cell.y;
            const float y1 = origin.y + float(j + 1) * cell.y;
            for (int k = 0; k < markerDim; ++k) {
                const float z = origin.z + float(k) * cell.z;
                const MarkerSliceVertex c00{{x0, y0, z}, colour};
                const MarkerSliceVertex c10{{x1, y0, z}, colour};
                const MarkerSliceVertex c11{{x1, y1, z}, colour};
                const MarkerSliceVertex c01{{x0, y1, z}, colour};
                for (const MarkerSliceVertex& v : {c00, c10, c11, c11, c01, c00})
                    vertices.push_back(v);
            }
        }
    }
}
