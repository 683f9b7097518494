// A shoot of 200,000 internodes, far more than a call stack holds frames for:
// whole growth iterations under every allocation model, with elongation and
// shedding, the vertex data, cuts, bending moves, registration and teardown
// all walk it. The sanitizer build runs this test too.

#include <string>
#include <vector>

#include "model/growth.h"
#include "modelfixture.h"
#include "view/vertexdata.h"

namespace {

constexpr int kChain = 200000;

// 200,000 internodes from the root up along slot 0, each with a lateral bud
// in slot 1, and an apical bud at the top. Every bud is young and holds `amount`.
Tree* buildChain(float amount)
{
    Tree* tree = makeOnlyTree(std::make_unique<Tree>());
    Internode* node = tree->root;
    for (int i = 0; i < kChain; ++i)
        node = burstByHand(node, tree)->children[0];
    tree->age = 1;
    giveBudsResources(tree->root, amount);
    return tree;
}

using DeepTree = ModelTest;

TEST_F(DeepTree, WholeIterationsAndTheVertexDataWalkAnyDepth)
{
    struct Row {
        int model;
        float elongation;
    };
    const Row rows[] = {{0, 0.0f}, {1, 0.5f}, {2, 0.0f}, {3, 0.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE("allocation model " + std::to_string(row.model));
        allocationModel = row.model;
        elongationFactor = row.elongation;
        Tree* tree = buildChain(1.0f);
        std::string printed;
        {
            StreamCapture out(std::cout);
            DebugCapture debug;
            runSimulationIteration();
            printed = out.text();
        }
        // Every bud burst once.
        const TreeCensus census = takeCensus(tree->root);
        ASSERT_EQ(census.internodes, 2 * kChain + 1);
        EXPECT_EQ(tree->root->internodeCount, census.internodes);
        EXPECT_NE(printed.find("Number of internodes: " + std::to_string(census.internodes) + " "),
                  std::string::npos);
        EXPECT_EQ(tree->root->resourcesNumPopkov, census.buds);
        EXPECT_GE(tree->root->thickness, tree->root->children[0]->thickness);

        std::vector<BranchPoint> branches;
        std::vector<LeafPoint> leaves;
        std::vector<Internode*> pickTable;
        GeometryAttributes attributes;
        std::vector<CapPoint> caps;
        buildAllTreeGeometry(branches, leaves, pickTable, attributes, caps);
        ASSERT_EQ(branches.size(), static_cast<size_t>(census.internodes + census.buds));
        EXPECT_EQ(pickTable.front(), tree->root);
        EXPECT_EQ(branches.back().pickId, static_cast<int>(branches.size()) - 1);
        EXPECT_EQ(attributes.nodeQ.size(), branches.size());
        deleteAllTrees();
    }
}

TEST_F(DeepTree, CutsBendingMovesAndRegistrationWalkAnyDepth)
{
    Tree* tree = buildChain(0.0f);
    std::vector<Internode*> axis{tree->root};
    while (!axis.back()->isBud)
        axis.push_back(axis.back()->children[0]);
    ASSERT_EQ(axis.size(), static_cast<size_t>(kChain + 1));
    Internode* top = axis.back();

    EXPECT_TRUE(IsInSubtree(tree->root, top));
    EXPECT_FALSE(IsInSubtree(axis[1], tree->root));
    // The apical chain registers, the laterals do not.
    tree->root->UpdateEnvironment(false, true);
    EXPECT_EQ(recording().added.size(), axis.size());
    EXPECT_EQ(recording().added.back(), top);

    // Moved to where it stands, the shoot stays as it is, and every node down
    // to the top keeps a copy to restore.
    const glm::vec3 topBefore = top->position;
    RotateSubtree(tree->root, tree->root->position, identityRotation, nullptr);
    EXPECT_EQ(top->position, topBefore);
    EXPECT_EQ(top->savedPosition, topBefore);
    top->position = glm::vec3(-1.0f);
    RestoreSavedGeometry(tree->root);
    EXPECT_EQ(top->position, topBefore);

    // Shedding three quarters up, then a cut halfway: each frees the nodes
    // above it, and the cut marks its distance all the way down to the root.
    const size_t registered = recording().added.size();
    axis[kChain / 4 * 3]->shedMark = true;
    EXPECT_TRUE(tree->root->ShedMarked(tree));
    EXPECT_EQ(recording().removed.size(), registered - kChain / 4 * 3 - 1);
    EXPECT_EQ(takeCensus(tree->root).internodes, kChain / 4 * 3);

    Internode* cut = axis[kChain / 2];
    cut->Cut(tree->age);
    EXPECT_EQ(tree->root->cutDistance, kChain / 2);
    EXPECT_EQ(takeCensus(tree->root).internodes, kChain / 2);
    // The teardown frees the rest (the sanitizer build checks for leaks).
}

}  // namespace
