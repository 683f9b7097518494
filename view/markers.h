#pragma once
// Marker geometry for the scene drawing: crossed squares around a point and
// crossed quads along an internode, as triangles of position-only mesh vertices.

#include <vector>

#include <glm/glm.hpp>

#include "view/objloader.h"

struct Internode;

// Appends 18 vertices: squares of side 2 * halfSize centred on `centre` in the
// XZ, YZ and XY planes, two triangles each.
void AddMarkerSquares(std::vector<MeshVertex>& vertices, const glm::vec3& centre, float halfSize);
// Appends 12 vertices: two crossed quads along the internode, 4 x thickness wide.
void AddInternodeMarker(const Internode& node, std::vector<MeshVertex>& vertices);
