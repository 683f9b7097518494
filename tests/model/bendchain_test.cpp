// The bending solver: chain building, forward kinematics, the energy's terms,
// the optimiser's update rule and the drawn polyline.

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "model/bendchain.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/recording_environment.h"

namespace {

constexpr float eps = 1e-5f;

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = eps)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Turns `parent` into an internode with two buds born at `birth`: the apical
// one along `apical`, the lateral one along +x.
Internode* grow(Internode* parent, const glm::vec3& apical, int birth)
{
    parent->isBud = false;
    const glm::vec3 tip = parent->position + parent->direction;
    for (int slot = 0; slot < 2; ++slot) {
        auto* child = new Internode(parent, birth, parent->depth + 1);
        child->position = tip;
        child->direction = slot == 0 ? apical : glm::vec3(0.2f, 0.0f, 0.0f);
        child->thickness = 0.03f;
        parent->children[slot] = child;
    }
    return parent->children[0];
}

// One upright axis: root (born 0) and nodes born 1, 2, 3, each 1 long; the
// last one is still a bud.
struct Axis {
    std::unique_ptr<Tree> tree = std::make_unique<Tree>();
    Internode* nodes[4] = {};

    Axis()
    {
        RecordingEnvironment::reset();
        nodes[0] = tree->root;
        nodes[0]->direction = glm::vec3(0.0f, 1.0f, 0.0f);
        nodes[0]->thickness = 0.4f;
        for (int i = 1; i < 4; ++i) {
            nodes[i] = grow(nodes[i - 1], glm::vec3(0.0f, 1.0f, 0.0f), i);
            nodes[i]->thickness = 0.4f - 0.1f * i;
        }
        tree->age = 3;
    }
};

BendSegment segment(const glm::vec3& direction, int age, float thickness = 0.1f)
{
    BendSegment s;
    s.direction = direction;
    s.age = age;
    s.thickness = thickness;
    return s;
}

glm::vec3 tipOf(const BendChain& chain)
{
    std::vector<std::pair<glm::vec3, glm::vec3>> joints;
    glm::vec3 end(0.0f);
    chain.Polyline(joints, nullptr, end);
    return end;
}

}  // namespace

TEST(BendChainTest, AngleDistanceIsMeasuredOnTheCircle)
{
    struct Case {
        double a, b, distance;
    };
    const Case cases[] = {
        {350.0, -10.0, 0.0},   // the same direction written twice
        {170.0, -170.0, 20.0}, // across 180
        {0.0, 0.0, 0.0},
        {750.0, 30.0, 0.0},    // two whole turns apart
        {10.0, 190.0, 180.0},  // opposite
        {-350.0, 170.0, 160.0},  // -350 is 10, which stays below -180 after reduction
        {-190.0, 190.0, 20.0},   // 170 and -170 again
        {45.0, -45.0, 90.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(angleDistance(c.a, c.b), c.distance, 1e-9) << c.a << " vs " << c.b;
        EXPECT_NEAR(angleDistance(c.b, c.a), c.distance, 1e-9) << c.b << " vs " << c.a;
    }
}

// Picking the top node (born 3) of an axis whose nodes were born 0 to 3: the
// chain holds every node born in the tree's current or previous iteration.
TEST(BendChainTest, BuildCollectsTheYoungPartOfTheAxis)
{
    struct Case {
        int treeAge;
        int segments;
        int baseIndex;  // -1: no base
    };
    const Case cases[] = {
        {3, 2, 2},   // born 3 and 2
        {4, 1, 3},   // only the picked node
        {5, 0, -1},  // the picked node is too old: empty chain
        {2, 3, 1},
        {1, 4, 0},   // the whole axis: the walk ends above the root
    };
    for (const Case& c : cases) {
        Axis axis;
        axis.tree->age = c.treeAge;
        BendChain chain;
        Internode* base = axis.nodes[0];
        chain.Build(axis.nodes[3], *axis.tree, base);
        ASSERT_EQ(static_cast<int>(chain.segments.size()), c.segments) << "age " << c.treeAge;
        EXPECT_EQ(base, c.baseIndex < 0 ? nullptr : axis.nodes[c.baseIndex]) << "age " << c.treeAge;
        for (int i = 0; i < c.segments; ++i) {
            const Internode* node = axis.nodes[c.baseIndex + i];
            const BendSegment& s = chain.segments[i];
            expectNear(s.basePosition, i == 0 ? node->position : glm::vec3(0.0f));
            expectNear(s.direction, node->direction);
            EXPECT_EQ(s.age, c.treeAge - node->birthIteration);
            EXPECT_FLOAT_EQ(s.thickness, node->thickness);
            EXPECT_EQ(s.angle0, 0.0f);
            EXPECT_EQ(s.angle1, 0.0f);
        }
    }
}

TEST(BendChainTest, SegmentStepAdvancesAlongTheRotatedDirection)
{
    glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
    glm::vec3 position(1.0f, 2.0f, 3.0f);

    // No angles: one straight step.
    BendSegmentStep(BendAngles(0.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(2.0f, 2.0f, 3.0f));

    // Bend by 90 degrees: the axis is w = unit((1,0,0) x (0,1,0.1)) = unit(0,-0.1,1), and
    // a quarter turn about w takes (1,0,0) to w x (1,0,0) = unit(0, 1, 0.1).
    q = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    position = glm::vec3(0.0f);
    BendSegmentStep(BendAngles(0.0f, 90.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 1.0f, 0.1f) / std::sqrt(1.01f));
}

TEST(BendChainTest, TwistTurnsTheFollowingSegments)
{
    // An upright segment twisted by 90 degrees about +y keeps its own tip but
    // carries the next segment's +x round to -z.
    glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
    glm::vec3 position(0.0f);
    BendSegmentStep(BendAngles(90.0f, 0.0f), segment(glm::vec3(0.0f, 1.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 1.0f, 0.0f));
    BendSegmentStep(BendAngles(0.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 1.0f, -1.0f));
}

TEST(BendChainTest, EnergyDistanceTermFollowsTheMode)
{
    // One upright segment of length 1 from the origin: the tip is (0, 1, 0).
    BendChain chain;
    chain.segments = {segment(glm::vec3(0.0f, 1.0f, 0.0f), 1)};
    const std::vector<BendAngles> straight(1, BendAngles(0.0f));
    struct Case {
        int mode;
        glm::vec3 target;
        float distance;
        float energy;
    };
    const Case cases[] = {
        {BendTie, glm::vec3(0.0f, 3.0f, 0.0f), 0.0f, 2.0f},      // 2 away
        {BendTie, glm::vec3(0.0f, 3.0f, 0.0f), 0.5f, 1.5f},      // rope of 0.5
        {BendTie, glm::vec3(0.0f, 3.0f, 0.0f), 5.0f, 0.0f},      // already within reach
        {BendSpreader, glm::vec3(0.0f), 3.0f, 2.0f},             // |1 - 3|
        {BendSpreader, glm::vec3(0.0f), 0.25f, 0.75f},           // |1 - 0.25|
        {BendWeight, glm::vec3(5.0f, 1.0f, 7.0f), 0.0f, 0.0f},   // level: horizontal offset ignored
        {BendWeight, glm::vec3(5.0f, 4.0f, 7.0f), 1.0f, 2.0f},   // 3 below, less 1
        {BendWeight, glm::vec3(-9.0f, -2.0f, 0.0f), 0.0f, 3.0f},  // 3 above
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(chain.Energy(straight, -1, 0, 0.0f, c.target, c.distance, c.mode), c.energy, eps)
            << "mode " << c.mode;
        chain.weightOptimal = 2.0f;
        EXPECT_NEAR(chain.Energy(straight, -1, 0, 0.0f, c.target, c.distance, c.mode), 2.0f * c.energy, eps)
            << "mode " << c.mode;
        chain.weightOptimal = 1.0f;
    }
}

TEST(BendChainTest, StiffnessGrowsWithAgeAndTowardsTheBase)
{
    // 0.001 * 20^(age - 1) * ((n - i) / n + 1)^2 * angle1^2, the target at the
    // tip's own place so only stiffness counts.
    struct Case {
        int segments;
        int bentIndex;
        int age;
        float angle1;
        double energy;
    };
    const Case cases[] = {
        {1, 0, 1, 10.0f, 0.001 * 1.0 * 4.0 * 100.0},
        {1, 0, 0, 10.0f, 0.001 * 0.05 * 4.0 * 100.0},   // a current-year segment weighs 1/20
        {1, 0, 2, 10.0f, 0.001 * 20.0 * 4.0 * 100.0},
        {1, 0, 1, 350.0f, 0.001 * 1.0 * 4.0 * 100.0},   // 350 degrees is 10 from 0
        {2, 0, 1, 10.0f, 0.001 * 1.0 * 4.0 * 100.0},    // base of two: (2/2 + 1)^2
        {2, 1, 1, 10.0f, 0.001 * 1.0 * 2.25 * 100.0},   // tip of two: (1/2 + 1)^2
        {4, 3, 1, -10.0f, 0.001 * 1.0 * 1.5625 * 100.0},  // (1/4 + 1)^2
    };
    for (const Case& c : cases) {
        BendChain chain;
        chain.weightOptimal = 0.0f;
        for (int i = 0; i < c.segments; ++i)
            chain.segments.push_back(segment(glm::vec3(0.0f, 1.0f, 0.0f), c.age));
        std::vector<BendAngles> angles(c.segments, BendAngles(0.0f));
        angles[c.bentIndex].y = c.angle1;
        const float energy = chain.Energy(angles, -1, 0, 0.0f, glm::vec3(0.0f), 0.0f, BendTie);
        EXPECT_NEAR(energy, c.energy, 1e-5 * c.energy) << "case " << (&c - cases);

        // The twist costs nothing by itself.
        angles[c.bentIndex].x = 40.0f;
        EXPECT_NEAR(chain.Energy(angles, -1, 0, 0.0f, glm::vec3(0.0f), 0.0f, BendTie), energy, 1e-5 * energy);
    }
}

TEST(BendChainTest, SmoothnessMeasuresTheChangeFromTheStoredAngle)
{
    BendChain chain;
    chain.weightOptimal = 0.0f;
    chain.weightSmooth = 0.5f;
    chain.segments = {segment(glm::vec3(0.0f, 1.0f, 0.0f), 1)};
    chain.segments[0].angle1 = 30.0f;
    // Bent to 10: stiffness 0.001 * 4 * 10^2 = 0.4, smoothness 0.5 * (30 - 10)^2 = 200.
    const std::vector<BendAngles> angles(1, BendAngles(0.0f, 10.0f));
    EXPECT_NEAR(chain.Energy(angles, -1, 0, 0.0f, glm::vec3(0.0f), 0.0f, BendTie), 200.4f, 1e-3f);
}

TEST(BendChainTest, PerturbationAddsDeltaToOneComponentOfOneSegment)
{
    BendChain chain;
    chain.segments = {segment(glm::vec3(0.0f, 1.0f, 0.0f), 1), segment(glm::vec3(0.0f, 1.0f, 0.0f), 0)};
    const glm::vec3 target(1.0f, 1.0f, 0.5f);
    const std::vector<BendAngles> base = {BendAngles(5.0f, 10.0f), BendAngles(-3.0f, 20.0f)};
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 2; ++k) {
            std::vector<BendAngles> moved = base;
            (k == 0 ? moved[i].x : moved[i].y) += 7.0f;
            EXPECT_FLOAT_EQ(chain.Energy(base, i, k, 7.0f, target, 0.0f, BendTie),
                            chain.Energy(moved, -1, 0, 0.0f, target, 0.0f, BendTie))
                << "segment " << i << " component " << k;
        }
    }
}

TEST(BendChainTest, OptimiseLeavesAChainAtRestAlone)
{
    // A one-year-old segment whose tip is already within the tie distance: energy 0.
    BendChain chain;
    chain.segments = {segment(glm::vec3(0.0f, 1.0f, 0.0f), 1)};
    chain.segments[0].angle0 = 3.0f;
    chain.Optimise(glm::vec3(0.0f, 1.5f, 0.0f), 1.0f, BendTie);
    EXPECT_EQ(chain.segments[0].angle0, 3.0f);
    EXPECT_EQ(chain.segments[0].angle1, 0.0f);

    BendChain empty;
    empty.Optimise(glm::vec3(1.0f), 0.0f, BendTie);
    EXPECT_TRUE(empty.segments.empty());
}

// With no distance term, one segment aged 1 and a stored bend of 10 degrees,
// E(a) = 0.004 a^2 + (a - 10)^2 and the central difference over +-0.5 is exact
// for a quadratic: G(a) = 2.008 a - 20. From the stored a = 10 (G = 0.08):
//   sweep 1: the previous gradient is 0, a sign change with no step: a stays 10;
//   sweep 2: same sign, step 0.08: a = 9.92 (G(9.92) = -0.08064);
//   sweep 3: sign change: a = 9.92 - 0.08 * 0.08 / (-0.08064 - 0.08) = 9.959841.
// The minimum is at 20 / 2.008 = 9.960159. The twist has zero gradient throughout.
TEST(BendChainTest, OptimiseAccumulatesStepsAndGoesBackOnASignChange)
{
    struct Case {
        int sweeps;
        float angle1;
        float tolerance;
    };
    const Case cases[] = {
        {0, 10.0f, 0.0f},
        {1, 10.0f, 0.0f},
        {2, 9.92f, 1e-4f},
        {3, 9.959841f, 1e-4f},
        {10, 9.960159f, 1e-3f},
    };
    for (const Case& c : cases) {
        BendChain chain;
        chain.weightOptimal = 0.0f;
        chain.weightSmooth = 1.0f;
        chain.segments = {segment(glm::vec3(0.0f, 1.0f, 0.0f), 1)};
        chain.segments[0].angle1 = 10.0f;
        chain.Optimise(glm::vec3(0.0f), 0.0f, BendTie, c.sweeps);
        EXPECT_NEAR(chain.segments[0].angle1, c.angle1, c.tolerance) << c.sweeps << " sweeps";
        EXPECT_EQ(chain.segments[0].angle0, 0.0f) << c.sweeps << " sweeps";
    }
}

TEST(BendChainTest, OptimiseMovesOnlyEverySecondSegment)
{
    // Three young upright segments tied towards a point off to the side.
    BendChain chain;
    for (int i = 0; i < 3; ++i)
        chain.segments.push_back(segment(glm::vec3(0.0f, 1.0f, 0.0f), 0));
    chain.segments[1].angle0 = 4.0f;
    chain.segments[1].angle1 = -6.0f;
    const glm::vec3 target(2.0f, 2.0f, 0.5f);
    const float before = glm::length(tipOf(chain) - target);

    chain.Optimise(target, 0.0f, BendTie);

    EXPECT_EQ(chain.segments[1].angle0, 4.0f);
    EXPECT_EQ(chain.segments[1].angle1, -6.0f);
    EXPECT_TRUE(chain.segments[0].angle0 != 0.0f || chain.segments[0].angle1 != 0.0f);
    EXPECT_TRUE(chain.segments[2].angle0 != 0.0f || chain.segments[2].angle1 != 0.0f);
    EXPECT_LT(glm::length(tipOf(chain) - target), before);
}

TEST(BendChainTest, OptimiseWithAWeightBendsTheTipDown)
{
    // A young horizontal shoot; the weight asks for a tip 0.5 lower.
    BendChain chain;
    chain.segments = {segment(glm::vec3(1.0f, 0.0f, 0.0f), 0), segment(glm::vec3(1.0f, 0.0f, 0.0f), 0)};
    chain.segments[0].basePosition = glm::vec3(0.0f, 2.0f, 0.0f);
    chain.Optimise(glm::vec3(0.0f, 1.5f, 0.0f), 0.0f, BendWeight);
    EXPECT_LT(tipOf(chain).y, 2.0f);
}

TEST(BendChainTest, PolylineJoinsTheBentChain)
{
    BendChain chain;
    std::vector<std::pair<glm::vec3, glm::vec3>> joints(3);
    glm::vec3 end(7.0f);
    chain.Polyline(joints, nullptr, end);
    EXPECT_TRUE(joints.empty());
    expectNear(end, glm::vec3(7.0f));  // an empty chain has no end

    chain.segments = {segment(glm::vec3(0.0f, 2.0f, 0.0f), 1, 0.3f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 0, 0.1f)};
    chain.segments[0].basePosition = glm::vec3(1.0f, 0.0f, 0.0f);
    chain.Polyline(joints, nullptr, end);
    ASSERT_EQ(joints.size(), 3u);
    expectNear(joints[0].first, glm::vec3(1.0f, 0.0f, 0.0f));
    expectNear(joints[0].second, glm::vec3(0.0f, 0.3f, 0.0f));
    expectNear(joints[1].first, glm::vec3(1.0f, 2.0f, 0.0f));
    expectNear(joints[1].second, glm::vec3(0.0f, 0.3f, 0.0f));
    expectNear(joints[2].first, glm::vec3(2.0f, 2.0f, 0.0f));
    expectNear(joints[2].second, glm::vec3(0.1f, 0.0f, 0.0f));
    expectNear(end, glm::vec3(2.0f, 2.0f, 0.0f));

    // Bending the second segment by 90 degrees about unit((1,0,0) x (0,1,0.1))
    // turns it to unit(0, 1, 0.1) (see SegmentStepAdvancesAlongTheRotatedDirection).
    chain.segments[1].angle1 = 90.0f;
    chain.Polyline(joints, nullptr, end);
    const glm::vec3 turned = glm::vec3(0.0f, 1.0f, 0.1f) / std::sqrt(1.01f);
    expectNear(end, glm::vec3(1.0f, 2.0f, 0.0f) + turned);
    expectNear(joints[2].second, turned * 0.1f);
}

TEST(BendChainTest, PolylineCarriesTheRestOfTheAxisOnce)
{
    // In a tree aged 3 the node born 1 is too old, so picking the node born 2
    // gives a chain of that one node; the axis goes on past it through node 3
    // and a further internode to a bud.
    Axis axis;
    Internode* four = grow(axis.nodes[3], glm::vec3(0.0f, 0.0f, 1.0f), 3);
    four->thickness = 0.05f;
    grow(four, glm::vec3(0.0f, 1.0f, 0.0f), 3);

    BendChain chain;
    Internode* base = nullptr;
    chain.Build(axis.nodes[2], *axis.tree, base);
    ASSERT_EQ(chain.segments.size(), 1u);
    ASSERT_EQ(base, axis.nodes[2]);

    std::vector<std::pair<glm::vec3, glm::vec3>> joints;
    glm::vec3 end(0.0f);
    chain.Polyline(joints, axis.nodes[2], end);
    // Base of node 2 at y = 2, its tip at 3 (the chain's end), then node 3 up to
    // y = 4 and node 4 along +z; the bud at the axis's end is not drawn.
    ASSERT_EQ(joints.size(), 4u);
    expectNear(joints[0].first, glm::vec3(0.0f, 2.0f, 0.0f));
    expectNear(joints[1].first, glm::vec3(0.0f, 3.0f, 0.0f));
    expectNear(end, glm::vec3(0.0f, 3.0f, 0.0f));
    expectNear(joints[2].first, glm::vec3(0.0f, 4.0f, 0.0f));
    expectNear(joints[2].second, glm::vec3(0.0f, axis.nodes[3]->thickness, 0.0f));
    expectNear(joints[3].first, glm::vec3(0.0f, 4.0f, 1.0f));
    expectNear(joints[3].second, glm::vec3(0.0f, 0.0f, 0.05f));

    // A bent chain carries the rest rigidly: a quarter bend of node 2 about
    // unit((0,1,0) x (0,1,0.1)) = +x turns +y to +z and +z to -y.
    chain.segments[0].angle1 = 90.0f;
    chain.Polyline(joints, axis.nodes[2], end);
    ASSERT_EQ(joints.size(), 4u);
    expectNear(joints[1].first, glm::vec3(0.0f, 2.0f, 1.0f));
    expectNear(joints[2].first, glm::vec3(0.0f, 2.0f, 2.0f));
    expectNear(joints[3].first, glm::vec3(0.0f, 1.0f, 2.0f));
}

TEST(BendChainTest, PolylineStopsAtAStubAndAfterAPickedBud)
{
    struct Case {
        const char* name;
        bool shed;  // shed (zero length) or cut short
    };
    for (const Case& c : {Case{"shed", true}, Case{"cut", false}}) {
        Axis axis;
        // Node 3 becomes an internode and its apical child a removed stub.
        Internode* stub = grow(axis.nodes[3], glm::vec3(0.0f, 1.0f, 0.0f), 3);
        if (c.shed) {
            stub->Cut(-1);
        } else {
            stub->direction *= 0.5f;
            stub->Cut(axis.tree->age);
        }
        ASSERT_TRUE(stub->removed);

        BendChain chain;
        Internode* base = nullptr;
        chain.Build(axis.nodes[2], *axis.tree, base);
        std::vector<std::pair<glm::vec3, glm::vec3>> joints;
        glm::vec3 end(0.0f);
        chain.Polyline(joints, axis.nodes[2], end);
        // Node 2, then node 3; the stub ends the walk.
        ASSERT_EQ(joints.size(), 3u) << c.name;
        for (const auto& joint : joints) {
            EXPECT_TRUE(std::isfinite(joint.second.x) && std::isfinite(joint.second.y) &&
                        std::isfinite(joint.second.z))
                << c.name;
        }
    }

    // A picked bud is the chain's last segment and has no axis below it.
    Axis axis;
    BendChain chain;
    Internode* base = nullptr;
    chain.Build(axis.nodes[3], *axis.tree, base);
    std::vector<std::pair<glm::vec3, glm::vec3>> joints;
    glm::vec3 end(0.0f);
    chain.Polyline(joints, axis.nodes[3], end);
    ASSERT_EQ(joints.size(), 3u);
    expectNear(end, glm::vec3(0.0f, 4.0f, 0.0f));
    expectNear(joints.back().first, end);
}
