// One growth iteration: bud burst, resource split, registration, pipe-model
// thickness, elongation, shedding, the printed lines and restart.

#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QtGlobal>
#include <gtest/gtest.h>

#include "model/growth.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "modelfixture.h"
#include "support/treebuilders.h"

namespace {

Internode* at(Tree* tree, std::initializer_list<int> path)
{
    Internode* node = tree->root;
    for (int slot : path)
        node = node->children[slot];
    return node;
}

// Collects what goes to std::cout while it lives.
class CoutCapture {
public:
    CoutCapture() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous); }
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};

// Collects the debug-stream messages while it lives.
class DebugCapture {
public:
    DebugCapture() { messages().clear(); previous = qInstallMessageHandler(handler); }
    ~DebugCapture() { qInstallMessageHandler(previous); }
    static std::vector<QString>& messages()
    {
        static std::vector<QString> list;
        return list;
    }

private:
    static void handler(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        messages().push_back(message);
    }
    QtMessageHandler previous = nullptr;
};

const QString invalidResources = QString::fromUtf8("Napačna vrednost KolicinaResources: ");

// A root internode with two buds (slot 0 apical, slot 1 lateral).
Tree* plantFork()
{
    return makeOnlyTree(buildBalancedTree(1));
}

// The direction a shoot gets from its bud's direction and three draws.
glm::vec3 expectedShoot(const glm::vec3& budDirection, std::mt19937& reference)
{
    auto draw = [&] { return static_cast<float>(-1.0 + 2.0 * (static_cast<double>(reference()) / 4294967296.0)); };
    const float d1 = draw();
    const float d2 = draw();
    const float d3 = draw();
    const glm::vec3 d = glm::normalize(budDirection) + randomWeight * glm::normalize(glm::vec3(d3, d2, d1)) +
                        glm::vec3(0.0f, -tropismWeight, 0.0f);
    return glm::normalize(d) * internodeLength;
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-6f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The count the last "Number of internodes: " line printed, -1 when the text
// does not end with that line, worded exactly.
int printedCount(const std::string& text)
{
    static const std::regex line("Number of internodes: (-?[0-9]+) Sim iteration took [0-9]+s\\.\n$");
    std::smatch match;
    if (!std::regex_search(text, match, line))
        return -1;
    return std::stoi(match[1]);
}

using Growth = ModelTest;

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
    EXPECT_EQ(tree->root->internodeCount, 0);
    EXPECT_EQ(recording().resets, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 0);  // no light pass of its own
}

TEST_F(Growth, ResourceSplitBetweenTheNewBuds)
{
    struct Row { float amount; bool proleptic; float apical, lateral; };
    const Row rows[] = {
        {1.0f, true, 0.0f, 0.0f},  {1.0f, false, 0.0f, 0.0f},
        {4.0f, true, 3.0f, 0.0f},  {4.0f, false, 2.0f, 1.0f},
        {3.0f, false, 1.0f, 1.0f}, {2.0f, false, 1.0f, 0.0f},
        {1.5f, true, 0.5f, 0.0f},
        // Half of 0.5 rounded up is 1, more than the whole rest.
        {1.5f, false, 0.5f, 0.0f}, {1.25f, false, 0.25f, 0.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.amount << (row.proleptic ? " proleptic" : " not proleptic"));
        prolepticGrowth = row.proleptic;
        Tree tree;
        tree.root->KolicinaResources = row.amount;
        GrowShoot(tree.root, &tree);
        EXPECT_FALSE(tree.root->isBud);
        EXPECT_EQ(tree.root->KolicinaResources, row.amount);
        EXPECT_FLOAT_EQ(tree.root->children[0]->KolicinaResources, row.apical);
        EXPECT_FLOAT_EQ(tree.root->children[1]->KolicinaResources, row.lateral);
    }
}

TEST_F(Growth, ShootDirectionFromTheThreeDrawsInOrder)
{
    randomWeight = 0.7f;
    tropismWeight = -0.2f;
    internodeLength = 0.25f;
    randomEngine.seed(11);
    std::mt19937 reference(11);
    Tree tree;
    tree.root->direction = glm::vec3(0.3f, 0.1f, -0.2f);
    tree.root->KolicinaResources = 1.0f;
    const glm::vec3 expected = expectedShoot(tree.root->direction, reference);
    GrowShoot(tree.root, &tree);
    expectNear(tree.root->direction, expected);
    EXPECT_NEAR(glm::length(tree.root->direction), 0.25f, 1e-6f);
    EXPECT_EQ(randomEngine(), reference());  // exactly three outputs used
}

TEST_F(Growth, BudsBurstInWalkOrderAndDrawInThatOrder)
{
    // The apical bud holds 2, so its first shoot's apical bud bursts too,
    // before the walk reaches the lateral bud holding 1.
    randomWeight = 0.5f;
    Tree* tree = plantFork();
    Internode* apical = at(tree, {0});
    Internode* lateral = at(tree, {1});
    apical->KolicinaResources = 2.0f;
    lateral->KolicinaResources = 1.0f;
    const glm::vec3 apicalBud = apical->direction;
    const glm::vec3 lateralBud = lateral->direction;
    randomEngine.seed(21);
    std::mt19937 reference(21);

    tree->root->BurstBuds(tree);

    const glm::vec3 first = expectedShoot(apicalBud, reference);
    expectNear(apical->direction, first);
    // The second shoot grew from the first shoot's apical bud, which points
    // along the first shoot.
    expectNear(at(tree, {0, 0})->direction, expectedShoot(first, reference), 1e-5f);
    const glm::vec3 third = expectedShoot(lateralBud, reference);
    expectNear(lateral->direction, third);
    EXPECT_EQ(takeCensus(tree->root).internodes, 4);
    // Only the apical buds of the three shoots are registered, in burst order.
    const std::vector<const Internode*> registered = {at(tree, {0, 0}), at(tree, {0, 0, 0}), at(tree, {1, 0})};
    EXPECT_EQ(recording().added, registered);
}

TEST_F(Growth, ABudHoldingThreePointFiveGrowsThreeInternodes)
{
    Tree tree;
    tree.root->KolicinaResources = 3.5f;
    tree.root->BurstBuds(&tree);
    const TreeCensus census = takeCensus(tree.root);
    EXPECT_EQ(census.internodes, 3);
    EXPECT_EQ(census.buds, 4);
    const Internode* tip = tree.root->children[0]->children[0]->children[0];
    ASSERT_TRUE(tip->isBud);
    EXPECT_FLOAT_EQ(tip->KolicinaResources, 0.5f);
    EXPECT_EQ(tip->depth, 3);
    EXPECT_EQ(recording().added.size(), 3u);
}

TEST_F(Growth, LargestValidAmountGrowsThatManyInternodesInOnePass)
{
    // A chain this long in one pass used to cost one call level per internode.
    Tree tree;
    tree.root->KolicinaResources = maxBudResources;
    tree.root->BurstBuds(&tree);
    EXPECT_EQ(takeCensus(tree.root).internodes, static_cast<int>(maxBudResources));
}

TEST_F(Growth, InvalidBudResourcesAreResetWithAMessage)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float invalid[] = {-1.0f, -inf, inf, std::numeric_limits<float>::quiet_NaN(),
                             maxBudResources + 1.0f, 1.0e6f, 3.0e7f /* above 2^24 */};
    for (float amount : invalid) {
        SCOPED_TRACE(amount);
        Tree tree;
        tree.root->KolicinaResources = amount;
        DebugCapture debug;
        tree.root->CountAndMarkShedding();
        EXPECT_EQ(tree.root->KolicinaResources, 0.0f);
        ASSERT_EQ(DebugCapture::messages().size(), 1u);
        EXPECT_TRUE(DebugCapture::messages()[0].startsWith(invalidResources));
        EXPECT_GT(DebugCapture::messages()[0].size(), invalidResources.size());
    }
    for (float amount : {0.0f, 0.5f, maxBudResources}) {
        SCOPED_TRACE(amount);
        Tree tree;
        tree.root->KolicinaResources = amount;
        DebugCapture debug;
        tree.root->CountAndMarkShedding();
        EXPECT_EQ(tree.root->KolicinaResources, amount);
        EXPECT_TRUE(DebugCapture::messages().empty());
    }
    {
        Tree tree;
        tree.root->KolicinaResources = -2.5f;
        DebugCapture debug;
        tree.root->CountAndMarkShedding();
        ASSERT_EQ(DebugCapture::messages().size(), 1u);
        EXPECT_EQ(DebugCapture::messages()[0], invalidResources + "-2.5");
    }
}

TEST_F(Growth, HugeAmountsDoNotBurstEvenWithoutACountFirst)
{
    for (float amount : {1.0e9f, std::numeric_limits<float>::infinity()}) {
        Tree tree;
        tree.root->KolicinaResources = amount;
        DebugCapture debug;
        tree.root->BurstBuds(&tree);
        EXPECT_TRUE(tree.root->isBud);
        EXPECT_EQ(tree.root->KolicinaResources, 0.0f);
        EXPECT_EQ(DebugCapture::messages().size(), 1u);
    }
}

TEST_F(Growth, CountSkipsBudsAndRemovedNodes)
{
    auto tree = buildBalancedTree(3);
    at(tree.get(), {1, 0})->Cut(-1);
    tree->root->CountAndMarkShedding();
    EXPECT_EQ(tree->root->internodeCount, 7 - 1);  // the cut internode had only buds below
    EXPECT_EQ(at(tree.get(), {1})->internodeCount, 2);
    EXPECT_EQ(at(tree.get(), {1, 0})->internodeCount, 0);
    EXPECT_EQ(at(tree.get(), {0, 0, 0})->internodeCount, 0);
}

TEST_F(Growth, PipeModelThickness)
{
    // Two live buds of 0.03 with N2 = 3: 0.03 * 2^(1/3).
    Tree* fork = plantFork();
    fork->root->thickness = 0.0f;
    fork->root->UpdateThickness();
    EXPECT_NEAR(fork->root->thickness, 0.03f * std::cbrt(2.0f), 1e-6f);
    EXPECT_NEAR(fork->root->thickness, 0.0378f, 1e-4f);
    EXPECT_FLOAT_EQ(at(fork, {0})->thickness, budThickness);

    // Eight buds under three levels: the cubes add up to 8 * 0.03^3, so 0.06 at the root.
    auto balanced = buildBalancedTree(3);
    for (Internode* n : {balanced->root, at(balanced.get(), {0}), at(balanced.get(), {1, 1})})
        n->thickness = 0.0f;
    balanced->root->UpdateThickness();
    EXPECT_NEAR(balanced->root->thickness, 0.06f, 1e-6f);
    EXPECT_NEAR(at(balanced.get(), {1, 1})->thickness, 0.03f * std::cbrt(2.0f), 1e-6f);
}

TEST_F(Growth, ThicknessOverOneOrNoLiveChild)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    at(tree, {0, 1})->Cut(-1);
    at(tree, {1, 0})->Cut(-1);
    at(tree, {1, 1})->Cut(-1);
    tree->root->thickness = 0.0f;
    at(tree, {0})->thickness = 0.0f;
    at(tree, {1})->thickness = 0.0f;
    tree->root->UpdateThickness();
    EXPECT_NEAR(at(tree, {0})->thickness, 1.001f * 0.03f, 1e-7f);
    EXPECT_NEAR(at(tree, {1})->thickness, budThickness, 1e-7f);
    // The root's other child is live, so the pipe model applies.
    const float t0 = 1.001f * 0.03f;
    const float t1 = 0.03f;
    EXPECT_NEAR(tree->root->thickness, std::cbrt(t0 * t0 * t0 + t1 * t1 * t1), 1e-6f);
}

TEST_F(Growth, ThicknessNeverDecreasesAndRemembersThePreviousValue)
{
    Tree* fork = plantFork();
    fork->root->thickness = 0.5f;
    Internode* stub = at(fork, {1});
    stub->Cut(-1);
    stub->thickness = 0.2f;
    fork->root->UpdateThickness();
    EXPECT_EQ(fork->root->thickness, 0.5f);
    EXPECT_EQ(fork->root->previousThickness, 0.5f);
    EXPECT_EQ(stub->thickness, 0.2f);
    EXPECT_EQ(stub->previousThickness, 0.2f);
}

TEST_F(Growth, ThicknessKeepsItsValueWhenThePipeModelHasNone)
{
    // N2 = 0 divides by zero; 0.001 overflows single precision; a negative
    // exponent has no pipe-model meaning. The thickness would stick at
    // infinity for good, since it never decreases.
    for (float n2 : {0.0f, -0.0f, 0.001f, -3.0f}) {
        SCOPED_TRACE(n2);
        thicknessExponentN2 = n2;
        Tree* fork = plantFork();
        // Below what -3 would give (0.03 * 2^(-1/3)), so a candidate would show.
        fork->root->thickness = 0.01f;
        fork->root->UpdateThickness();
        EXPECT_EQ(fork->root->thickness, 0.01f);
        EXPECT_FLOAT_EQ(at(fork, {0})->thickness, budThickness);
    }
    thicknessExponentN2 = 3.0f;
    thicknessFactorN1 = std::numeric_limits<float>::infinity();
    Tree* fork = plantFork();
    at(fork, {1})->Cut(-1);
    fork->root->thickness = 0.04f;
    fork->root->UpdateThickness();
    EXPECT_EQ(fork->root->thickness, 0.04f);
}

TEST_F(Growth, ElongationMovesDescendantsOfAThickenedInternode)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    Internode* root = tree->root;
    Internode* inner = at(tree, {0});
    root->previousThickness = 0.03f;
    root->thickness = 0.05f;
    inner->previousThickness = inner->thickness;
    at(tree, {1})->previousThickness = at(tree, {1})->thickness;
    const glm::vec3 rootTip = root->position + root->direction;

    // e = 1 + 10 * (0.05 - 0.03) = 1.2 for the root, 1 below it.
    ElongateWithThickening(root, 10.0f);
    const glm::vec3 moved = root->position + 1.2f * root->direction;
    expectNear(inner->position, moved);
    expectNear(at(tree, {1})->position, moved);
    expectNear(at(tree, {0, 0})->position, moved + inner->direction);
    expectNear(at(tree, {0, 1})->position, moved + inner->direction);
    EXPECT_EQ(root->position, glm::vec3(0.0f));
    EXPECT_GT(glm::length(moved - rootTip), 0.01f);
}

TEST_F(Growth, StepElongatesOnlyWithANonZeroFactor)
{
    for (float factor : {0.0f, 2.0f}) {
        SCOPED_TRACE(factor);
        elongationFactor = factor;
        Tree* tree = makeOnlyTree(buildBalancedTree(2));
        // The root last had its bud's thickness, so the pass thickens it.
        tree->root->thickness = 0.03f;
        const glm::vec3 before = at(tree, {0})->position;
        CoutCapture out;
        simulationStep();
        const float grown = tree->root->thickness - tree->root->previousThickness;
        ASSERT_GT(grown, 0.0f);
        const glm::vec3 expected = tree->root->position + (1.0f + factor * grown) * tree->root->direction;
        expectNear(at(tree, {0})->position, expected);
        if (factor == 0.0f) {
            EXPECT_EQ(at(tree, {0})->position, before);
        }
    }
}

TEST_F(Growth, SheddingCutsBranchesBelowTheThreshold)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    sheddingThreshold = 0.5f;
    tree->root->resourcesQ = 2.1f;    // 2.1 / 3 internodes: kept
    at(tree, {0})->resourcesQ = 0.1f; // 0.1 / 1: shed
    at(tree, {1})->resourcesQ = 2.0f; // kept
    const Internode* apicalBelowShed = at(tree, {0, 0});

    tree->root->CountAndMarkShedding();
    EXPECT_FALSE(tree->root->shedMark);
    EXPECT_TRUE(at(tree, {0})->shedMark);
    EXPECT_FALSE(at(tree, {1})->shedMark);
    EXPECT_TRUE(tree->root->ShedMarked(tree));

    EXPECT_TRUE(at(tree, {0})->removed);
    EXPECT_EQ(at(tree, {0})->direction, glm::vec3(0.0f));
    EXPECT_EQ(at(tree, {0})->cutStamp, -1);
    // Only the apical bud below the cut is unregistered; the cut node itself
    // stays registered, as its own parent's apical continuation.
    EXPECT_EQ(recording().removed, std::vector<const Internode*>{apicalBelowShed});
    const TreeCensus census = takeCensus(tree->root);
    EXPECT_EQ(census.internodes, 2);
    EXPECT_EQ(census.removed, 1);
    // Nothing left to shed.
    tree->root->CountAndMarkShedding();
    EXPECT_FALSE(tree->root->ShedMarked(tree));
}

TEST_F(Growth, MarksOfTheFirstCountDecideWhatTheStepSheds)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(2));
    sheddingThreshold = 0.5f;
    tree->root->resourcesQ = 3.0f;
    at(tree, {0})->resourcesQ = 0.1f;
    at(tree, {1})->resourcesQ = 2.0f;
    // The marked branch's buds burst first, and are shed with it.
    giveBudsResources(tree->root, 1.0f);
    CoutCapture out;
    simulationStep();
    EXPECT_TRUE(at(tree, {0})->removed);
    // The root and the kept branch, plus one shoot from each of its two buds.
    EXPECT_EQ(takeCensus(tree->root).internodes, 4);
    EXPECT_EQ(printedCount(out.text()), 4);
}

TEST_F(Growth, AMarkedRootShedsTheWholeTree)
{
    Tree* tree = makeOnlyTree(buildBalancedTree(3));
    sheddingThreshold = 1.0f;
    tree->root->resourcesQ = 0.0f;
    CoutCapture out;
    simulationStep();
    EXPECT_TRUE(tree->root->removed);
    EXPECT_EQ(printedCount(out.text()), 0);
    simulationStep();  // a removed root is no bud: no "SS", nothing to do
    EXPECT_EQ(out.text().find("SS"), std::string::npos);
}

TEST_F(Growth, StepPrintsTheCountOfLiveInternodesOfAllTrees)
{
    Tree* first = makeOnlyTree(buildBalancedTree(2));     // 3 internodes
    allTrees.push_back(buildBalancedTree(3).release());  // 7 internodes
    Tree* second = allTrees.back();
    at(second, {1})->Cut(4);                              // leaves 4
    at(first, {0})->KolicinaResources = 0.0f;
    CoutCapture out;
    simulationStep();
    EXPECT_EQ(out.text().rfind("SS", 0), std::string::npos);
    EXPECT_EQ(printedCount(out.text()), 3 + 4);
    EXPECT_EQ(first->age, 3);
    EXPECT_EQ(second->age, 4);
    EXPECT_EQ(recording().clearShadowQueuesCalls, 1);
    EXPECT_EQ(recording().applyQueuedShadowsCalls, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 1);
}

TEST_F(Growth, FirstStepOfANewTreePrintsSSAndRunsALightPassFirst)
{
    restartWithOneTree();
    CoutCapture out;
    simulationStep();
    const std::string text = out.text();
    EXPECT_EQ(text.rfind("SS\n", 0), 0u);
    EXPECT_EQ(printedCount(text), takeCensus(allTrees.front()->root).internodes);
    EXPECT_EQ(recording().computeQueuedCalls, 2);
    EXPECT_EQ(allTrees.front()->age, 1);
}

TEST_F(Growth, AStepGrowsAndThickensTheGivenBuds)
{
    Tree* tree = plantFork();
    at(tree, {0})->KolicinaResources = 3.5f;
    at(tree, {1})->KolicinaResources = 0.0f;
    CoutCapture out;
    simulationStep();
    EXPECT_EQ(printedCount(out.text()), 1 + 3);
    // Every burst's apical bud, and nothing else, is registered.
    EXPECT_EQ(recording().added.size(), 3u);
    // Along the chain of single shoots each internode is the pipe-model sum
    // of its two live children, so the base is the thickest.
    EXPECT_GT(at(tree, {0})->thickness, at(tree, {0, 0})->thickness);
    EXPECT_GT(at(tree, {0, 0})->thickness, budThickness);
}

namespace {

// Detaches allTrees' only tree, so that another can be grown beside it.
std::unique_ptr<Tree> takeOnlyTree()
{
    std::unique_ptr<Tree> tree(allTrees.front());
    allTrees.clear();
    return tree;
}

// Walks two trees side by side and expects them equal, bit for bit; returns
// the number of nodes compared.
int expectSameTree(const Tree* a, const Tree* b)
{
    EXPECT_EQ(a->age, b->age);
    std::vector<std::pair<const Internode*, const Internode*>> pending{{a->root, b->root}};
    int nodes = 0;
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        ++nodes;
        EXPECT_EQ(x->isBud, y->isBud);
        EXPECT_EQ(x->removed, y->removed);
        if (x->isBud != y->isBud || x->removed != y->removed)
            return nodes;
        EXPECT_EQ(x->position, y->position);
        EXPECT_EQ(x->direction, y->direction);
        EXPECT_EQ(x->thickness, y->thickness);
        EXPECT_EQ(x->KolicinaResources, y->KolicinaResources);
        EXPECT_EQ(x->birthIteration, y->birthIteration);
        EXPECT_EQ(x->phyllotaxisAngle, y->phyllotaxisAngle);
        if (!x->isBud && !x->removed) {
            pending.push_back({x->children[1], y->children[1]});
            pending.push_back({x->children[0], y->children[0]});
        }
    }
    return nodes;
}

} // namespace

TEST_F(Growth, SameSeedSameTreeNodeForNode)
{
    // Resources by hand and a random share in every shoot's direction, so
    // the draws of bud burst shape the tree.
    randomWeight = 0.4f;
    CoutCapture out;
    growTreeWithResources(8, 1.5f, 3);
    const auto a = takeOnlyTree();
    growTreeWithResources(8, 1.5f, 3);
    const auto b = takeOnlyTree();
    growTreeWithResources(8, 1.5f, 4);
    const auto c = takeOnlyTree();

    EXPECT_GT(expectSameTree(a.get(), b.get()), 100);
    EXPECT_EQ(hashTree(a->root), hashTree(b->root));
    EXPECT_NE(hashTree(a->root), hashTree(c->root));
}

TEST_F(Growth, WholeIterationsFromSeedThreeRepeatExactly)
{
    // The light and resource pass allocates (with its own draws); the
    // recording environment lights every young bud with 1, nothing shades,
    // and the tree grows several times larger every iteration.
    CoutCapture out;
    growTree(4, 3);
    const int printed = printedCount(out.text());
    const auto a = takeOnlyTree();
    growTree(4, 3);
    const auto b = takeOnlyTree();

    EXPECT_EQ(printedCount(out.text()), printed);
    EXPECT_EQ(takeCensus(a->root).internodes, printed);
    EXPECT_GT(printed, 42);  // more than the first iteration's chain
    EXPECT_GT(expectSameTree(a.get(), b.get()), 2 * printed);
    EXPECT_EQ(hashTree(a->root), hashTree(b->root));
}
