#include "view/selection.h"

#include <algorithm>
#include <cstddef>

#include "model/internode.h"

namespace {

bool isAncestorOf(const Internode* ancestor, const Internode* node)
{
    for (const Internode* n = node ? node->parent : nullptr; n; n = n->parent)
        if (n == ancestor)
            return true;
    return false;
}

const Internode* entryNode(const SelectionEntry& entry, const std::vector<Internode*>& pickTable, int lowestId)
{
    if (entry.pickIndex < lowestId || static_cast<std::size_t>(entry.pickIndex) >= pickTable.size())
        return nullptr;
    return pickTable[static_cast<std::size_t>(entry.pickIndex)];
}

// The frame both tool shapes are built in: u along the internode, w across it
// in the plane of the screen, and the cut point.
struct CutFrame {
    glm::vec3 u;
    glm::vec3 w;
    glm::vec3 point;
};

CutFrame cutFrame(const Internode& node, float fraction, const glm::vec3& cutDirection, const glm::vec3& upDirection)
{
    CutFrame frame;
    frame.u = node.direction / glm::length(node.direction);
    glm::vec3 across = glm::cross(frame.u, cutDirection);
    // An internode along the screen's horizontal axis has no cross product with
    // it; the vertical axis is then perpendicular to the internode instead.
    if (!(glm::length(across) >= 1e-6f))
        across = glm::cross(frame.u, upDirection);
    frame.w = glm::normalize(across);
    frame.point = node.position + fraction * node.direction;
    return frame;
}

}  // namespace

void Selection::Clear()
{
    entries.clear();
    currentIndex = -1;
}

void Selection::DropRelated(const std::vector<Internode*>& pickTable, const Internode* node)
{
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const SelectionEntry& entry) {
                                     const Internode* marked = entryNode(entry, pickTable, 0);
                                     return !marked || marked == node || isAncestorOf(marked, node) ||
                                            isAncestorOf(node, marked);
                                 }),
                  entries.end());
}

void AddCutLine(const SelectionEntry& entry, std::vector<LineVertex>& lines,
                const std::vector<Internode*>& pickTable, const glm::vec3& cutDirection, float sawSize,
                const glm::vec3& upDirection)
{
    const Internode* node = entryNode(entry, pickTable, 0);
    if (!node)
        return;
    const CutFrame frame = cutFrame(*node, entry.cutFraction, cutDirection, upDirection);
    const float halfLength = node->thickness * 5.0f * sawSize;
    glm::vec3 s = glm::cross(frame.w, frame.u) * halfLength;
    if (frame.w.y * halfLength > s.y)
        s = -s;
    const float length = glm::length(s);
    const glm::vec3 radius = length > 0.0f ? s / length * 0.1f * sawSize : glm::vec3(0.0f);
    lines.push_back({frame.point + s, radius});
    lines.push_back({frame.point - s, radius});
}

void AddSawQuad(const SelectionEntry& entry, std::vector<SawVertex>& quads,
                const std::vector<Internode*>& pickTable, const glm::vec3& cutDirection, float sawSize,
                const glm::vec3& upDirection)
{
    const Internode* node = entryNode(entry, pickTable, 1);
    if (!node)
        return;
    const CutFrame frame = cutFrame(*node, entry.cutFraction, cutDirection, upDirection);
    const float h = node->thickness * 5.0f * sawSize + 3.0f;
    const glm::vec3 a = frame.w * h;
    const glm::vec3 b = glm::cross(frame.w, frame.u) * h;
    const glm::vec3& p = frame.point;
    const glm::vec3& u = frame.u;
    quads.push_back({p - a - b, u, {0.0f, 0.0f}});
    quads.push_back({p + a - b, u, {1.0f, 0.0f}});
    quads.push_back({p + a + b, u, {1.0f, 1.0f}});
    quads.push_back({p + a + b, u, {1.0f, 1.0f}});
    quads.push_back({p - a + b, u, {0.0f, 1.0f}});
    quads.push_back({p - a - b, u, {0.0f, 0.0f}});
}
