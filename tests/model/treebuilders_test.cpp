// The shared builders promise a shape (counts, both children everywhere, buds
// at the ends) and consistent geometry; other tests and the benchmarks rely on it.

#include <vector>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/treebuilders.h"

namespace {

// Checks every structural promise of a hand-built tree.
void expectConsistent(const Tree* tree)
{
    std::vector<const Internode*> pending{tree->root};
    while (!pending.empty()) {
        const Internode* node = pending.back();
        pending.pop_back();
        ASSERT_FALSE(node->removed);
        EXPECT_EQ(node->depth == 0, node->parent == nullptr);
        EXPECT_LE(node->birthIteration, tree->age);
        if (node->isBud) {
            EXPECT_EQ(node->children[0], nullptr);
            EXPECT_EQ(node->children[1], nullptr);
            // A new tree's root bud is shorter (0.1) than a bud made by a burst.
            EXPECT_NEAR(glm::length(node->direction), node->parent ? 0.2f : 0.1f, 1e-5f);
            continue;
        }
        EXPECT_NEAR(glm::length(node->direction), internodeLength, 1e-5f);
        for (const Internode* child : node->children) {
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(child->parent, node);
            EXPECT_EQ(child->depth, node->depth + 1);
            const glm::vec3 tip = node->position + node->direction;
            EXPECT_NEAR(child->position.x, tip.x, 1e-5f);
            EXPECT_NEAR(child->position.y, tip.y, 1e-5f);
            EXPECT_NEAR(child->position.z, tip.z, 1e-5f);
            EXPECT_GE(child->birthIteration, node->birthIteration);
            EXPECT_GT(node->thickness, child->thickness);
            pending.push_back(child);
        }
    }
}

} // namespace

TEST(TreeBuilders, BalancedTreeHasTwoToTheLevelsBuds)
{
    for (int levels : {0, 1, 3, 8}) {
        SCOPED_TRACE(levels);
        const auto tree = buildBalancedTree(levels);
        const TreeCensus census = takeCensus(tree->root);
        EXPECT_EQ(census.internodes, (1 << levels) - 1);
        EXPECT_EQ(census.buds, 1 << levels);
        EXPECT_EQ(census.removed, 0);
        EXPECT_EQ(tree->root->internodeCount, census.internodes);
        EXPECT_EQ(tree->age, levels);
        expectConsistent(tree.get());
    }
}

TEST(TreeBuilders, AxisTreeHasAxisTimesLateralPlusOneInternodes)
{
    struct Row { int axis, lateral; };
    for (const Row row : {Row{1, 0}, Row{4, 0}, Row{5, 3}, Row{20, 7}}) {
        SCOPED_TRACE(testing::Message() << row.axis << " x " << row.lateral);
        const auto tree = buildAxisTree(row.axis, row.lateral);
        const TreeCensus census = takeCensus(tree->root);
        EXPECT_EQ(census.internodes, row.axis * (row.lateral + 1));
        // One bud ends every axis and one sits on every lateral-axis internode.
        EXPECT_EQ(census.buds, 1 + row.axis + row.axis * row.lateral);
        EXPECT_EQ(tree->root->internodeCount, census.internodes);
        expectConsistent(tree.get());
    }
}

TEST(TreeBuilders, TreeOfAboutNIsWithinTwoPerCent)
{
    for (int n : {1000, 10000, 100000}) {
        SCOPED_TRACE(n);
        const auto tree = buildTreeOfAbout(n);
        const int internodes = takeCensus(tree->root).internodes;
        EXPECT_NEAR(internodes, n, n * 0.02);
    }
}

TEST(TreeBuilders, HashTellsTreesApart)
{
    const auto a = buildBalancedTree(4);
    const auto b = buildBalancedTree(4);
    EXPECT_EQ(hashTree(a->root), hashTree(b->root));
    b->root->children[1]->children[0]->direction.x += 1e-6f;
    EXPECT_NE(hashTree(a->root), hashTree(b->root));
}
