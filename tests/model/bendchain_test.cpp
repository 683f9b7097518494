// The bending solver: chain building, forward kinematics, the energy's terms,
// the optimiser's update rule and the drawn polyline.

#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "model/bendchain.h"
#include "modelfixture.h"

namespace {

using Bending = ModelTest;
using Joints = std::vector<std::pair<glm::vec3, glm::vec3>>;

// Turns `parent` into an internode with two buds born at `birth`: the apical
// one along `apical`, the lateral one along +x.
Internode* grow(Internode* parent, const glm::vec3& apical, int birth)
{
    parent->isBud = false;
    for (int slot = 0; slot < 2; ++slot) {
        auto* child = new Internode(parent, birth, parent->depth + 1);
        child->position = parent->position + parent->direction;
        child->direction = slot == 0 ? apical : glm::vec3(0.2f, 0.0f, 0.0f);
        child->thickness = 0.03f;
        parent->children[slot] = child;
    }
    return parent->children[0];
}

// An upright axis in a tree of age 3: nodes born 0 to 3, each 1 long, the last a bud.
struct Axis {
    std::unique_ptr<Tree> tree = std::make_unique<Tree>();
    Internode* nodes[4] = {};

    Axis()
    {
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
    Joints joints;
    glm::vec3 end(0.0f);
    chain.Polyline(joints, nullptr, end);
    return end;
}

const glm::vec3 up(0.0f, 1.0f, 0.0f);

}  // namespace

TEST_F(Bending, AngleDistanceIsMeasuredOnTheCircle)
{
    struct Row { double a, b, distance; };
    const Row rows[] = {
        {350.0, -10.0, 0.0}, {170.0, -170.0, 20.0}, {750.0, 30.0, 0.0}, {10.0, 190.0, 180.0},
        {-350.0, 170.0, 160.0},  // -350 is 10, which stays below -180 after reduction
        {-190.0, 190.0, 20.0},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(angleDistance(row.a, row.b), row.distance, 1e-9) << row.a << " vs " << row.b;
        EXPECT_NEAR(angleDistance(row.b, row.a), row.distance, 1e-9) << row.b << " vs " << row.a;
    }
}

TEST_F(Bending, BuildCollectsTheNodesBornInTheCurrentOrPreviousIteration)
{
    // Picking the top node (born 3) of the axis.
    struct Row { int treeAge, segments, baseIndex; };  // baseIndex -1: no base
    for (const Row row : {Row{3, 2, 2}, Row{4, 1, 3}, Row{5, 0, -1}, Row{1, 4, 0}}) {
        SCOPED_TRACE(row.treeAge);
        Axis axis;
        axis.tree->age = row.treeAge;
        BendChain chain;
        Internode* base = axis.nodes[0];
        chain.Build(axis.nodes[3], *axis.tree, base);
        ASSERT_EQ(static_cast<int>(chain.segments.size()), row.segments);
        EXPECT_EQ(base, row.baseIndex < 0 ? nullptr : axis.nodes[row.baseIndex]);
        for (int i = 0; i < row.segments; ++i) {
            const Internode* node = axis.nodes[row.baseIndex + i];
            const BendSegment& s = chain.segments[i];
            expectNear(s.basePosition, i == 0 ? node->position : glm::vec3(0.0f));
            expectNear(s.direction, node->direction);
            EXPECT_EQ(s.age, row.treeAge - node->birthIteration);
            EXPECT_FLOAT_EQ(s.thickness, node->thickness);
        }
    }
}

TEST_F(Bending, SegmentStepTwistsAndBendsTheFollowingSegments)
{
    // The bend axis is unit(d x (0, 1, 0.1)); for d = +x a quarter turn gives unit(0, 1, 0.1).
    glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
    glm::vec3 position(0.0f);
    BendSegmentStep(BendAngles(0.0f, 90.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 1.0f, 0.1f) / std::sqrt(1.01f));

    // A quarter twist of an upright segment keeps its tip but turns the next +x to -z.
    q = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    position = glm::vec3(0.0f);
    BendSegmentStep(BendAngles(90.0f, 0.0f), segment(up, 1), q, position);
    expectNear(position, up);
    BendSegmentStep(BendAngles(0.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 1.0f, -1.0f));

    // A new turn multiplies the earlier ones from the left: a quarter twist about
    // +x after the quarter bend above takes unit(0, 1, 0.1) on to unit(0, -0.1, 1).
    q = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    position = glm::vec3(0.0f);
    BendSegmentStep(BendAngles(0.0f, 90.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    BendSegmentStep(BendAngles(90.0f, 0.0f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 1), q, position);
    expectNear(position, glm::vec3(0.0f, 0.9f, 1.1f) / std::sqrt(1.01f));
}

// Each turn is built from its axis normalised once; normalising a unit vector
// again can change its last bits, and with them the bent tree.
TEST_F(Bending, SegmentStepTurnsAboutEachAxisNormalisedOnce)
{
    std::mt19937 engine(11);
    std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
    for (int i = 0; i < 500; ++i) {
        const glm::vec3 direction(coordinate(engine), coordinate(engine), coordinate(engine));
        const BendAngles angles(coordinate(engine) * 40.0f, coordinate(engine) * 40.0f);
        const glm::quat start = glm::normalize(glm::quat(coordinate(engine), coordinate(engine), coordinate(engine),
                                                         coordinate(engine)));
        const glm::vec3 twistAxis = glm::normalize(direction);
        const glm::vec3 bendAxis = glm::normalize(glm::cross(direction, glm::vec3(0.0f, 1.0f, 0.1f)));
        const glm::quat expected = glm::angleAxis(angles.y * 0.017453292f, bendAxis) *
                                   (glm::angleAxis(angles.x * 0.017453292f, twistAxis) * start);
        glm::quat q = start;
        glm::vec3 position(1.0f, 2.0f, 3.0f);
        BendSegmentStep(angles, segment(direction, 1), q, position);
        ASSERT_EQ(q, expected) << "direction " << direction.x << ", " << direction.y << ", " << direction.z;
        ASSERT_EQ(position, glm::vec3(1.0f, 2.0f, 3.0f) + expected * direction);
    }
}

TEST_F(Bending, EnergyDistanceTermFollowsTheMode)
{
    // One upright segment of length 1 from the origin: the tip is (0, 1, 0).
    BendChain chain;
    chain.segments = {segment(up, 1)};
    const std::vector<BendAngles> straight(1, BendAngles(0.0f));
    struct Row { int mode; glm::vec3 target; float distance, energy; };
    const Row rows[] = {
        {BendTie, glm::vec3(0.0f, 3.0f, 0.0f), 0.5f, 1.5f},     // 2 away, rope of 0.5
        {BendTie, glm::vec3(0.0f, 3.0f, 0.0f), 5.0f, 0.0f},     // within reach
        {BendSpreader, glm::vec3(0.0f), 3.0f, 2.0f},            // |1 - 3|
        {BendWeight, glm::vec3(5.0f, 1.0f, 7.0f), 0.0f, 0.0f},  // horizontal offset ignored
        {BendWeight, glm::vec3(5.0f, 4.0f, 7.0f), 1.0f, 2.0f},  // 3 below, less 1
        {BendWeight, glm::vec3(-9.0f, -2.0f, 0.0f), 0.0f, 3.0f},
    };
    chain.weightOptimal = 2.0f;
    for (const Row& row : rows)
        EXPECT_NEAR(chain.Energy(straight, -1, 0, 0.0f, row.target, row.distance, row.mode), 2.0f * row.energy, 1e-5f)
            << &row - rows;
}

TEST_F(Bending, StiffnessGrowsWithAgeAndTowardsTheBaseAndSmoothnessWithTheChange)
{
    // 0.001 * 20^(age - 1) * ((n - i) / n + 1)^2 * angle1^2 plus 0.5 (angle1 -
    // stored)^2, with no distance term.
    struct Row { int segments, bent, age; float angle1, stored; double energy; };
    const Row rows[] = {
        {1, 0, 0, 10.0f, 10.0f, 0.001 * 0.05 * 4.0 * 100.0},  // a current-year segment weighs 1/20
        {1, 0, 2, 10.0f, 10.0f, 0.001 * 20.0 * 4.0 * 100.0},
        {1, 0, 1, 350.0f, 350.0f, 0.001 * 1.0 * 4.0 * 100.0},  // 350 degrees is 10 from 0
        {2, 1, 1, 10.0f, 10.0f, 0.001 * 1.0 * 2.25 * 100.0},   // tip of two: (1/2 + 1)^2
        {4, 3, 1, -10.0f, -10.0f, 0.001 * 1.0 * 1.5625 * 100.0},
        {1, 0, 1, 10.0f, 30.0f, 0.4 + 0.5 * 20.0 * 20.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        BendChain chain;
        chain.weightOptimal = 0.0f;
        chain.weightSmooth = 0.5f;
        for (int i = 0; i < row.segments; ++i)
            chain.segments.push_back(segment(up, row.age));
        chain.segments[row.bent].angle1 = row.stored;
        std::vector<BendAngles> angles(row.segments, BendAngles(0.0f));
        angles[row.bent].y = row.angle1;
        EXPECT_NEAR(chain.Energy(angles, -1, 0, 0.0f, glm::vec3(0.0f), 0.0f, BendTie), row.energy, 1e-5 * row.energy);
        angles[row.bent].x = 40.0f;  // the twist costs nothing by itself
        EXPECT_NEAR(chain.Energy(angles, -1, 0, 0.0f, glm::vec3(0.0f), 0.0f, BendTie), row.energy, 1e-5 * row.energy);
    }
}

TEST_F(Bending, PerturbationAddsDeltaToOneComponentOfOneSegment)
{
    BendChain chain;
    chain.segments = {segment(up, 1), segment(up, 0)};
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

// With no distance term, one segment aged 1 and a stored bend of 10 degrees,
// E(a) = 0.004 a^2 + (a - 10)^2 and the central difference over +-0.5 is exact:
// G(a) = 2.008 a - 20. From a = 10 (G = 0.08): sweep 1 sees a sign change from
// the previous 0 with no step and stays; sweep 2 steps by 0.08 to 9.92
// (G = -0.08064); sweep 3 takes the secant back to 9.92 - 0.08 * 0.08 /
// (-0.08064 - 0.08) = 9.959841. The minimum is 20 / 2.008 = 9.960159.
TEST_F(Bending, OptimiseAccumulatesStepsAndGoesBackOnASignChange)
{
    struct Row { int sweeps; float angle1, tolerance; };
    for (const Row row : {Row{0, 10.0f, 0.0f}, Row{1, 10.0f, 0.0f}, Row{2, 9.92f, 1e-4f}, Row{3, 9.959841f, 1e-4f},
                          Row{10, 9.960159f, 1e-3f}}) {
        BendChain chain;
        chain.weightOptimal = 0.0f;
        chain.weightSmooth = 1.0f;
        chain.segments = {segment(up, 1)};
        chain.segments[0].angle1 = 10.0f;
        chain.Optimise(glm::vec3(0.0f), 0.0f, BendTie, row.sweeps);
        EXPECT_NEAR(chain.segments[0].angle1, row.angle1, row.tolerance) << row.sweeps << " sweeps";
        EXPECT_EQ(chain.segments[0].angle0, 0.0f) << row.sweeps << " sweeps";
    }
}

TEST_F(Bending, OptimiseMovesOnlyEverySecondSegment)
{
    BendChain chain;
    for (int i = 0; i < 3; ++i)
        chain.segments.push_back(segment(up, 0));
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

TEST_F(Bending, PolylineJoinsTheBentChain)
{
    BendChain chain;
    Joints joints(3);
    glm::vec3 end(7.0f);
    chain.Polyline(joints, nullptr, end);
    EXPECT_TRUE(joints.empty());
    EXPECT_EQ(end, glm::vec3(7.0f));  // an empty chain has no end

    chain.segments = {segment(glm::vec3(0.0f, 2.0f, 0.0f), 1, 0.3f), segment(glm::vec3(1.0f, 0.0f, 0.0f), 0, 0.1f)};
    chain.segments[0].basePosition = glm::vec3(1.0f, 0.0f, 0.0f);
    chain.segments[1].angle1 = 90.0f;  // +x turns to unit(0, 1, 0.1), as in the segment step
    chain.Polyline(joints, nullptr, end);
    const glm::vec3 turned = glm::vec3(0.0f, 1.0f, 0.1f) / std::sqrt(1.01f);
    ASSERT_EQ(joints.size(), 3u);
    expectNear(joints[0].first, glm::vec3(1.0f, 0.0f, 0.0f));
    expectNear(joints[0].second, glm::vec3(0.0f, 0.3f, 0.0f));
    expectNear(joints[1].first, glm::vec3(1.0f, 2.0f, 0.0f));
    expectNear(joints[1].second, glm::vec3(0.0f, 0.3f, 0.0f));
    expectNear(joints[2].first, glm::vec3(1.0f, 2.0f, 0.0f) + turned);
    expectNear(joints[2].second, turned * 0.1f);
    expectNear(end, joints[2].first);
}

TEST_F(Bending, PolylineCarriesTheRestOfTheAxisOnceUpToAStub)
{
    // Node 1 is too old in a tree aged 3, so picking node 2 gives a chain of
    // that node alone; the axis goes on through node 3 and a further internode.
    Axis axis;
    Internode* four = grow(axis.nodes[3], glm::vec3(0.0f, 0.0f, 1.0f), 3);
    four->thickness = 0.05f;
    grow(four, up, 3);
    BendChain chain;
    Internode* base = nullptr;
    chain.Build(axis.nodes[2], *axis.tree, base);
    ASSERT_EQ(chain.segments.size(), 1u);

    Joints joints;
    glm::vec3 end(0.0f);
    chain.Polyline(joints, axis.nodes[2], end);
    // Node 2 from y = 2 to 3 (the chain's end), node 3 up to 4, node 4 along
    // +z; the bud at the axis's end is not drawn.
    ASSERT_EQ(joints.size(), 4u);
    expectNear(joints[0].first, glm::vec3(0.0f, 2.0f, 0.0f));
    expectNear(joints[1].first, glm::vec3(0.0f, 3.0f, 0.0f));
    expectNear(end, glm::vec3(0.0f, 3.0f, 0.0f));
    expectNear(joints[2].first, glm::vec3(0.0f, 4.0f, 0.0f));
    expectNear(joints[2].second, glm::vec3(0.0f, axis.nodes[3]->thickness, 0.0f));
    expectNear(joints[3].first, glm::vec3(0.0f, 4.0f, 1.0f));
    expectNear(joints[3].second, glm::vec3(0.0f, 0.0f, 0.05f));

    // Bent a quarter about unit(+y x (0, 1, 0.1)) = +x, the rest turns rigidly: +y to +z, +z to -y.
    chain.segments[0].angle1 = 90.0f;
    chain.Polyline(joints, axis.nodes[2], end);
    ASSERT_EQ(joints.size(), 4u);
    expectNear(joints[1].first, glm::vec3(0.0f, 2.0f, 1.0f));
    expectNear(joints[2].first, glm::vec3(0.0f, 2.0f, 2.0f));
    expectNear(joints[3].first, glm::vec3(0.0f, 1.0f, 2.0f));

    // A stub ends the walk: one cut short has no children, a shed one no length.
    four->direction *= 0.5f;
    four->Cut(3);
    chain.Polyline(joints, axis.nodes[2], end);
    EXPECT_EQ(joints.size(), 3u);
    axis.nodes[3]->Cut(-1);
    chain.Polyline(joints, axis.nodes[2], end);
    EXPECT_EQ(joints.size(), 2u);
    for (const auto& joint : joints)
        EXPECT_TRUE(std::isfinite(glm::length(joint.second)));
}
