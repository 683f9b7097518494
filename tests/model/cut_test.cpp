// Pruning and shedding cuts, cut records, environment registration and the
// subtree operations of the bending tool.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "modelfixture.h"
#include "support/treebuilders.h"

namespace {

// Follows a path of child slots from the root.
Internode* at(Tree* tree, std::initializer_list<int> path)
{
    Internode* node = tree->root;
    for (int slot : path)
        node = node->children[slot];
    return node;
}

void expectRecord(const Internode* node, int distance, int stamp)
{
    EXPECT_EQ(node->cutDistance, distance) << "depth " << node->depth;
    EXPECT_EQ(node->cutStamp, stamp) << "depth " << node->depth;
}

using Cuts = ModelTest;

} // namespace

TEST_F(Cuts, PruningABudRecordsDistancesUpToTheRoot)
{
    auto tree = buildBalancedTree(3);
    Internode* bud = at(tree.get(), {0, 1, 0});
    ASSERT_TRUE(bud->isBud);
    bud->KolicinaResources = 2.0f;
    bud->resourcesQ = 0.5f;
    const glm::vec3 shortened = bud->direction * 0.5f;
    bud->direction = shortened;

    bud->Cut(5);

    EXPECT_TRUE(bud->removed);
    EXPECT_FALSE(bud->isBud);
    EXPECT_EQ(bud->KolicinaResources, 0.0f);
    EXPECT_EQ(bud->resourcesQ, 0.0f);
    // The stub keeps the direction the pruning tool shortened to the cut point.
    EXPECT_EQ(bud->direction, shortened);
    expectRecord(bud, 0, 5);
    expectRecord(at(tree.get(), {0, 1}), 1, 5);
    expectRecord(at(tree.get(), {0}), 2, 5);
    expectRecord(tree->root, 3, 5);
    // Nodes off the path keep no record.
    expectRecord(at(tree.get(), {1}), 0, -1);
    expectRecord(at(tree.get(), {0, 0}), 0, -1);
}

TEST_F(Cuts, PruningAnInternodeFreesItsSubtree)
{
    auto tree = buildBalancedTree(4);
    Internode* node = at(tree.get(), {1});
    node->Cut(2);
    EXPECT_TRUE(node->removed);
    EXPECT_EQ(node->children[0], nullptr);
    EXPECT_EQ(node->children[1], nullptr);
    const TreeCensus census = takeCensus(tree->root);
    EXPECT_EQ(census.removed, 1);
    EXPECT_EQ(census.internodes, 1 + 7);  // the root and the other half
    EXPECT_EQ(census.buds, 8);
}

TEST_F(Cuts, SheddingCutZeroesTheDirectionAndRecordsNothing)
{
    auto tree = buildBalancedTree(2);
    Internode* node = at(tree.get(), {0});
    node->Cut(-1);
    EXPECT_TRUE(node->removed);
    EXPECT_EQ(node->direction, glm::vec3(0.0f));
    expectRecord(node, 0, -1);
    expectRecord(tree->root, 0, -1);
}

TEST_F(Cuts, CutsOfOneIterationKeepTheNearestDistance)
{
    // Both orders: the nearer cut may come first or second.
    for (bool deepFirst : {true, false}) {
        SCOPED_TRACE(deepFirst);
        auto tree = buildBalancedTree(3);
        Internode* deep = at(tree.get(), {0, 0, 1});  // depth 3
        Internode* shallow = at(tree.get(), {1});    // depth 1
        if (deepFirst) {
            deep->Cut(4);
            shallow->Cut(4);
        } else {
            shallow->Cut(4);
            deep->Cut(4);
        }
        expectRecord(tree->root, 1, 4);
        expectRecord(at(tree.get(), {0}), 2, 4);
        expectRecord(at(tree.get(), {0, 0}), 1, 4);
        expectRecord(shallow, 0, 4);
    }
}

TEST_F(Cuts, CutOfALaterIterationOverwritesOlderRecords)
{
    auto tree = buildBalancedTree(3);
    at(tree.get(), {1})->Cut(5);
    expectRecord(tree->root, 1, 5);
    // The later cut is farther from the root, yet its record wins.
    at(tree.get(), {0, 1, 1})->Cut(6);
    expectRecord(tree->root, 3, 6);
    expectRecord(at(tree.get(), {0}), 2, 6);
    expectRecord(at(tree.get(), {1}), 0, 5);
}

TEST_F(Cuts, MarkDistanceToCutGrowsByOnePerAncestor)
{
    auto tree = buildBalancedTree(3);
    Internode* node = at(tree.get(), {1, 1});
    MarkDistanceToCut(node, 4, 9);
    expectRecord(node, 4, 9);
    expectRecord(at(tree.get(), {1}), 5, 9);
    expectRecord(tree->root, 6, 9);
    MarkDistanceToCut(at(tree.get(), {1}), 2, 9);
    expectRecord(at(tree.get(), {1}), 2, 9);
    expectRecord(tree->root, 3, 9);
    expectRecord(node, 4, 9);
}

TEST_F(Cuts, CuttingARemovedNodeChangesNothing)
{
    auto tree = buildBalancedTree(3);
    Internode* node = at(tree.get(), {0, 1});
    node->Cut(5);
    node->Cut(7);
    expectRecord(node, 0, 5);
    expectRecord(tree->root, 2, 5);
    node->Cut(-1);
    EXPECT_NE(node->direction, glm::vec3(0.0f));
}

TEST_F(Cuts, UpdateEnvironmentReachesOnlyApicalContinuations)
{
    auto tree = buildBalancedTree(2);
    const std::vector<const Internode*> apical = {tree->root, at(tree.get(), {0}), at(tree.get(), {0, 0}),
                                                  at(tree.get(), {1, 0})};
    tree->root->UpdateEnvironment(false, true);
    EXPECT_EQ(recording().added, apical);
    EXPECT_TRUE(recording().removed.empty());

    tree->root->UpdateEnvironment(false, false);
    EXPECT_EQ(recording().removed, apical);

    // Skipping the start leaves out only the start.
    recording().removed.clear();
    tree->root->UpdateEnvironment(true, false);
    EXPECT_EQ(recording().removed, std::vector<const Internode*>(apical.begin() + 1, apical.end()));

    // A removed stub is registered itself but nothing below it is reached.
    recording().added.clear();
    at(tree.get(), {1})->Cut(-1);
    at(tree.get(), {1})->UpdateEnvironment(false, true);
    EXPECT_EQ(recording().added, std::vector<const Internode*>{at(tree.get(), {1})});
}

TEST_F(Cuts, RotateSubtreeMovesEveryChildToItsParentsTip)
{
    auto tree = buildBalancedTree(3);
    Internode* start = at(tree.get(), {0});
    Internode* excluded = at(tree.get(), {0, 1});
    const glm::vec3 excludedPosition = excluded->position;
    const glm::vec3 base(5.0f, 0.0f, 0.0f);
    const glm::quat q = rotationDegrees(90.0f, glm::vec3(0.0f, 0.0f, 1.0f));
    const glm::vec3 oldDirection = start->direction;
    const glm::vec3 oldPosition = start->position;

    RotateSubtree(start, base, q, excluded);

    EXPECT_EQ(start->position, base);
    EXPECT_EQ(start->savedPosition, oldPosition);
    EXPECT_EQ(start->savedDirection, oldDirection);
    // A quarter turn about +Z takes (x, y, z) to (-y, x, z).
    EXPECT_NEAR(start->direction.x, -oldDirection.y, 1e-6f);
    EXPECT_NEAR(start->direction.y, oldDirection.x, 1e-6f);
    EXPECT_NEAR(start->direction.z, oldDirection.z, 1e-6f);
    const Internode* child = start->children[0];
    EXPECT_NEAR(glm::length(child->position - (start->position + start->direction)), 0.0f, 1e-6f);
    const Internode* grandchild = child->children[1];
    EXPECT_NEAR(glm::length(grandchild->position - (child->position + child->direction)), 0.0f, 1e-6f);
    EXPECT_EQ(excluded->position, excludedPosition);

    RestoreSavedGeometry(start);
    EXPECT_EQ(start->position, oldPosition);
    EXPECT_EQ(start->direction, oldDirection);
    EXPECT_NEAR(glm::length(child->position - (oldPosition + oldDirection)), 0.0f, 1e-6f);
}

TEST_F(Cuts, IdentityRotationInPlaceChangesOnlyTheSavedCopies)
{
    auto tree = buildBalancedTree(3);
    const std::uint64_t before = hashTree(tree->root);
    at(tree.get(), {1, 0})->savedPosition = glm::vec3(9.0f);
    RotateSubtree(tree->root, tree->root->position, identityRotation, nullptr);
    EXPECT_EQ(hashTree(tree->root), before);
    EXPECT_EQ(at(tree.get(), {1, 0})->savedPosition, at(tree.get(), {1, 0})->position);
}

TEST_F(Cuts, IsInSubtree)
{
    auto tree = buildBalancedTree(3);
    auto other = buildBalancedTree(1);
    Internode* branch = at(tree.get(), {0});
    EXPECT_TRUE(IsInSubtree(branch, branch));
    EXPECT_TRUE(IsInSubtree(branch, at(tree.get(), {0, 1, 1})));
    EXPECT_TRUE(IsInSubtree(tree->root, at(tree.get(), {1, 1, 0})));
    EXPECT_FALSE(IsInSubtree(branch, at(tree.get(), {1, 0})));
    EXPECT_FALSE(IsInSubtree(branch, tree->root));
    EXPECT_FALSE(IsInSubtree(tree->root, other->root));
    branch->Cut(3);
    EXPECT_TRUE(IsInSubtree(branch, branch));
    EXPECT_FALSE(IsInSubtree(branch, at(tree.get(), {1})));
}

TEST_F(Cuts, BornBeforeLastIteration)
{
    struct Row { int birth, age; bool expected; };
    for (const Row row : {Row{3, 5, true}, Row{4, 5, false}, Row{5, 5, false}, Row{0, 2, true}}) {
        Tree tree;
        tree.age = row.age;
        tree.root->birthIteration = row.birth;
        EXPECT_EQ(BornBeforeLastIteration(tree.root, &tree), row.expected) << row.birth << " " << row.age;
    }
}

TEST_F(Cuts, TeardownFreesCutAndShedTrees)
{
    // Whether every node is freed shows in the sanitizer run.
    auto tree = buildBalancedTree(6);
    at(tree.get(), {0, 1})->Cut(1);
    at(tree.get(), {1, 0, 0})->Cut(-1);
    tree.reset();
    auto shed = buildBalancedTree(4);
    shed->root->Cut(-1);
    EXPECT_TRUE(shed->root->removed);
}
