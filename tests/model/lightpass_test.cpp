// The light and resource pass on the recording stand-in of the environment:
// upward sums, the exposure histogram and lighting index, the printed lines,
// the growth curve's use and the hand-over to the allocation models.

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <QDebug>

#include "model/allocation.h"
#include "model/lightpass.h"
#include "modelfixture.h"

namespace {

const float qnan = std::numeric_limits<float>::quiet_NaN();
const float inf = std::numeric_limits<float>::infinity();

using LightPass = ModelTest;

// Equal, or both NaN.
bool same(float actual, float expected)
{
    return std::isnan(expected) ? std::isnan(actual) : actual == expected;
}

// A value as the debug stream writes it, with nothing around it.
template <typename T>
std::string debugText(const T& value)
{
    QString text;
    QDebug(&text).nospace() << value;
    return text.toStdString();
}

} // namespace

// The model's sanity messages, worded as given: one space where the text has
// one, none added by the stream.
TEST_F(LightPass, SanityMessagesAreWordedExactly)
{
    struct Row {
        const char* what;
        std::function<std::vector<std::string>(Tree&)> run;  // returns the expected messages
    };
    const Row rows[] = {
        {"bud light", [](Tree& tree) {
             tree.root->resourcesQ = -1.5f;
             SumQUp(tree.root);
             return std::vector<std::string>{"Popek ima neg res " + debugText(-1.5f)};
         }},
        {"growth curve", [](Tree&) {
             growthCurveExpression = "1+";
             StreamCapture out(std::cout);
             lightAndAllocationPass();
             return std::vector<std::string>{"napaka pri prevajanju rastne krivulje 1+"};
         }},
        {"Borchert-Honda amount", [](Tree& tree) {
             burstByHand(tree.root, &tree);
             tree.root->resourcesQ = 0.25f;
             tree.root->KolicinaResources = -2.0f;
             tree.root->AllocateBorchertHonda();
             return std::vector<std::string>{"Napacna KR: " + debugText(-2.0f),
                                             debugText(0.25f) + " " + debugText(static_cast<const void*>(nullptr))};
         }},
        {"share above the base's amount", [](Tree& tree) {
             // A negative base amount: each share of it is more than all of it.
             // The two buds stand level at one depth, so their shares go by
             // light + 1 alone, 1 : 3, and tanh(500)^1 rounds to 1.
             Internode* root = burstByHand(tree.root, &tree);
             root->KolicinaResources = -4.0f;
             root->children[1]->resourcesQ = 0.0f;
             root->children[0]->resourcesQ = 2.0f;
             AllocateByShares(root, &tree);
             return std::vector<std::string>{"____" + debugText(-4.0f * 1 / 4) + " " + debugText(-4.0f),
                                             "____" + debugText(-4.0f * 3 / 4) + " " + debugText(-4.0f)};
         }},
    };
    for (const Row& row : rows) {
        Tree* tree = makeOnlyTree(std::make_unique<Tree>());
        DebugCapture debug;
        const std::vector<std::string> expected = row.run(*tree);
        EXPECT_EQ(DebugCapture::messages(), expected) << row.what;
    }
}

TEST_F(LightPass, SumQUpAddsLightAndBudsTowardsTheRootSkippingStubs)
{
    Tree tree;
    Internode* root = burstByHand(tree.root, &tree);
    Internode* apical = burstByHand(root->children[0], &tree);
    Internode* stub = burstByHand(root->children[1], &tree);
    stub->Cut(-1);
    stub->resourcesQ = 3.0f;  // whatever a stub holds, it adds nothing
    apical->children[0]->resourcesQ = 0.25f;
    apical->children[1]->resourcesQ = 1.0f;
    root->resourcesQ = 7.0f;  // stale sums of an earlier pass
    apical->resourcesQ = 9.0f;

    SumQUp(root);

    struct Row { const Internode* node; float q, previousQ; int buds; };
    const Row rows[] = {{root, 1.25f, 7.0f, 2}, {apical, 1.25f, 9.0f, 2}, {stub, 0.0f, 3.0f, 0},
                        {apical->children[1], 1.0f, 1.0f, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        EXPECT_FLOAT_EQ(row.node->resourcesQ, row.q);
        EXPECT_FLOAT_EQ(row.node->previousQ, row.previousQ);
        EXPECT_EQ(row.node->resourcesNumPopkov, row.buds);
    }
}

TEST_F(LightPass, SumQUpReportsAnInvalidBudLightAndKeepsIt)
{
    for (const float q : {-1.0f, qnan, inf, 0.0f}) {
        Tree tree;
        tree.root->resourcesQ = q;
        DebugCapture debug;
        SumQUp(tree.root);
        EXPECT_EQ(DebugCapture::countStartingWith("Popek ima neg res "), q == 0.0f ? 0 : 1) << q;
        EXPECT_TRUE(same(tree.root->resourcesQ, q)) << q;
    }
}

TEST_F(LightPass, YoungBudLandsInTheBinOfItsExposure)
{
    // Bin k holds exposures from k * 0.1 up to (k + 1) * 0.1; 1 and above go to
    // the last bin, negative and NaN to the first.
    struct Row { float exposure; int bin; };
    const Row rows[] = {{0.0f, 0},  {0.05f, 0}, {0.1f, 1}, {0.35f, 3},  {0.95f, 9},   {1.0f, 9},
                        {2.5f, 9},  {-0.3f, 0}, {qnan, 0}, {inf, 9},    {-inf, 0},    {3.0e9f, 9},
                        {-3.0e9f, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.exposure);
        Tree tree;
        tree.root->lightExposure = row.exposure;
        int bins[10] = {};
        double sum = 0.0;
        int count = 0;
        CollectLightHistogram(tree.root, &tree, sum, count, bins, 10);
        EXPECT_EQ(count, 1);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(bins[k], k == row.bin ? 1 : 0) << "bin " << k;
    }
}

TEST_F(LightPass, LightingIndexIsTheMeanExposureOfYoungBuds)
{
    Tree tree;
    Internode* root = burstByHand(tree.root, &tree);  // buds born at 0
    tree.age = 3;
    Internode* left = burstByHand(root->children[0], &tree);  // buds born at 3: young
    Internode* right = burstByHand(root->children[1], &tree);
    left->children[0]->lightExposure = 0.2f;
    left->children[1]->lightExposure = 0.9f;
    left->children[1]->birthIteration = 0;  // 0 < 3 - 2: too old
    right->children[0]->lightExposure = 0.6f;
    Internode* stub = right->children[1];
    stub->Cut(-1);
    stub->lightExposure = 0.45f;
    stub->lightingIndex = 5.0;

    int bins[10] = {};
    bins[2] = 2;  // the pass adds to the bins it is given
    double sum = 0.0;
    int count = 0;
    CollectLightHistogram(root, &tree, sum, count, bins, 10);

    EXPECT_EQ(count, 2);
    EXPECT_NEAR(sum, 0.8, 1e-6);
    EXPECT_NEAR(root->lightingIndex, 0.4, 1e-6);
    EXPECT_NEAR(left->lightingIndex, 0.2, 1e-6);
    EXPECT_NEAR(right->lightingIndex, 0.6, 1e-6);
    EXPECT_TRUE(std::isnan(left->children[1]->lightingIndex));  // no young bud: 0 / 0
    EXPECT_EQ(stub->lightingIndex, 0.0);
    const int expected[10] = {0, 0, 3, 0, 0, 0, 1, 0, 0, 0};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(bins[k], expected[k]) << "bin " << k;
}

TEST_F(LightPass, EachTreePrintsItsLinesAndUpdatesTheRunningHistogram)
{
    RecordingEnvironment::reset(0.5f);
    allTrees.push_back(new Tree());  // age 0, one young bud
    Tree* first = allTrees.back();
    allTrees.push_back(buildBalancedTree(2).release());  // four young buds
    Tree* second = allTrees.back();
    for (int& bin : histogramStore().bins)
        bin = 3;  // counts of an earlier pass, cleared first
    std::vector<int> sumsSeen;
    histogramStore().onChanged = [&sumsSeen] {
        int total = 0;
        for (int bin : histogramStore().bins)
            total += bin;
        sumsSeen.push_back(total);
    };

    StreamCapture out(std::cout);
    lightAndAllocationPass();

    EXPECT_EQ(recording().clearBudQueueCalls, 1);
    EXPECT_EQ(recording().computeQueuedCalls, 1);
    EXPECT_EQ(recording().lightRequests.size(), 5u);
    EXPECT_EQ(sumsSeen, (std::vector<int>{1, 5}));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(histogramStore().bins[k], k == 5 ? 5 : 0) << "bin " << k;
    // Exposure 0.5 is class 5; no line end follows the bins.
    std::ostringstream expected;
    expected << "tree: " << static_cast<const void*>(first) << " Lighting index: 0.5\n"
             << " histogram:  sum: 1 10  bins: 0\t0\t0\t0\t0\t1\t0\t0\t0\t0\t"
             << "tree: " << static_cast<const void*>(second) << " Lighting index: 0.5\n"
             << " histogram:  sum: 5 10  bins: 0\t0\t0\t0\t0\t5\t0\t0\t0\t0\t";
    EXPECT_EQ(out.text(), expected.str());
    // The new tree's curve at age + 1 = 1 is 40 tanh(+inf) + 2 = 42, all of it for its one bud.
    EXPECT_FLOAT_EQ(first->root->KolicinaResources, 0.5f * 42.0f);
}

TEST_F(LightPass, CurveAtAgePlusOneScalesTheRootLight)
{
    // Age 2 and four young buds lit 0.5: root light 2, curve read at x = 3.
    struct Row { const char* curve; int model; float root, bud; int messages; };
    const Row rows[] = {
        {"x", 4, 6.0f, 0.0f, 0},   // model 4 allocates nothing
        {"-5", 4, 0.0f, 0.0f, 0},  // a negative value means no growth
        {"-5", 3, 0.0f, 0.0f, 0},  // and model 3 then hands out nothing rather than debts
        {"x+", 4, 5.0f, 0.0f, 1},  // does not compile: the root keeps its amount
        {"(x", 3, qnan, qnan, 1},  // model 3 passes the NaN on; the next count resets it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.curve << " model " << row.model);
        growthCurveExpression = row.curve;
        allocationModel = row.model;
        RecordingEnvironment::reset(0.5f);
        Tree* tree = makeOnlyTree(buildBalancedTree(2));
        tree->root->KolicinaResources = 5.0f;
        DebugCapture debug;
        StreamCapture out(std::cout);
        lightAndAllocationPass();
        EXPECT_FLOAT_EQ(tree->root->resourcesQ, 2.0f);
        EXPECT_TRUE(same(tree->root->KolicinaResources, row.root)) << tree->root->KolicinaResources;
        for (const Internode* node : collectNodes(tree->root)) {
            if (node->isBud) {
                EXPECT_TRUE(same(node->KolicinaResources, row.bud)) << node->KolicinaResources;
            }
        }
        ASSERT_EQ(DebugCapture::countStartingWith("napaka pri prevajanju rastne krivulje "), row.messages);
        if (row.messages > 0) {
            EXPECT_NE(DebugCapture::messages()[0].find(row.curve), std::string::npos);
        }
    }
}
