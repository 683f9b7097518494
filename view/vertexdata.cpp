#include "view/vertexdata.h"

#include <algorithm>

#include "model/internode.h"
#include "model/tree.h"
#include "model/treewalk.h"

namespace {

// Every rebuild reuses this much attribute storage, so a growing scene does
// not reallocate the five arrays again and again.
constexpr std::size_t attributeCapacity = 1000000;

// A removed internode at most this long is a shed or fully cut stub: only its
// cap is drawn.
constexpr double shortStubLength = 0.001;

// Radius of a bud's tip: the tube tapers to (almost) a point.
constexpr float budTipRadius = 0.0001f;

constexpr float leafSize = 0.7f;

glm::vec3 unit(const glm::vec3& v)
{
    return v / glm::length(v);
}

// The unit vector perpendicular to the bud's direction in the plane of that
// direction and (1, 1, 0), on the side of (1, 1, 0). A bud pointing along
// (1, 1, 0) has no such plane; any perpendicular will do, and (0, 0, 1) is one.
glm::vec3 leafNormal(const glm::vec3& direction)
{
    const glm::vec3 n = glm::cross(glm::cross(direction, glm::vec3(1.0f, 1.0f, 0.0f)), direction);
    const float length = glm::length(n);
    if (!(length > 0.0f))
        return glm::vec3(0.0f, 0.0f, 1.0f);
    return n / length;
}

void appendAttributes(const Internode* node, GeometryAttributes& attributes)
{
    // internodeCount is 0 for buds, stubs and any node not counted yet.
    const bool counted = node->internodeCount >= 1;
    attributes.qPerInternode.push_back(counted ? node->resourcesQ / node->internodeCount : node->resourcesQ);
    attributes.krPerInternode.push_back(counted ? node->KolicinaResources / node->internodeCount / 10.0f
                                                : node->KolicinaResources);
    attributes.budQ.push_back(node->isBud ? node->resourcesQ : 0.0f);
    attributes.nodeKR.push_back(node->KolicinaResources);
    attributes.nodeQ.push_back(node->resourcesQ);
}

}  // namespace

void GeometryAttributes::clear()
{
    qPerInternode.clear();
    budQ.clear();
    nodeQ.clear();
    krPerInternode.clear();
    nodeKR.clear();
}

void GeometryAttributes::reserve(int count)
{
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    qPerInternode.reserve(n);
    budQ.reserve(n);
    nodeQ.reserve(n);
    krPerInternode.reserve(n);
    nodeKR.reserve(n);
}

void normalizeFrom(std::vector<float>& values, int start)
{
    const auto first = values.begin() + std::clamp<std::ptrdiff_t>(start, 0, values.size());
    if (first == values.end())
        return;
    const auto [lowest, highest] = std::minmax_element(first, values.end());
    const float min = *lowest;
    const float range = *highest - min;
    // All values equal: there is nothing to spread, and 0/0 would store NaN.
    if (range == 0.0f) {
        std::fill(first, values.end(), 0.0f);
        return;
    }
    for (auto it = first; it != values.end(); ++it)
        *it = (*it - min) / range;
}

void buildAllTreeGeometry(std::vector<BranchPoint>& branchPoints, std::vector<LeafPoint>& leafPoints,
                          std::vector<Internode*>& pickTable, GeometryAttributes& attributes,
                          std::vector<CapPoint>& capPoints)
{
    branchPoints.clear();
    leafPoints.clear();
    capPoints.clear();
    pickTable.clear();
    attributes.clear();
    attributes.reserve(static_cast<int>(attributeCapacity));

    for (Tree* tree : allTrees) {
        const int start = static_cast<int>(attributes.qPerInternode.size());
        buildTreeGeometry(tree->root, tree, branchPoints, leafPoints, attributes, pickTable, capPoints);
        normalizeFrom(attributes.budQ, start);
        normalizeFrom(attributes.nodeQ, start);
        normalizeFrom(attributes.nodeKR, start);
    }
}

void buildTreeGeometry(Internode* root, Tree* tree, std::vector<BranchPoint>& branchPoints,
                       std::vector<LeafPoint>& leafPoints, GeometryAttributes& attributes,
                       std::vector<Internode*>& pickTable, std::vector<CapPoint>& capPoints)
{
    // Pre-order on an explicit stack: a shoot of any length is walked, and the
    // points come in the order of a recursive walk (node, apical subtree,
    // lateral subtree), which the pick ids follow.
    walkPreOrder(root, [&](Internode* node) {
        const Internode* parent = node->parent;
        if (!node->isBud && node->removed && parent)
            capPoints.push_back({node->position + node->direction, unit(parent->direction) * node->thickness});

        // A pruning cut that shortened the internode leaves a stub worth drawing
        // up to the cut; its subtree is gone, so it is never walked below.
        if (node->removed && static_cast<double>(glm::length(node->direction)) <= shortStubLength)
            return false;

        BranchPoint point;
        point.base = node->position;
        point.tip = node->position + node->direction;
        // An internode or an apical bud continues its parent's tube; the root
        // and a lateral bud start their own.
        const bool continuesParent = parent && (!node->isBud || parent->children[0] == node);
        point.startRadius = continuesParent ? unit(parent->direction) * parent->thickness
                                            : unit(node->direction) * node->thickness;
        point.endRadius = unit(node->direction) * (node->isBud ? budTipRadius : node->thickness);
        point.pickId = static_cast<std::int32_t>(branchPoints.size());
        point.age = tree->age - node->birthIteration;
        branchPoints.push_back(point);
        pickTable.push_back(node);
        appendAttributes(node, attributes);

        if (node->isBud && node->birthIteration >= tree->age - 2)
            leafPoints.push_back({node->position, unit(node->direction) * leafSize, leafNormal(node->direction)});

        return !node->removed && !node->isBud;
    });
}
