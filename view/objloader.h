#pragma once
// Reads the subset of Wavefront OBJ the program's two models use (v, vt, vn and
// triangular f lines) into a flat triangle list whose bytes go into a vertex
// buffer as they stand.

#include <cstddef>
#include <vector>

#include <glm/glm.hpp>

// Vertex of the textured meshes: a vertex-buffer format, no padding.
struct MeshVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 texCoord;
};

// The three corners of one face, in the face's order.
struct MeshTriangle {
    MeshVertex corners[3];
};

static_assert(sizeof(MeshVertex) == 32, "MeshVertex is a 32-byte vertex");
static_assert(offsetof(MeshVertex, position) == 0, "MeshVertex layout");
static_assert(offsetof(MeshVertex, normal) == 12, "MeshVertex layout");
static_assert(offsetof(MeshVertex, texCoord) == 24, "MeshVertex layout");
static_assert(sizeof(MeshTriangle) == 96, "MeshTriangle is three packed vertices");

// `path` is opened with QFile, so ":/" paths name Qt resources. A file that
// cannot be opened, or a face whose position index lies outside the file's
// positions, throws the character string "err".
std::vector<MeshTriangle> loadObjMesh(const char* path);
