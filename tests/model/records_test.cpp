// Node and tree records, bud creation, the random engine, cuts and their
// records, environment registration and the bending tool's subtree operations.

#include <cmath>
#include <random>
#include <vector>

#include "modelfixture.h"

namespace {

using Records = ModelTest;
using Cuts = ModelTest;

void expectRecord(const Internode* node, int distance, int stamp)
{
    EXPECT_EQ(node->cutDistance, distance) << "depth " << node->depth;
    EXPECT_EQ(node->cutStamp, stamp) << "depth " << node->depth;
}

} // namespace

TEST_F(Records, CreateBudPlacesBudsAtTheTipTurnedByThePhyllotaxisAngle)
{
    Tree tree;
    tree.age = 4;
    Internode* shoot = tree.root;
    shoot->isBud = false;
    shoot->position = glm::vec3(1.0f, 2.0f, 3.0f);
    shoot->direction = glm::vec3(0.0f, 0.7f, 0.0f);
    shoot->phyllotaxisAngle = 300.0f;
    shoot->depth = 2;

    Internode* apical = CreateBud(shoot, identityRotation, 144.31f, &tree, 0);
    Internode* lateral = CreateBud(shoot, rotation45AboutX, 144.31f, &tree, 1);

    EXPECT_EQ(shoot->children[0], apical);
    EXPECT_EQ(shoot->children[1], lateral);
    for (const Internode* bud : {apical, lateral}) {
        EXPECT_TRUE(bud->isBud);
        EXPECT_EQ(bud->parent, shoot);
        EXPECT_EQ(bud->birthIteration, 4);
        EXPECT_EQ(bud->depth, 3);
        expectNear(bud->position, glm::vec3(1.0f, 2.7f, 3.0f), 1e-6f);
        EXPECT_NEAR(bud->phyllotaxisAngle, 84.31f, 1e-4f);  // fmod(144.31 + 300, 360)
    }
    expectNear(apical->direction, glm::vec3(0.0f, 0.2f, 0.0f), 1e-6f);
    // 45 degrees from +y towards +z (about +x), then 84.31 degrees about the shoot; 0.2 long.
    const float turn = 84.31f * 3.14159265f / 180.0f;
    const float s = 0.2f * std::sqrt(0.5f);
    expectNear(lateral->direction, glm::vec3(s * std::sin(turn), s, s * std::cos(turn)), 1e-4f);
}

TEST_F(Records, RandomValuesUseOneOutputOfTheStandardMersenneTwisterEach)
{
    // The C++ standard fixes the 10000th output of a default-seeded mt19937.
    randomEngine.discard(9999);
    EXPECT_EQ(randomEngine(), 4123659995u);

    randomEngine.seed(3);
    std::mt19937 reference(3);
    for (int i = 0; i < 10; ++i) {
        const double u = static_cast<double>(reference()) / 4294967296.0;
        if (i % 2 == 0)
            EXPECT_EQ(uniformRandom(-1.0, 1.0), -1.0 + 2.0 * u) << i;
        else
            EXPECT_EQ(unitRandom(), u) << i;
    }
    EXPECT_EQ(randomEngine(), reference());
}

TEST_F(Cuts, CutLeavesAStubAndRecordsOnlyAPruningCut)
{
    // An internode (its two buds go with it) or a bud, pruned at age 5 or shed.
    struct Row { std::vector<int> path; int stamp; int internodes; };
    for (const Row& row : {Row{{0, 1}, 5, 6}, Row{{0, 1, 0}, 5, 7}, Row{{0, 1}, -1, 6}}) {
        SCOPED_TRACE(testing::Message() << row.path.size() << " deep, stamp " << row.stamp);
        auto tree = buildBalancedTree(3);
        Internode* node = nodeAt(tree.get(), row.path);
        node->KolicinaResources = 2.0f;
        node->resourcesQ = 0.5f;
        const glm::vec3 shortened = node->direction * 0.5f;
        node->direction = shortened;

        node->Cut(row.stamp);

        EXPECT_TRUE(node->removed && !node->isBud);
        EXPECT_TRUE(node->children[0] == nullptr && node->children[1] == nullptr);
        EXPECT_EQ(node->KolicinaResources, 0.0f);
        EXPECT_EQ(node->resourcesQ, 0.0f);
        const TreeCensus census = takeCensus(tree->root);
        EXPECT_EQ(census.internodes, row.internodes);
        EXPECT_EQ(census.buds, row.internodes);
        EXPECT_EQ(census.removed, 1);
        // The stub of a pruning cut keeps the length the pruning tool gave it.
        const bool pruning = row.stamp >= 0;
        EXPECT_EQ(node->direction, pruning ? shortened : glm::vec3(0.0f));
        int distance = 0;
        for (const Internode* n = node; n; n = n->parent, ++distance)
            expectRecord(n, pruning ? distance : 0, row.stamp);
        expectRecord(tree->root->children[1], 0, -1);
    }
}

TEST_F(Cuts, RecordsKeepTheNearestCutOfTheLatestStamp)
{
    struct Cut { std::vector<int> path; int stamp; };
    struct Row { std::vector<Cut> cuts; int rootDistance, firstDistance, stamp; };
    const Row rows[] = {
        {{{{0, 0, 1}, 4}, {{1}, 4}}, 1, 2, 4},  // the nearer cut second
        {{{{1}, 4}, {{0, 0, 1}, 4}}, 1, 2, 4},  // the nearer cut first
        {{{{1}, 5}, {{0, 1, 1}, 6}}, 3, 2, 6},  // a later iteration wins, though farther
        {{{{0, 1}, 5}, {{0, 1}, 7}}, 2, 1, 5},  // cutting a stub again changes nothing
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        auto tree = buildBalancedTree(3);
        for (const Cut& cut : row.cuts)
            nodeAt(tree.get(), cut.path)->Cut(cut.stamp);
        expectRecord(tree->root, row.rootDistance, row.stamp);
        expectRecord(tree->root->children[0], row.firstDistance, row.stamp);
    }
}

TEST_F(Cuts, UpdateEnvironmentReachesOnlyApicalContinuations)
{
    auto tree = buildBalancedTree(2);
    Tree* t = tree.get();
    const std::vector<const Internode*> apical = {t->root, nodeAt(t, {0}), nodeAt(t, {0, 0}), nodeAt(t, {1, 0})};
    t->root->UpdateEnvironment(false, true);
    EXPECT_EQ(recording().added, apical);
    EXPECT_TRUE(recording().removed.empty());
    t->root->UpdateEnvironment(true, false);
    EXPECT_EQ(recording().removed, std::vector<const Internode*>(apical.begin() + 1, apical.end()));

    // A stub is registered itself, and nothing below it is reached.
    recording().added.clear();
    nodeAt(t, {1})->Cut(-1);
    nodeAt(t, {1})->UpdateEnvironment(false, true);
    EXPECT_EQ(recording().added, std::vector<const Internode*>{nodeAt(t, {1})});
}

TEST_F(Cuts, RotateSubtreeAndRestoreSavedGeometry)
{
    auto tree = buildBalancedTree(3);
    Internode* start = nodeAt(tree.get(), {0});
    Internode* excluded = nodeAt(tree.get(), {0, 1});
    const glm::vec3 excludedPosition = excluded->position;
    const glm::vec3 oldPosition = start->position;
    const glm::vec3 oldDirection = start->direction;
    Internode* grandchild = nodeAt(tree.get(), {0, 0, 1});
    const glm::vec3 grandchildPosition = grandchild->position;
    const glm::vec3 base(5.0f, 0.0f, 0.0f);

    RotateSubtree(start, base, rotationDegrees(90.0f, glm::vec3(0.0f, 0.0f, 1.0f)), excluded);

    EXPECT_EQ(start->position, base);
    // A quarter turn about +z takes (x, y, z) to (-y, x, z).
    expectNear(start->direction, glm::vec3(-oldDirection.y, oldDirection.x, oldDirection.z), 1e-6f);
    const Internode* child = start->children[0];
    expectNear(child->position, base + start->direction, 1e-6f);
    expectNear(grandchild->position, child->position + child->direction, 1e-6f);
    EXPECT_EQ(excluded->position, excludedPosition);

    RestoreSavedGeometry(start);
    EXPECT_EQ(start->position, oldPosition);
    EXPECT_EQ(start->direction, oldDirection);
    EXPECT_EQ(grandchild->position, grandchildPosition);
}

TEST_F(Cuts, IsInSubtreeAndBornBeforeLastIteration)
{
    auto tree = buildBalancedTree(3);
    auto other = buildBalancedTree(1);
    Tree* t = tree.get();
    Internode* branch = nodeAt(t, {0});
    EXPECT_TRUE(IsInSubtree(branch, branch));
    EXPECT_TRUE(IsInSubtree(branch, nodeAt(t, {0, 1, 1})));
    EXPECT_TRUE(IsInSubtree(t->root, nodeAt(t, {1, 1, 0})));
    EXPECT_FALSE(IsInSubtree(branch, nodeAt(t, {1, 0})));
    EXPECT_FALSE(IsInSubtree(branch, t->root));
    EXPECT_FALSE(IsInSubtree(t->root, other->root));
    branch->Cut(3);
    EXPECT_TRUE(IsInSubtree(branch, branch));
    EXPECT_FALSE(IsInSubtree(branch, nodeAt(t, {1})));  // a stub has nothing below

    struct Birth { int birth, age; bool before; };
    for (const Birth b : {Birth{3, 5, true}, Birth{4, 5, false}, Birth{5, 5, false}, Birth{0, 2, true}}) {
        Tree young;
        young.age = b.age;
        young.root->birthIteration = b.birth;
        EXPECT_EQ(BornBeforeLastIteration(young.root, &young), b.before) << b.birth << " " << b.age;
    }
}
