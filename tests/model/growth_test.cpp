// One growth iteration: restart, bud burst and its draws, the resource split,
// invalid amounts, pipe-model thickness, elongation, shedding, the printed
// lines and reproducibility from a seed.

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "model/growth.h"
#include "modelfixture.h"

namespace {

using Growth = ModelTest;

// A shoot's direction from its bud's direction and the next three draws.
glm::vec3 expectedShoot(const glm::vec3& budDirection, std::mt19937& reference)
{
    float d[3];
    for (float& value : d)
        value = static_cast<float>(-1.0 + 2.0 * (static_cast<double>(reference()) / 4294967296.0));
    const glm::vec3 sum = glm::normalize(budDirection) + randomWeight * glm::normalize(glm::vec3(d[2], d[1], d[0])) +
                          glm::vec3(0.0f, -tropismWeight, 0.0f);
    return glm::normalize(sum) * internodeLength;
}

// The count of the last "Number of internodes: " line, worded exactly; -1 if none.
int printedCount(const std::string& text)
{
    static const std::regex line("Number of internodes: (-?[0-9]+) Sim iteration took [0-9]+s\\.\n$");
    std::smatch match;
    return std::regex_search(text, match, line) ? std::stoi(match[1]) : -1;
}

} // namespace

TEST_F(Growth, RestartLeavesOneNewTreeAndResetsTheEnvironment)
{
    makeOnlyTree(buildBalancedTree(4));
    allTrees.push_back(buildBalancedTree(2).release());
    restartWithOneTree();
    ASSERT_EQ(allTrees.size(), 1u);
    const Tree* tree = allTrees.front();
    EXPECT_EQ(tree->age, 0);
    EXPECT_TRUE(tree->root->isBud);
    EXPECT_EQ(tree->root->position, glm::vec3(0.0f));
    EXPECT_EQ(tree->root->direction, glm::vec3(0.0f, 0.1f, 0.0001f));
    EXPECT_FLOAT_EQ(tree->root->thickness, 0.03f);
    // Fields the constructor must set, since they may be read before written.
    EXPECT_EQ(tree->root->internodeCount, 0);
    EXPECT_EQ(tree->root->cutStamp, -1);
    EXPECT_EQ(tree->root->cutDistance, 0);
    EXPECT_EQ(tree->root->delez, 0.0f);
    EXPECT_EQ(tree->root->previousThickness, 0.0f);
    EXPECT_EQ(recording().resets, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 0);
}

TEST_F(Growth, ResourceSplitBetweenTheNewBuds)
{
    struct Row { float amount; bool proleptic; float apical, lateral; };
    const Row rows[] = {
        {1.0f, true, 0.0f, 0.0f},  {1.0f, false, 0.0f, 0.0f}, {4.0f, true, 3.0f, 0.0f},
        {4.0f, false, 2.0f, 1.0f}, {3.0f, false, 1.0f, 1.0f}, {2.0f, false, 1.0f, 0.0f},
        {1.5f, true, 0.5f, 0.0f},
        // Half of the rest rounded up would exceed the rest itself.
        {1.5f, false, 0.5f, 0.0f}, {1.25f, false, 0.25f, 0.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.amount << (row.proleptic ? " proleptic" : ""));
        prolepticGrowth = row.proleptic;
        Tree tree;
        tree.root->KolicinaResources = row.amount;
        GrowShoot(tree.root, &tree);
        EXPECT_FLOAT_EQ(tree.root->children[0]->KolicinaResources, row.apical);
        EXPECT_FLOAT_EQ(tree.root->children[1]->KolicinaResources, row.lateral);
    }
}

TEST_F(Growth, BudsBurstInWalkOrderDrawingThreeValuesEach)
{
    // The apical bud holds 2, so its first shoot's apical bud bursts too,
    // before the walk reaches the lateral bud holding 1.
    randomWeight = 0.7f;
    tropismWeight = -0.2f;
    internodeLength = 0.25f;
    Tree* tree = makeOnlyTree(buildBalancedTree(1));
    Internode* apical = nodeAt(tree, {0});
    Internode* lateral = nodeAt(tree, {1});
    apical->KolicinaResources = 2.0f;
    lateral->KolicinaResources = 1.0f;
    const glm::vec3 apicalBud = apical->direction;
    const glm::vec3 lateralBud = lateral->direction;
    randomEngine.seed(21);
    std::mt19937 reference(21);

    tree->root->BurstBuds(tree);

    const glm::vec3 first = expectedShoot(apicalBud, reference);
    expectNear(apical->direction, first, 1e-6f);
    // The first shoot's apical bud points along the first shoot.
    expectNear(nodeAt(tree, {0, 0})->direction, expectedShoot(first, reference));
    expectNear(lateral->direction, expectedShoot(lateralBud, reference), 1e-6f);
    EXPECT_EQ(randomEngine(), reference());
    EXPECT_EQ(takeCensus(tree->root).internodes, 4);
    // Only the apical buds of the three shoots are registered, in burst order.
    const std::vector<const Internode*> registered = {nodeAt(tree, {0, 0}), nodeAt(tree, {0, 0, 0}),
                                                      nodeAt(tree, {1, 0})};
    EXPECT_EQ(recording().added, registered);
}

TEST_F(Growth, ShootAlongItsBudWhereTropismCancelsTheBudsDirection)
{
    // With no random share, a bud pointing straight along the tropism's pull
    // sums to the zero vector, which has no direction of its own.
    randomWeight = 0.0f;
    struct Row { glm::vec3 bud; float tropism; };
    for (const Row& row : {Row{{0.0f, -0.2f, 0.0f}, -1.0f}, Row{{0.0f, 0.2f, 0.0f}, 1.0f}}) {
        SCOPED_TRACE(row.tropism);
        tropismWeight = row.tropism;
        Tree* tree = makeOnlyTree(std::make_unique<Tree>());
        tree->root->direction = row.bud;
        StreamCapture out(std::cout);
        simulationStep();
        expectNear(tree->root->direction, glm::normalize(row.bud) * internodeLength, 1e-6f);
        int internodes = takeCensus(tree->root).internodes;
        for (int i = 0; i < 2; ++i) {
            simulationStep();
            const int grown = takeCensus(tree->root).internodes;
            EXPECT_GT(grown, internodes);
            internodes = grown;
        }
        bool finite = true;
        for (const Internode* node : collectNodes(tree->root))
            finite = finite && std::isfinite(glm::dot(node->position, node->position)) &&
                     std::isfinite(glm::dot(node->direction, node->direction));
        EXPECT_TRUE(finite);
    }
}

TEST_F(Growth, BudGrowsOneInternodePerUnitOrIsResetWhenItsAmountIsInvalid)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Row { float amount; int internodes; bool valid; };
    const Row rows[] = {
        {0.0f, 0, true},   {0.5f, 0, true},  {1.0f, 1, true},        {3.5f, 3, true},
        {maxBudResources, 10000, true},      // as one chain, with no call level per internode
        {-2.5f, 0, false}, {-inf, 0, false}, {inf, 0, false},        {std::nanf(""), 0, false},
        {maxBudResources + 1.0f, 0, false},  {1.0e6f, 0, false},     {3.0e7f, 0, false},  // above 2^24
    };
    for (const Row& row : rows) {
        // The count resets an invalid amount; a burst without a count first checks it too.
        for (bool countFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << row.amount << (countFirst ? " counted" : " not counted"));
            RecordingEnvironment::reset();
            Tree tree;
            tree.root->KolicinaResources = row.amount;
            DebugCapture debug;
            if (countFirst) {
                tree.root->CountAndMarkShedding();
                EXPECT_EQ(tree.root->KolicinaResources, row.valid ? row.amount : 0.0f);
            }
            tree.root->BurstBuds(&tree);
            const TreeCensus census = takeCensus(tree.root);
            EXPECT_EQ(census.internodes, row.internodes);
            EXPECT_EQ(census.buds, row.internodes + 1);
            EXPECT_EQ(static_cast<int>(recording().added.size()), row.internodes);
            ASSERT_EQ(DebugCapture::messages().size(), row.valid ? 0u : 1u);
            EXPECT_EQ(DebugCapture::countStartingWith("Napačna vrednost KolicinaResources: "), row.valid ? 0 : 1);
            if (row.amount == -2.5f) {
                EXPECT_EQ(DebugCapture::messages()[0], "Napačna vrednost KolicinaResources: -2.5");
            }
        }
    }
}

TEST_F(Growth, ThicknessFollowsThePipeModel)
{
    auto owned = buildBalancedTree(3);
    Tree* tree = owned.get();
    for (const std::vector<int>& path : {std::vector<int>{0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}})
        nodeAt(tree, path)->Cut(-1);
    for (Internode* node : collectNodes(tree->root))
        node->thickness = node->isBud ? node->thickness : 0.0f;
    Internode* stub = nodeAt(tree, {1, 0, 0});
    stub->thickness = 0.2f;
    tree->root->UpdateThickness();
    EXPECT_EQ(stub->previousThickness, 0.2f);  // a stub, too, remembers its thickness

    // With N2 = 3 the cubes add; one live child gives N1 times its thickness,
    // none gives a bud's thickness.
    const float b = budThickness;
    const float oneLive = 1.001f * b;
    const float cube = oneLive * oneLive * oneLive;
    EXPECT_NEAR(nodeAt(tree, {0, 0})->thickness, oneLive, 1e-7f);  // apical bud live
    EXPECT_NEAR(nodeAt(tree, {1, 0})->thickness, oneLive, 1e-7f);  // lateral bud live
    EXPECT_NEAR(nodeAt(tree, {0, 1})->thickness, b * std::cbrt(2.0f), 1e-7f);
    EXPECT_NEAR(nodeAt(tree, {1, 1})->thickness, b, 1e-7f);
    EXPECT_NEAR(nodeAt(tree, {0})->thickness, std::cbrt(cube + 2.0f * b * b * b), 1e-6f);
    EXPECT_NEAR(nodeAt(tree, {1})->thickness, std::cbrt(cube + b * b * b), 1e-6f);
    EXPECT_NEAR(tree->root->thickness, std::cbrt(2.0f * cube + 3.0f * b * b * b), 1e-6f);
}

TEST_F(Growth, ThicknessNeverDecreasesNorTakesAValueThePipeModelCannotGive)
{
    // N2 = 0 divides by zero, 0.001 overflows, a negative N2 has no meaning;
    // an infinite N1 makes the one-child candidate infinite. 0.01 is below
    // every finite candidate here (0.03 * 2^(-1/3) for N2 = -3).
    struct Row { float n2, n1; bool cutLateral; float thickness; };
    const float inf = std::numeric_limits<float>::infinity();
    for (const Row row : {Row{3.0f, 1.001f, false, 0.5f}, Row{0.0f, 1.001f, false, 0.01f},
                          Row{-0.0f, 1.001f, false, 0.01f}, Row{0.001f, 1.001f, false, 0.01f},
                          Row{-3.0f, 1.001f, false, 0.01f}, Row{3.0f, inf, true, 0.01f}}) {
        SCOPED_TRACE(testing::Message() << row.n2 << " " << row.n1);
        thicknessExponentN2 = row.n2;
        thicknessFactorN1 = row.n1;
        auto fork = buildBalancedTree(1);
        if (row.cutLateral)
            fork->root->children[1]->Cut(-1);
        fork->root->thickness = row.thickness;
        fork->root->UpdateThickness();
        EXPECT_EQ(fork->root->thickness, row.thickness);
        EXPECT_EQ(fork->root->previousThickness, row.thickness);
    }
}

TEST_F(Growth, StepElongatesByHowMuchEachInternodeThickened)
{
    for (float factor : {0.0f, 2.0f}) {
        SCOPED_TRACE(factor);
        elongationFactor = factor;
        Tree* tree = makeOnlyTree(buildBalancedTree(3));
        tree->root->thickness = 0.03f;  // the pass thickens the root
        StreamCapture out(std::cout);
        simulationStep();
        ASSERT_GT(tree->root->thickness, tree->root->previousThickness);
        for (const Internode* node : collectNodes(tree->root)) {
            if (node->isBud)
                continue;
            const float e = 1.0f + factor * (node->thickness - node->previousThickness);
            for (const Internode* child : node->children)
                expectNear(child->position, node->position + e * node->direction, 1e-6f);
        }
    }
}

TEST_F(Growth, StepShedsWhatItsFirstCountMarked)
{
    sheddingThreshold = 0.5f;
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    tree->root->resourcesQ = 3.0f;         // 3 / 3 internodes: kept
    nodeAt(tree, {0})->resourcesQ = 0.1f;  // 0.1 / 1: shed
    nodeAt(tree, {1})->resourcesQ = 2.0f;
    const Internode* apicalBelowShed = nodeAt(tree, {0, 0});
    // The marked branch's buds burst first and are shed with it.
    giveBudsResources(tree->root, 1.0f);
    StreamCapture out(std::cout);
    simulationStep();
    EXPECT_TRUE(nodeAt(tree, {0})->removed);
    // The root and the kept branch, plus one shoot from each of its buds.
    EXPECT_EQ(takeCensus(tree->root).internodes, 4);
    EXPECT_EQ(printedCount(out.text()), 4);
    // Unregistered: the apical continuations below the stub (the stub itself
    // stays, as its parent's), those of the burst buds included.
    ASSERT_EQ(recording().removed.size(), 3u);
    EXPECT_EQ(recording().removed[0], apicalBelowShed);

    // A marked root sheds the whole tree; a removed root is no bud, so no "SS".
    sheddingThreshold = 1.0f;
    tree = makeOnlyTree(buildBalancedTree(3));
    tree->root->resourcesQ = 0.0f;
    StreamCapture shed(std::cout);
    simulationStep();
    EXPECT_TRUE(tree->root->removed);
    EXPECT_EQ(printedCount(shed.text()), 0);
    simulationStep();
    EXPECT_EQ(shed.text().find("SS"), std::string::npos);
}

TEST_F(Growth, StepPrintsSSForARootBudAndTheCountOfLiveInternodesOfAllTrees)
{
    allTrees.push_back(new Tree());  // a root bud: a light pass runs first
    allTrees.push_back(buildBalancedTree(2).release());
    Tree* second = allTrees.back();
    nodeAt(second, {1})->Cut(1);  // the stub is no live internode
    StreamCapture out(std::cout);
    simulationStep();
    EXPECT_EQ(out.text().rfind("SS\n", 0), 0u);
    EXPECT_EQ(printedCount(out.text()),
              takeCensus(allTrees.front()->root).internodes + takeCensus(second->root).internodes);
    EXPECT_EQ(allTrees.front()->age, 1);
    EXPECT_EQ(second->age, 3);
    EXPECT_EQ(recording().clearShadowQueuesCalls, 1);
    EXPECT_EQ(recording().applyQueuedShadowsCalls, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 2);
}

TEST_F(Growth, SameSeedGrowsTheSameTreeNodeForNode)
{
    // Whole iterations: the allocation's draws and, with a random share in
    // every shoot's direction, the burst's draws shape the tree.
    randomWeight = 0.4f;
    StreamCapture out(std::cout);
    growTree(4, 3);
    const int printed = printedCount(out.text());
    const std::unique_ptr<Tree> a(allTrees.front());
    allTrees.clear();
    const Tree* b = growTree(4, 3);
    EXPECT_EQ(takeCensus(a->root).internodes, printed);
    EXPECT_GT(printed, 42);  // more than the first iteration's chain

    EXPECT_EQ(a->age, b->age);
    const std::vector<Internode*> x = collectNodes(a->root);
    const std::vector<Internode*> y = collectNodes(b->root);
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(x[i]->isBud, y[i]->isBud);
        EXPECT_EQ(x[i]->removed, y[i]->removed);
        EXPECT_EQ(x[i]->depth, y[i]->depth);
        EXPECT_EQ(x[i]->position, y[i]->position);
        EXPECT_EQ(x[i]->direction, y[i]->direction);
        EXPECT_EQ(x[i]->thickness, y[i]->thickness);
        EXPECT_EQ(x[i]->KolicinaResources, y[i]->KolicinaResources);
        EXPECT_EQ(x[i]->birthIteration, y[i]->birthIteration);
    }
    EXPECT_NE(hashTree(growTree(4, 4)->root), hashTree(a->root));
}
