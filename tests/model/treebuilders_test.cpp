// The shared builders promise a shape (counts, both children everywhere, buds
// at the ends) and consistent geometry; other tests and the benchmarks rely on it.

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/treebuilders.h"

namespace {

TEST(TreeBuilders, BuiltTreesHaveThePromisedCountsAndGeometry)
{
    struct Row { int axis, lateral, levels, internodes, buds; };  // levels >= 0: balanced
    const Row rows[] = {
        {0, 0, 0, 0, 1}, {0, 0, 3, 7, 8}, {0, 0, 8, 255, 256},
        // One bud ends every axis, one sits on every lateral-axis internode.
        {1, 0, -1, 1, 2}, {5, 3, -1, 20, 21}, {20, 7, -1, 160, 161},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto tree = row.levels >= 0 ? buildBalancedTree(row.levels) : buildAxisTree(row.axis, row.lateral);
        const TreeCensus census = takeCensus(tree->root);
        EXPECT_EQ(census.internodes, row.internodes);
        EXPECT_EQ(census.buds, row.buds);
        EXPECT_EQ(tree->root->internodeCount, row.internodes);
        EXPECT_EQ(tree->age, row.levels >= 0 ? row.levels : row.axis + row.lateral);  // the greatest depth
        for (const Internode* node : collectNodes(tree->root)) {
            EXPECT_LE(node->birthIteration, tree->age);
            if (node->isBud)
                continue;
            EXPECT_NEAR(glm::length(node->direction), internodeLength, 1e-5f);
            for (const Internode* child : node->children) {
                EXPECT_EQ(child->parent, node);
                EXPECT_EQ(child->depth, node->depth + 1);
                EXPECT_NEAR(glm::length(child->position - (node->position + node->direction)), 0.0f, 1e-5f);
                EXPECT_GT(node->thickness, child->thickness);
            }
        }
    }
    for (int n : {1000, 10000, 100000})
        EXPECT_NEAR(takeCensus(buildTreeOfAbout(n)->root).internodes, n, n * 0.02) << n;
}

TEST(TreeBuilders, HashTellsTreesApart)
{
    const auto a = buildBalancedTree(4);
    const auto b = buildBalancedTree(4);
    EXPECT_EQ(hashTree(a->root), hashTree(b->root));
    b->root->children[1]->children[0]->direction.x += 1e-6f;
    EXPECT_NE(hashTree(a->root), hashTree(b->root));
}

}  // namespace
