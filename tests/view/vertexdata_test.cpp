// Tree vertex data on small hand-built trees whose expected values are worked
// out in the comments: walk order, radii, pick ids, leaves, caps and stubs, and
// the per-tree colour attributes.

#include <cmath>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"
#include "view/vertexdata.h"

namespace {

constexpr float eps = 1e-6f;

void expectNear(const glm::vec3& actual, const glm::vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, eps) << what;
    EXPECT_NEAR(actual.y, expected.y, eps) << what;
    EXPECT_NEAR(actual.z, expected.z, eps) << what;
}

void setValues(Internode* node, int internodeCount, float q, float kr)
{
    node->internodeCount = internodeCount;
    node->resourcesQ = q;
    node->KolicinaResources = kr;
}

// A tree aged 4 (walk order R, A, A0, A1, L):
//   R  root internode (0,0,0) + (0,2,0), thickness 0.5, born 0; count 2, Q 6, KR 8
//   A  R's apical internode (0,2,0) + (1,0,0), thickness 0.2, born 1; count 1, Q 4, KR 5
//   A0 A's apical bud (1,2,0) + (0.2,0,0), born 2; Q 3, KR 1
//   A1 A's lateral bud (1,2,0) + (0,0.2,0), born 2; Q 1, KR 0
//   L  R's lateral bud (0,2,0) + (0,0,0.2), born 1; Q 2, KR 3
struct Scene {
    Tree* tree = new Tree();
    Internode *r = tree->root, *a, *a0, *a1, *l;

    Scene()
    {
        tree->age = 4;
        r->direction = glm::vec3(0.0f, 2.0f, 0.0f);
        r->thickness = 0.5f;
        a = attachNode(r, 0, glm::vec3(1.0f, 0.0f, 0.0f), 0.2f, 1);
        l = attachNode(r, 1, glm::vec3(0.0f, 0.0f, 0.2f), 0.03f, 1);
        a0 = attachNode(a, 0, glm::vec3(0.2f, 0.0f, 0.0f), 0.03f, 2);
        a1 = attachNode(a, 1, glm::vec3(0.0f, 0.2f, 0.0f), 0.03f, 2);
        setValues(r, 2, 6.0f, 8.0f);
        setValues(a, 1, 4.0f, 5.0f);
        setValues(a0, 0, 3.0f, 1.0f);
        setValues(a1, 0, 1.0f, 0.0f);
        setValues(l, 0, 2.0f, 3.0f);
        allTrees.push_back(tree);
    }
};

class VertexDataTest : public ::testing::Test {
protected:
    void SetUp() override { deleteAllTrees(); }
    void TearDown() override { deleteAllTrees(); }
    void build() { buildAllTreeGeometry(branchPoints, leafPoints, pickTable, attributes, capPoints); }

    std::vector<BranchPoint> branchPoints;
    std::vector<LeafPoint> leafPoints;
    std::vector<Internode*> pickTable;
    GeometryAttributes attributes;
    std::vector<CapPoint> capPoints;
};

TEST_F(VertexDataTest, PointsFollowTheWalkOrderWithTheirAttributes)
{
    const Scene s;
    build();
    EXPECT_EQ(pickTable, (std::vector<Internode*>{s.r, s.a, s.a0, s.a1, s.l}));
    ASSERT_EQ(branchPoints.size(), 5u);
    struct Expected {
        glm::vec3 base, tip, startRadius, endRadius;
        int age;
    };
    const Expected expected[] = {
        {{0, 0, 0}, {0, 2, 0}, {0, 0.5f, 0}, {0, 0.5f, 0}, 4},             // the root starts its own tube
        {{0, 2, 0}, {1, 2, 0}, {0, 0.5f, 0}, {0.2f, 0, 0}, 3},             // an internode continues R's radius
        {{1, 2, 0}, {1.2f, 2, 0}, {0.2f, 0, 0}, {0.0001f, 0, 0}, 2},       // so does an apical bud, to a point
        {{1, 2, 0}, {1, 2.2f, 0}, {0, 0.03f, 0}, {0, 0.0001f, 0}, 2},      // a lateral bud starts its own
        {{0, 2, 0}, {0, 2, 0.2f}, {0, 0, 0.03f}, {0, 0, 0.0001f}, 3},
    };
    for (int i = 0; i < 5; ++i) {
        const BranchPoint& p = branchPoints[i];
        const Expected& e = expected[i];
        const std::string what = "point " + std::to_string(i);
        expectNear(p.base, e.base, what);
        expectNear(p.tip, e.tip, what);
        expectNear(p.startRadius, e.startRadius, what);
        expectNear(p.endRadius, e.endRadius, what);
        EXPECT_EQ(p.pickId, i) << what;
        EXPECT_EQ(p.age, e.age) << what;
    }
    EXPECT_TRUE(capPoints.empty());

    // Leaves on buds of the last three iterations: A0 and A1 (born at age - 2),
    // not L (age - 3). Orientation: unit direction x 0.7; normal: d x (1,1,0) x d,
    // normalised, on the side of (1,1,0).
    ASSERT_EQ(leafPoints.size(), 2u);
    expectNear(leafPoints[0].position, s.a0->position, "A0 leaf");
    expectNear(leafPoints[0].orientation, {0.7f, 0, 0}, "A0 leaf");
    expectNear(leafPoints[0].normal, {0, 1, 0}, "A0 leaf");
    expectNear(leafPoints[1].orientation, {0, 0.7f, 0}, "A1 leaf");
    expectNear(leafPoints[1].normal, {1, 0, 0}, "A1 leaf");

    // Per internode: Q / count and KR / count / 10, the raw values where the count
    // is 0. budQ raw 0, 0, 3, 1, 2 spans 0..3; nodeQ raw 6, 4, 3, 1, 2 spans 1..6;
    // nodeKR raw 8, 5, 1, 0, 3 spans 0..8.
    struct Column {
        const std::vector<float>& actual;
        std::vector<float> expected;
        const char* name;
    };
    const Column columns[] = {
        {attributes.qPerInternode, {3, 4, 3, 1, 2}, "qPerInternode"},
        {attributes.krPerInternode, {0.4f, 0.5f, 1, 0, 3}, "krPerInternode"},
        {attributes.budQ, {0, 0, 1, 1.0f / 3, 2.0f / 3}, "budQ"},
        {attributes.nodeQ, {1, 0.6f, 0.4f, 0, 0.2f}, "nodeQ"},
        {attributes.nodeKR, {1, 0.625f, 0.125f, 0, 0.375f}, "nodeKR"},
    };
    for (const Column& c : columns) {
        ASSERT_EQ(c.actual.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(c.actual[i], c.expected[i], eps) << c.name << "[" << i << "]";
    }
}

// A removed A leaves a cap at its tip facing along R (unit (0,1,0)) scaled by A's
// 0.2. Shedding zeroes its direction; a pruning cut shortens it, and a stub
// longer than 0.001 is drawn up to the cut without its subtree.
TEST_F(VertexDataTest, RemovedInternodesLeaveCapsAndStubs)
{
    struct Case {
        float length;  // negative: shed
        bool drawn;
    };
    for (const Case c : {Case{-1.0f, false}, Case{0.5f, true}, Case{0.002f, true}, Case{0.0005f, false}}) {
        deleteAllTrees();
        const Scene s;
        if (c.length < 0.0f) {
            s.a->Cut(-1);
        } else {
            s.a->direction = glm::vec3(c.length, 0.0f, 0.0f);
            s.a->Cut(s.tree->age);
        }
        build();
        const std::string what = "length " + std::to_string(c.length);
        ASSERT_EQ(capPoints.size(), 1u) << what;
        expectNear(capPoints[0].position, glm::vec3(std::max(c.length, 0.0f), 2, 0), what);
        expectNear(capPoints[0].normal, glm::vec3(0, 0.2f, 0), what);
        if (!c.drawn) {
            EXPECT_EQ(pickTable, (std::vector<Internode*>{s.r, s.l})) << what;
            EXPECT_EQ(branchPoints.size(), 2u) << what;
            EXPECT_EQ(attributes.nodeQ.size(), 2u) << what;
            continue;
        }
        ASSERT_EQ(pickTable, (std::vector<Internode*>{s.r, s.a, s.l})) << what;
        const BranchPoint& stub = branchPoints[1];
        EXPECT_EQ(stub.pickId, 1);
        expectNear(stub.tip, glm::vec3(c.length, 2, 0), what);
        expectNear(stub.startRadius, glm::vec3(0, 0.5f, 0), what);
        expectNear(stub.endRadius, glm::vec3(0.2f, 0, 0), what);
        EXPECT_EQ(attributes.nodeQ.size(), 3u) << what;
    }
}

// The scene, a tree whose root was shed (nothing drawn, no cap) and a fresh tree,
// whose never-counted root reads internodeCount 0: raw per-internode values, and
// its single normalised values are 0, not NaN. It points along (1,1,0), where
// its leaf's normal may be any unit perpendicular. A rebuild starts from nothing.
TEST_F(VertexDataTest, PickIdsRunOverAllTreesAndEachTreeNormalisesAlone)
{
    Scene();
    auto* bare = new Tree();
    bare->root->Cut(-1);
    allTrees.push_back(bare);
    auto* fresh = new Tree();
    fresh->root->resourcesQ = 3.0f;
    fresh->root->KolicinaResources = 5.0f;
    fresh->root->direction = glm::vec3(0.1f, 0.1f, 0.0f);
    allTrees.push_back(fresh);

    for (int pass = 0; pass < 2; ++pass) {
        build();
        ASSERT_EQ(branchPoints.size(), 6u) << "pass " << pass;
        EXPECT_TRUE(capPoints.empty());
        ASSERT_EQ(leafPoints.size(), 3u) << "A0, A1 and the fresh root";
        EXPECT_NEAR(glm::length(leafPoints[2].normal), 1.0f, eps);
        EXPECT_NEAR(glm::dot(leafPoints[2].normal, fresh->root->direction), 0.0f, eps);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(branchPoints[i].pickId, i);
        EXPECT_EQ(pickTable[5], fresh->root);
        EXPECT_EQ(branchPoints[5].age, 0);
        const glm::vec3 axis = glm::normalize(fresh->root->direction);
        expectNear(branchPoints[5].startRadius, axis * fresh->root->thickness, "fresh root");
        expectNear(branchPoints[5].endRadius, axis * 0.0001f, "fresh root");

        EXPECT_FLOAT_EQ(attributes.qPerInternode[5], 3.0f);
        EXPECT_FLOAT_EQ(attributes.krPerInternode[5], 5.0f);
        for (const std::vector<float>* column : {&attributes.budQ, &attributes.nodeQ, &attributes.nodeKR}) {
            ASSERT_EQ(column->size(), 6u);
            EXPECT_EQ((*column)[5], 0.0f);
        }
        EXPECT_NEAR(attributes.nodeQ[1], 0.6f, eps) << "the scene's range is its own";
        EXPECT_NEAR(attributes.budQ[4], 2.0f / 3, eps);
    }

    deleteAllTrees();
    build();
    EXPECT_TRUE(branchPoints.empty());
    EXPECT_TRUE(pickTable.empty());
    EXPECT_TRUE(leafPoints.empty());
    EXPECT_TRUE(attributes.nodeKR.empty());
}

}  // namespace
