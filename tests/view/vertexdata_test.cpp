// Tree vertex data: branch, leaf and cap points, the pick table and the
// per-tree colour attributes, on small hand-built trees whose expected values
// are worked out in the comments.

#include <cmath>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/tree.h"
#include "support/recording_environment.h"
#include "support/treebuilders.h"
#include "view/vertexdata.h"

namespace {

constexpr float eps = 1e-6f;

void expectNear(const glm::vec3& actual, const glm::vec3& expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, eps) << what;
    EXPECT_NEAR(actual.y, expected.y, eps) << what;
    EXPECT_NEAR(actual.z, expected.z, eps) << what;
}

// Hangs a new bud in `slot` of `parent` (making the parent an internode).
Internode* attach(Internode* parent, int slot, const glm::vec3& direction, float thickness, int birth)
{
    parent->isBud = false;
    auto* node = new Internode(parent, birth, parent->depth + 1);
    node->position = parent->position + parent->direction;
    node->direction = direction;
    node->thickness = thickness;
    parent->children[slot] = node;
    return node;
}

void setValues(Internode* node, int internodeCount, float q, float kr)
{
    node->internodeCount = internodeCount;
    node->resourcesQ = q;
    node->KolicinaResources = kr;
}

// The scene most tests use, a tree aged 4:
//   R  root internode (0,0,0) + (0,2,0), thickness 0.5, born 0; count 2, Q 6, KR 8
//   A  R's apical internode (0,2,0) + (1,0,0), thickness 0.2, born 1; count 1, Q 4, KR 5
//   A0 A's apical bud (1,2,0) + (0.2,0,0), born 2; Q 3, KR 1
//   A1 A's lateral bud (1,2,0) + (0,0.2,0), born 2; Q 1, KR 0
//   L  R's lateral bud (0,2,0) + (0,0,0.2), born 1; Q 2, KR 3
// Depth first, apical first: R, A, A0, A1, L.
struct Scene {
    Tree* tree = nullptr;
    Internode *r = nullptr, *a = nullptr, *a0 = nullptr, *a1 = nullptr, *l = nullptr;

    Scene()
    {
        tree = new Tree();
        tree->age = 4;
        r = tree->root;
        r->direction = glm::vec3(0.0f, 2.0f, 0.0f);
        r->thickness = 0.5f;
        a = attach(r, 0, glm::vec3(1.0f, 0.0f, 0.0f), 0.2f, 1);
        l = attach(r, 1, glm::vec3(0.0f, 0.0f, 0.2f), 0.03f, 1);
        a0 = attach(a, 0, glm::vec3(0.2f, 0.0f, 0.0f), 0.03f, 2);
        a1 = attach(a, 1, glm::vec3(0.0f, 0.2f, 0.0f), 0.03f, 2);
        setValues(r, 2, 6.0f, 8.0f);
        setValues(a, 1, 4.0f, 5.0f);
        setValues(a0, 0, 3.0f, 1.0f);
        setValues(a1, 0, 1.0f, 0.0f);
        setValues(l, 0, 2.0f, 3.0f);
    }
};

struct Geometry {
    std::vector<BranchPoint> branchPoints;
    std::vector<LeafPoint> leafPoints;
    std::vector<Internode*> pickTable;
    GeometryAttributes attributes;
    std::vector<CapPoint> capPoints;

    void build() { buildAllTreeGeometry(branchPoints, leafPoints, pickTable, attributes, capPoints); }
};

class VertexDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordingEnvironment::reset();
        deleteAllTrees();
    }
    void TearDown() override { deleteAllTrees(); }

    Scene addScene()
    {
        Scene scene;
        allTrees.push_back(scene.tree);
        return scene;
    }

    Geometry geometry;
};

}  // namespace

TEST_F(VertexDataTest, BranchPointsFollowTheWalkOrder)
{
    const Scene s = addScene();
    geometry.build();

    ASSERT_EQ(geometry.branchPoints.size(), 5u);
    const std::vector<Internode*> order = {s.r, s.a, s.a0, s.a1, s.l};
    EXPECT_EQ(geometry.pickTable, order);

    struct Expected {
        glm::vec3 base, tip, startRadius, endRadius;
        int age;
        const char* name;
    };
    const Expected expected[] = {
        // The root starts its own tube.
        {{0, 0, 0}, {0, 2, 0}, {0, 0.5f, 0}, {0, 0.5f, 0}, 4, "R"},
        // An internode continues its parent's radius vector.
        {{0, 2, 0}, {1, 2, 0}, {0, 0.5f, 0}, {0.2f, 0, 0}, 3, "A"},
        // An apical bud too, tapering to 0.0001.
        {{1, 2, 0}, {1.2f, 2, 0}, {0.2f, 0, 0}, {0.0001f, 0, 0}, 2, "A0"},
        // A lateral bud starts with its own thickness.
        {{1, 2, 0}, {1, 2.2f, 0}, {0, 0.03f, 0}, {0, 0.0001f, 0}, 2, "A1"},
        {{0, 2, 0}, {0, 2, 0.2f}, {0, 0, 0.03f}, {0, 0, 0.0001f}, 3, "L"},
    };
    for (int i = 0; i < 5; ++i) {
        const BranchPoint& p = geometry.branchPoints[i];
        const Expected& e = expected[i];
        expectNear(p.base, e.base, e.name);
        expectNear(p.tip, e.tip, e.name);
        expectNear(p.startRadius, e.startRadius, e.name);
        expectNear(p.endRadius, e.endRadius, e.name);
        EXPECT_EQ(p.pickId, i) << e.name;
        EXPECT_EQ(p.age, e.age) << e.name;
    }
}

TEST_F(VertexDataTest, AttributesPerInternodeAndNormalisedPerTree)
{
    addScene();
    geometry.build();
    const GeometryAttributes& at = geometry.attributes;

    // Order R, A, A0, A1, L. Per internode: Q / count and KR / count / 10, the
    // raw values where the count is 0.
    const std::vector<float> qPerInternode = {6.0f / 2, 4.0f / 1, 3, 1, 2};
    const std::vector<float> krPerInternode = {8.0f / 2 / 10, 5.0f / 1 / 10, 1, 0, 3};
    // budQ raw 0, 0, 3, 1, 2: range 0..3. nodeQ raw 6, 4, 3, 1, 2: range 1..6.
    // nodeKR raw 8, 5, 1, 0, 3: range 0..8.
    const std::vector<float> budQ = {0, 0, 1, 1.0f / 3, 2.0f / 3};
    const std::vector<float> nodeQ = {1, 0.6f, 0.4f, 0, 0.2f};
    const std::vector<float> nodeKR = {1, 0.625f, 0.125f, 0, 0.375f};

    struct Column {
        const std::vector<float>& actual;
        const std::vector<float>& expected;
        const char* name;
    };
    for (const Column& c : {Column{at.qPerInternode, qPerInternode, "qPerInternode"},
                            Column{at.krPerInternode, krPerInternode, "krPerInternode"},
                            Column{at.budQ, budQ, "budQ"}, Column{at.nodeQ, nodeQ, "nodeQ"},
                            Column{at.nodeKR, nodeKR, "nodeKR"}}) {
        ASSERT_EQ(c.actual.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(c.actual[i], c.expected[i], eps) << c.name << "[" << i << "]";
    }
}

TEST_F(VertexDataTest, LeavesOnBudsOfTheLastThreeIterations)
{
    const Scene s = addScene();
    geometry.build();

    // A0 and A1 were born at age - 2 and carry leaves; L (age - 3) and the
    // internodes do not.
    ASSERT_EQ(geometry.leafPoints.size(), 2u);
    const LeafPoint& onA0 = geometry.leafPoints[0];
    expectNear(onA0.position, s.a0->position, "A0 position");
    expectNear(onA0.orientation, glm::vec3(0.7f, 0, 0), "A0 orientation");
    // d = (0.2,0,0): d x (1,1,0) = (0,0,0.2), (0,0,0.2) x d = (0,0.04,0): +y, which
    // is perpendicular to d and on the side of (1,1,0).
    expectNear(onA0.normal, glm::vec3(0, 1, 0), "A0 normal");
    const LeafPoint& onA1 = geometry.leafPoints[1];
    expectNear(onA1.orientation, glm::vec3(0, 0.7f, 0), "A1 orientation");
    // d = (0,0.2,0): d x (1,1,0) = (0,0,-0.2), (0,0,-0.2) x d = (0.04,0,0): +x.
    expectNear(onA1.normal, glm::vec3(1, 0, 0), "A1 normal");
}

TEST_F(VertexDataTest, LeafAgeRule)
{
    struct Case {
        int birthBeforeAge;  // the bud was born this many iterations before the tree's age
        bool leaf;
    };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{2, true}, Case{3, false}, Case{7, false}}) {
        deleteAllTrees();
        auto* tree = new Tree();
        allTrees.push_back(tree);
        tree->age = 10;
        tree->root->birthIteration = 10 - c.birthBeforeAge;
        geometry.build();
        EXPECT_EQ(geometry.leafPoints.size(), c.leaf ? 1u : 0u) << c.birthBeforeAge << " iterations old";
    }
}

TEST_F(VertexDataTest, LeafNormalOfABudAlongTheReferenceDirection)
{
    // (1,1,0) spans no plane with itself: the normal must still be a finite unit
    // vector perpendicular to the bud.
    auto* tree = new Tree();
    allTrees.push_back(tree);
    tree->root->direction = glm::vec3(0.1f, 0.1f, 0.0f);
    geometry.build();
    ASSERT_EQ(geometry.leafPoints.size(), 1u);
    const glm::vec3 n = geometry.leafPoints[0].normal;
    ASSERT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
    EXPECT_NEAR(glm::length(n), 1.0f, eps);
    EXPECT_NEAR(glm::dot(n, tree->root->direction), 0.0f, eps);
}

TEST_F(VertexDataTest, AShedInternodeLeavesOnlyItsCap)
{
    const Scene s = addScene();
    s.a->Cut(-1);  // shedding: subtree freed, direction zero
    geometry.build();

    ASSERT_EQ(geometry.capPoints.size(), 1u);
    // At its base (zero direction), facing along R (unit (0,1,0)) scaled by A's 0.2.
    expectNear(geometry.capPoints[0].position, glm::vec3(0, 2, 0), "cap position");
    expectNear(geometry.capPoints[0].normal, glm::vec3(0, 0.2f, 0), "cap normal");
    EXPECT_EQ(geometry.pickTable, (std::vector<Internode*>{s.r, s.l}));
    EXPECT_EQ(geometry.branchPoints.size(), 2u);
    EXPECT_EQ(geometry.branchPoints[1].pickId, 1);
    EXPECT_EQ(geometry.attributes.nodeQ.size(), 2u);
    EXPECT_EQ(geometry.attributes.qPerInternode.size(), 2u);
}

TEST_F(VertexDataTest, APruningStubIsDrawnToItsCut)
{
    struct Case {
        float length;
        bool drawn;
    };
    for (const Case c : {Case{0.5f, true}, Case{0.002f, true}, Case{0.0005f, false}, Case{0.0f, false}}) {
        deleteAllTrees();
        const Scene s = addScene();
        // The pruning tool shortens A along its axis, then cuts it with the tree's age.
        s.a->direction = glm::vec3(c.length, 0.0f, 0.0f);
        s.a->Cut(s.tree->age);
        geometry.build();

        ASSERT_EQ(geometry.capPoints.size(), 1u) << c.length;
        expectNear(geometry.capPoints[0].position, glm::vec3(c.length, 2, 0), "cap at the shortened tip");
        expectNear(geometry.capPoints[0].normal, glm::vec3(0, 0.2f, 0), "cap normal");
        if (!c.drawn) {
            EXPECT_EQ(geometry.pickTable, (std::vector<Internode*>{s.r, s.l})) << c.length;
            continue;
        }
        // R, the stub A (its subtree is gone), then L.
        ASSERT_EQ(geometry.pickTable, (std::vector<Internode*>{s.r, s.a, s.l})) << c.length;
        const BranchPoint& stub = geometry.branchPoints[1];
        EXPECT_EQ(stub.pickId, 1);
        expectNear(stub.tip, glm::vec3(c.length, 2, 0), "stub tip");
        expectNear(stub.startRadius, glm::vec3(0, 0.5f, 0), "stub start radius");
        expectNear(stub.endRadius, glm::vec3(0.2f, 0, 0), "stub end radius");
        EXPECT_EQ(geometry.attributes.nodeQ.size(), 3u);
    }
}

TEST_F(VertexDataTest, ARemovedRootHasNoCapAndLeavesOtherTreesAlone)
{
    addScene();
    auto* bare = new Tree();
    bare->root->Cut(-1);
    allTrees.push_back(bare);
    geometry.build();

    EXPECT_TRUE(geometry.capPoints.empty());
    ASSERT_EQ(geometry.branchPoints.size(), 5u);
    // The first tree's normalised values are those of the scene alone.
    EXPECT_NEAR(geometry.attributes.nodeQ[0], 1.0f, eps);
    EXPECT_NEAR(geometry.attributes.nodeQ[1], 0.6f, eps);
    EXPECT_NEAR(geometry.attributes.budQ[4], 2.0f / 3, eps);
}

// A tree just planted or restarted: its root bud has never been counted, so its
// internodeCount must read 0 and the per-internode values are the raw ones. Its
// single values cannot be spread and normalise to 0, not NaN.
TEST_F(VertexDataTest, AFreshTreeAfterAnotherContinuesTheIds)
{
    addScene();
    auto* fresh = new Tree();
    fresh->root->resourcesQ = 3.0f;
    fresh->root->KolicinaResources = 5.0f;
    allTrees.push_back(fresh);
    geometry.build();

    ASSERT_EQ(geometry.branchPoints.size(), 6u);
    const BranchPoint& root = geometry.branchPoints[5];
    EXPECT_EQ(root.pickId, 5);
    EXPECT_EQ(geometry.pickTable[5], fresh->root);
    EXPECT_EQ(root.age, 0);
    // Root direction (0, 0.1, 0.0001), thickness 0.03.
    const glm::vec3 axis = glm::normalize(glm::vec3(0.0f, 0.1f, 0.0001f));
    expectNear(root.startRadius, axis * 0.03f, "fresh root start radius");
    expectNear(root.endRadius, axis * 0.0001f, "fresh root end radius");

    const GeometryAttributes& at = geometry.attributes;
    EXPECT_FLOAT_EQ(at.qPerInternode[5], 3.0f);
    EXPECT_FLOAT_EQ(at.krPerInternode[5], 5.0f);
    EXPECT_EQ(at.budQ[5], 0.0f);
    EXPECT_EQ(at.nodeQ[5], 0.0f);
    EXPECT_EQ(at.nodeKR[5], 0.0f);
    // The first tree's range still runs from 0 to 1 on its own.
    EXPECT_NEAR(at.nodeKR[0], 1.0f, eps);
    EXPECT_NEAR(at.nodeKR[3], 0.0f, eps);
    EXPECT_EQ(geometry.leafPoints.size(), 3u);  // A0, A1 and the fresh root
}

TEST_F(VertexDataTest, RebuildStartsAgainFromNothing)
{
    addScene();
    geometry.build();
    geometry.build();
    EXPECT_EQ(geometry.branchPoints.size(), 5u);
    EXPECT_EQ(geometry.pickTable.size(), 5u);
    EXPECT_EQ(geometry.leafPoints.size(), 2u);
    EXPECT_EQ(geometry.attributes.budQ.size(), 5u);
    EXPECT_EQ(geometry.branchPoints.front().pickId, 0);
    for (const std::vector<float>* column :
         {&geometry.attributes.qPerInternode, &geometry.attributes.budQ, &geometry.attributes.nodeQ,
          &geometry.attributes.krPerInternode, &geometry.attributes.nodeKR})
        EXPECT_GE(column->capacity(), 1000000u);

    deleteAllTrees();
    geometry.build();
    EXPECT_TRUE(geometry.branchPoints.empty());
    EXPECT_TRUE(geometry.pickTable.empty());
    EXPECT_TRUE(geometry.leafPoints.empty());
    EXPECT_TRUE(geometry.attributes.nodeKR.empty());
}

TEST_F(VertexDataTest, ABalancedTreeIsWalkedInPreOrder)
{
    // 4 levels: 15 internodes and 16 buds, all buds born in the last iteration.
    Tree* tree = makeOnlyTree(buildBalancedTree(4));
    geometry.build();

    ASSERT_EQ(geometry.branchPoints.size(), 31u);
    EXPECT_EQ(geometry.leafPoints.size(), 16u);
    EXPECT_TRUE(geometry.capPoints.empty());
    EXPECT_EQ(geometry.pickTable[0], tree->root);
    for (std::size_t i = 0; i < geometry.pickTable.size(); ++i) {
        const Internode* node = geometry.pickTable[i];
        EXPECT_EQ(geometry.branchPoints[i].pickId, static_cast<int>(i));
        expectNear(geometry.branchPoints[i].base, node->position, "base");
        // Pre-order, apical first: an internode's child 0 follows it at once.
        if (!node->isBud) {
            ASSERT_LT(i + 1, geometry.pickTable.size());
            EXPECT_EQ(geometry.pickTable[i + 1], node->children[0]);
        }
    }
    for (const std::vector<float>* column :
         {&geometry.attributes.budQ, &geometry.attributes.nodeQ, &geometry.attributes.nodeKR}) {
        for (float x : *column) {
            EXPECT_GE(x, 0.0f);
            EXPECT_LE(x, 1.0f);
        }
    }
}

TEST(NormalizeFromTest, SpreadsTheTailBetweenZeroAndOne)
{
    struct Case {
        std::vector<float> values;
        int start;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {{2, 4, 6}, 0, {0, 0.5f, 1}},
        {{9, 2, 4, 3}, 1, {9, 0, 1, 0.5f}},      // the head stays as it is
        {{-1, 1}, 0, {0, 1}},
        {{5, 5, 5}, 0, {0, 0, 0}},               // nothing to spread: 0, not NaN
        {{7, 5, 5}, 1, {7, 0, 0}},
        {{1, 2}, 2, {1, 2}},                     // empty range
        {{1, 2}, 5, {1, 2}},                     // start past the end
        {{}, 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<float> values = c.values;
        normalizeFrom(values, c.start);
        ASSERT_EQ(values.size(), c.expected.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR(values[i], c.expected[i], eps) << "case " << (&c - cases) << " entry " << i;
    }
}
