#pragma once
// The point data the renderer draws the trees from, and the table that maps a
// picked id back to its node. Rebuilt from scratch after every change of the
// trees; plain CPU work, no OpenGL call.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

struct Internode;
struct Tree;

// One drawn node (internode or bud); the branch geometry shader widens it into
// a tapered tube. A radius vector is the axis at that end scaled by the radius.
struct BranchPoint {
    glm::vec3 base;
    glm::vec3 startRadius;
    glm::vec3 tip;
    glm::vec3 endRadius;
    std::int32_t pickId;  // index of this point, and of its node in the pick table
    std::int32_t age;     // tree age minus the node's birth iteration
};

// One young bud's leaf.
struct LeafPoint {
    glm::vec3 position;
    glm::vec3 orientation;  // unit bud direction x 0.7: orientation and leaf size
    glm::vec3 normal;
};

// The cut or shed surface of a removed internode.
struct CapPoint {
    glm::vec3 position;  // the cut point
    glm::vec3 normal;    // unit parent direction x the removed internode's thickness
};

// These are vertex-buffer formats: records back to back, no padding.
static_assert(sizeof(glm::vec3) == 12, "glm::vec3 must be three packed floats");
static_assert(sizeof(BranchPoint) == 56, "BranchPoint is a 56-byte vertex");
static_assert(offsetof(BranchPoint, base) == 0, "BranchPoint layout");
static_assert(offsetof(BranchPoint, startRadius) == 12, "BranchPoint layout");
static_assert(offsetof(BranchPoint, tip) == 24, "BranchPoint layout");
static_assert(offsetof(BranchPoint, endRadius) == 36, "BranchPoint layout");
static_assert(offsetof(BranchPoint, pickId) == 48, "BranchPoint layout");
static_assert(offsetof(BranchPoint, age) == 52, "BranchPoint layout");
static_assert(sizeof(LeafPoint) == 36, "LeafPoint is a 36-byte vertex");
static_assert(offsetof(LeafPoint, position) == 0, "LeafPoint layout");
static_assert(offsetof(LeafPoint, orientation) == 12, "LeafPoint layout");
static_assert(offsetof(LeafPoint, normal) == 24, "LeafPoint layout");
static_assert(sizeof(CapPoint) == 24, "CapPoint is a 24-byte vertex");
static_assert(offsetof(CapPoint, position) == 0, "CapPoint layout");
static_assert(offsetof(CapPoint, normal) == 12, "CapPoint layout");

// Per-branch-point values the view colours the branches by; entry i belongs to
// branch point i. budQ, nodeQ and nodeKR are min-max normalised per tree.
struct GeometryAttributes {
    std::vector<float> qPerInternode;
    std::vector<float> budQ;
    std::vector<float> nodeQ;
    std::vector<float> krPerInternode;
    std::vector<float> nodeKR;

    void clear();
    void reserve(int count);
};

// Rebuilds every array from allTrees. Pick ids run from 0 over all trees
// without gaps; the pick table's pointers are valid until the trees change.
void buildAllTreeGeometry(std::vector<BranchPoint>& branchPoints, std::vector<LeafPoint>& leafPoints,
                          std::vector<Internode*>& pickTable, GeometryAttributes& attributes,
                          std::vector<CapPoint>& capPoints);

// Appends the points of one subtree, depth first, apical child first, on an
// explicit stack (the depth of the tree does not matter).
void buildTreeGeometry(Internode* node, Tree* tree, std::vector<BranchPoint>& branchPoints,
                       std::vector<LeafPoint>& leafPoints, GeometryAttributes& attributes,
                       std::vector<Internode*>& pickTable, std::vector<CapPoint>& capPoints);

// Min-max normalises the entries from `start` to the end. A range of equal
// values becomes 0.
void normalizeFrom(std::vector<float>& values, int start);
