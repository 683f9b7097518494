#pragma once
// Marker geometry for the scene drawing: crossed squares around a point and
// crossed quads along an internode, as triangles of position-only mesh vertices;
// and the translucent slices of the environment's marker grid.

#include <vector>

#include <glm/glm.hpp>

#include "view/objloader.h"

struct Internode;

// Appends 18 vertices: squares of side 2 * halfSize centred on `centre` in the
// XZ, YZ and XY planes, two triangles each.
void AddMarkerSquares(std::vector<MeshVertex>& vertices, const glm::vec3& centre, float halfSize);
// Appends 12 vertices: two crossed quads along the internode, 4 x thickness wide.
void AddInternodeMarker(const Internode& node, std::vector<MeshVertex>& vertices);

// Vertex of the marker grid slices: position and colour (red, green, blue,
// alpha). 28 bytes.
struct MarkerSliceVertex {
    glm::vec3 position;
    glm::vec4 colour;
};
static_assert(sizeof(MarkerSliceVertex) == 28, "MarkerSliceVertex is a 28-byte vertex");

// Appends one quad per marker cell of the box (i outermost, then j, then k), in
// the plane z = origin.z + k * size.z / markerDim and spanning the cell in x
// and y, as two triangles; every vertex black with alpha 1 / markerDim.
// Nothing for markerDim below 1.
void AddMarkerGridQuads(std::vector<MarkerSliceVertex>& vertices, const glm::vec3& origin, const glm::vec3& size,
                        int markerDim);
