// The pending pruning selection without a widget: which marks a new mark
// replaces, and the geometry of cut lines and saw icons (checked by their
// defining properties: centred on the cut point, across the internode, in the
// plane of the screen).

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"
#include "view/selection.h"

namespace {

constexpr float eps = 1e-4f;

// Marks `node` the way a right click does: related marks go, the new one is appended.
void mark(Selection& selection, const std::vector<Internode*>& table, Internode* node)
{
    selection.DropRelated(table, node);
    for (std::size_t id = 0; id < table.size(); ++id)
        if (table[id] == node)
            selection.entries.push_back({static_cast<int>(id), 0.5f});
}

std::vector<Internode*> marked(const Selection& selection, const std::vector<Internode*>& table)
{
    std::vector<Internode*> nodes;
    for (const SelectionEntry& entry : selection.entries)
        nodes.push_back(table[static_cast<std::size_t>(entry.pickIndex)]);
    return nodes;
}

TEST(SelectionTest, NewMarkReplacesRelatedMarks)
{
    auto tree = buildBalancedTree(3);
    const std::vector<Internode*> table = collectNodes(tree->root);
    auto at = [&](std::vector<int> path) { return nodeAt(tree.get(), path); };

    struct Case {
        std::string name;
        std::vector<std::vector<int>> clicks;
        std::vector<std::vector<int>> expected;
    };
    const std::vector<Case> cases = {
        {"node then its parent", {{0, 1}, {0}}, {{0}}},
        {"node then its child", {{0}, {0, 1}}, {{0, 1}}},
        {"node then a grandchild", {{1}, {1, 0, 1}}, {{1, 0, 1}}},
        {"same node twice", {{1, 0}, {1, 0}}, {{1, 0}}},
        {"siblings both stay", {{0, 0}, {0, 1}}, {{0, 0}, {0, 1}}},
        {"cousins both stay", {{0, 1}, {1, 0}, {1, 1}}, {{0, 1}, {1, 0}, {1, 1}}},
        {"root replaces everything", {{0, 1}, {1, 0}, {}}, {{}}},
    };
    for (const Case& c : cases) {
        Selection selection;
        for (const auto& click : c.clicks)
            mark(selection, table, at(click));
        std::vector<Internode*> expected;
        for (const auto& path : c.expected)
            expected.push_back(at(path));
        EXPECT_EQ(marked(selection, table), expected) << c.name;
    }
}

TEST(SelectionTest, EntriesOutsideTheTableAreDroppedAndClearKeepsCutLines)
{
    auto tree = buildBalancedTree(2);
    const std::vector<Internode*> table = collectNodes(tree->root);
    const int size = static_cast<int>(table.size());

    Selection selection;
    selection.entries = {{-1, 0.5f}, {size, 0.5f}, {size + 7, 0.5f}, {1, 0.5f}};
    selection.DropRelated(table, nodeAt(tree.get(), {1}));
    ASSERT_EQ(selection.entries.size(), 1u);
    EXPECT_EQ(table[static_cast<std::size_t>(selection.entries[0].pickIndex)], nodeAt(tree.get(), {0}));

    selection.currentIndex = 3;
    selection.cutLines.resize(4);
    selection.Clear();
    EXPECT_TRUE(selection.entries.empty());
    EXPECT_EQ(selection.currentIndex, -1);
    EXPECT_EQ(selection.cutLines.size(), 4u);
}

struct Shape {
    std::string name;
    glm::vec3 direction;  // the internode's
    glm::vec3 cutDirection;
    glm::vec3 upDirection;
    float firstSide;  // sign of the first line vertex along the cut direction's part across the internode
};

// The internode lies at (1, 2, 3) with thickness 0.2; the cut falls at 0.25.
const std::vector<Shape>& shapes()
{
    static const std::vector<Shape> table = {
        {"upright, screen x", {0, 2, 0}, {1, 0, 0}, {0, 1, 0}, 1.0f},
        {"upright, screen -x", {0, 2, 0}, {-1, 0, 0}, {0, 1, 0}, 1.0f},
        {"towards the viewer", {0, 0, 3}, {1, 0, 0}, {0, 1, 0}, -1.0f},
        {"away from the viewer", {0, 0, -3}, {1, 0, 0}, {0, 1, 0}, 1.0f},
        {"slanted", {1, 1, 0.5f}, {0.8f, 0, 0.6f}, {0, 1, 0}, -1.0f},
        {"along the screen's x", {4, 0, 0}, {1, 0, 0}, {0, 0.6f, 0.8f}, 0.0f},
        {"against the screen's x", {-4, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0.0f},
    };
    return table;
}

struct Node {
    std::unique_ptr<Internode> node = std::make_unique<Internode>(nullptr, 0, 0);
    std::vector<Internode*> table;

    explicit Node(const glm::vec3& direction)
    {
        node->position = glm::vec3(1.0f, 2.0f, 3.0f);
        node->direction = direction;
        node->thickness = 0.2f;
        node->isBud = false;
        table = {nullptr, node.get()};  // id 0 names no node
    }
    glm::vec3 cutPoint() const { return node->position + 0.25f * node->direction; }
};

TEST(SelectionTest, CutLineCrossesTheInternodeAtTheCutPoint)
{
    const float sawSize = 1.5f;
    for (const Shape& s : shapes()) {
        Node n(s.direction);
        std::vector<LineVertex> lines;
        AddCutLine({1, 0.25f}, lines, n.table, s.cutDirection, sawSize, s.upDirection);
        ASSERT_EQ(lines.size(), 2u) << s.name;

        const glm::vec3 u = glm::normalize(s.direction);
        const glm::vec3 half = (lines[0].position - lines[1].position) * 0.5f;
        const glm::vec3 mid = (lines[0].position + lines[1].position) * 0.5f;
        EXPECT_NEAR(glm::length(mid - n.cutPoint()), 0.0f, eps) << s.name;
        EXPECT_NEAR(glm::length(half), 0.2f * 5.0f * sawSize, eps) << s.name;
        EXPECT_NEAR(glm::dot(half, u), 0.0f, eps) << s.name;
        // Across the internode in the plane of the internode and the screen
        // axis it is measured against (the vertical one when they coincide).
        const bool along = s.firstSide == 0.0f;
        const glm::vec3 reference = along ? s.upDirection : s.cutDirection;
        EXPECT_NEAR(glm::dot(half, glm::cross(u, reference)), 0.0f, eps) << s.name;
        if (!along) {
            const glm::vec3 across = s.cutDirection - glm::dot(s.cutDirection, u) * u;
            EXPECT_GT(glm::dot(half, across) * s.firstSide, 0.0f) << s.name;
        }
        for (const LineVertex& v : lines) {
            EXPECT_NEAR(glm::length(v.radius - glm::normalize(half) * 0.1f * sawSize), 0.0f, eps) << s.name;
        }
    }
}

TEST(SelectionTest, SawQuadIsASquareAcrossTheInternode)
{
    const float sawSize = 2.0f;
    const float h = 0.2f * 5.0f * sawSize + 3.0f;
    for (const Shape& s : shapes()) {
        Node n(s.direction);
        std::vector<SawVertex> quad;
        AddSawQuad({1, 0.25f}, quad, n.table, s.cutDirection, sawSize, s.upDirection);
        ASSERT_EQ(quad.size(), 6u) << s.name;

        const glm::vec3 u = glm::normalize(s.direction);
        for (const SawVertex& v : quad) {
            EXPECT_NEAR(glm::length(v.direction - u), 0.0f, eps) << s.name;
            // Texture corner (0, 0) to (1, 1) maps to -1 to +1 along the two sides.
            const glm::vec3 offset = v.position - n.cutPoint();
            EXPECT_NEAR(glm::length(offset), h * std::sqrt(2.0f), 1e-3f) << s.name;
            EXPECT_TRUE(std::isfinite(offset.x) && std::isfinite(offset.y) && std::isfinite(offset.z)) << s.name;
        }
        const glm::vec3 sideA = quad[1].position - quad[0].position;  // texture x
        const glm::vec3 sideB = quad[4].position - quad[0].position;  // texture y
        EXPECT_NEAR(glm::length(sideA), 2.0f * h, 1e-3f) << s.name;
        EXPECT_NEAR(glm::dot(sideA, sideB), 0.0f, 1e-3f) << s.name;
        EXPECT_NEAR(glm::dot(sideA, u), 0.0f, 1e-3f) << s.name;
        EXPECT_NEAR(glm::dot(sideB, u), 0.0f, 1e-3f) << s.name;
        EXPECT_EQ(quad[0].position, quad[5].position) << s.name;
        EXPECT_EQ(quad[2].position, quad[3].position) << s.name;
        EXPECT_NEAR(glm::length(quad[2].position - (quad[0].position + sideA + sideB)), 0.0f, 1e-3f) << s.name;
    }
}

TEST(SelectionTest, NoShapeForAnIdThatNamesNoNode)
{
    Node n({0, 2, 0});
    n.table[0] = n.node.get();  // the first tree's root: a line, but never a saw
    const int size = static_cast<int>(n.table.size());
    struct Case {
        int id;
        std::size_t lineVertices;
        std::size_t sawVertices;
    };
    for (const Case& c : std::vector<Case>{{-1, 0, 0}, {0, 2, 0}, {1, 2, 6}, {size, 0, 0}}) {
        std::vector<LineVertex> lines;
        std::vector<SawVertex> quads;
        AddCutLine({c.id, 0.5f}, lines, n.table, {1, 0, 0}, 1.0f);
        AddSawQuad({c.id, 0.5f}, quads, n.table, {1, 0, 0}, 1.0f);
        EXPECT_EQ(lines.size(), c.lineVertices) << c.id;
        EXPECT_EQ(quads.size(), c.sawVertices) << c.id;
    }
}

}  // namespace
