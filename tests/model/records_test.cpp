// Node and tree records, bud creation, the random engine and the fixed
// orientations.

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "modelfixture.h"

namespace {

constexpr float pi = 3.14159265358979f;

float degreesBetween(const glm::vec3& a, const glm::vec3& b)
{
    const float c = glm::dot(glm::normalize(a), glm::normalize(b));
    return std::acos(glm::clamp(c, -1.0f, 1.0f)) * 180.0f / pi;
}

// Azimuth in degrees of the horizontal part of v, in [0, 360).
float azimuth(const glm::vec3& v)
{
    const float a = std::atan2(v.x, v.z) * 180.0f / pi;
    return a < 0.0f ? a + 360.0f : a;
}

using Records = ModelTest;

} // namespace

TEST_F(Records, ConstructorLeavesNoFieldUnset)
{
    Internode parent(nullptr, 0, 0);
    Internode node(&parent, 7, 3);
    EXPECT_EQ(node.parent, &parent);
    EXPECT_EQ(node.birthIteration, 7);
    EXPECT_EQ(node.depth, 3);
    EXPECT_TRUE(node.isBud);
    EXPECT_FALSE(node.removed);
    EXPECT_FALSE(node.shedMark);
    EXPECT_EQ(node.childCount, 2);
    EXPECT_EQ(node.children[0], nullptr);
    EXPECT_EQ(node.children[1], nullptr);
    for (const glm::vec3& v : {node.savedPosition, node.savedDirection, node.position, node.direction,
                               node.optimalDirection})
        EXPECT_EQ(v, glm::vec3(0.0f));
    for (float v : {node.phyllotaxisAngle, node.resourcesQ, node.lightExposure, node.previousQ,
                    node.KolicinaResources, node.thickness})
        EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(node.resourcesNumPopkov, 0);
    EXPECT_EQ(node.lightingIndex, 0.0);
    // Fields that a reader may meet before anything writes them.
    EXPECT_EQ(node.delez, 0.0f);
    EXPECT_EQ(node.cutDistance, 0);
    EXPECT_EQ(node.cutStamp, -1);
    EXPECT_EQ(node.internodeCount, 0);
    EXPECT_EQ(node.previousThickness, 0.0f);
}

TEST_F(Records, NewTreeIsOneRootBudAtTheOrigin)
{
    Tree tree;
    EXPECT_EQ(tree.age, 0);
    ASSERT_NE(tree.root, nullptr);
    EXPECT_TRUE(tree.root->isBud);
    EXPECT_EQ(tree.root->parent, nullptr);
    EXPECT_EQ(tree.root->position, glm::vec3(0.0f));
    EXPECT_EQ(tree.root->direction, glm::vec3(0.0f, 0.1f, 0.0001f));
    EXPECT_FLOAT_EQ(tree.root->thickness, 0.03f);
    EXPECT_EQ(tree.root->birthIteration, 0);
    EXPECT_EQ(tree.root->depth, 0);
}

TEST_F(Records, CreateBudPlacesApicalAndLateralBuds)
{
    Tree tree;
    tree.age = 4;
    Internode* shoot = tree.root;
    shoot->isBud = false;
    shoot->position = glm::vec3(1.0f, 2.0f, 3.0f);
    shoot->direction = glm::vec3(0.0f, 0.7f, 0.0f);  // any length: buds are 0.2 long
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
        EXPECT_EQ(bud->thickness, 0.0f);
        EXPECT_NEAR(glm::length(bud->position - glm::vec3(1.0f, 2.7f, 3.0f)), 0.0f, 1e-6f);
        EXPECT_NEAR(glm::length(bud->direction), 0.2f, 1e-6f);
        // fmod(144.31 + 300, 360)
        EXPECT_NEAR(bud->phyllotaxisAngle, 84.31f, 1e-4f);
    }
    EXPECT_NEAR(degreesBetween(apical->direction, shoot->direction), 0.0f, 0.05f);
    EXPECT_NEAR(degreesBetween(lateral->direction, shoot->direction), 45.0f, 1e-3f);
}

TEST_F(Records, ConsecutiveLateralsOfAnAxisLie144Point31DegreesApart)
{
    Tree tree;
    Internode* node = tree.root;
    node->direction = glm::vec3(0.0f, 0.3f, 0.0f);
    float previous = 0.0f;
    for (int i = 0; i < 6; ++i) {
        node->isBud = false;
        Internode* apical = CreateBud(node, identityRotation, 144.31f, &tree, 0);
        Internode* lateral = CreateBud(node, rotation45AboutX, 144.31f, &tree, 1);
        const float a = azimuth(lateral->direction);
        if (i > 0) {
            EXPECT_NEAR(std::fmod(a - previous + 360.0f, 360.0f), 144.31f, 1e-2f) << i;
        }
        previous = a;
        node = apical;
        node->direction = glm::vec3(0.0f, 0.3f, 0.0f);
    }
}

TEST_F(Records, FixedOrientationsAreTheGivenQuaternions)
{
    EXPECT_FLOAT_EQ(identityRotation.w, 1.0f);
    EXPECT_FLOAT_EQ(identityRotation.x, 0.0f);
    EXPECT_NEAR(rotation45AboutX.x, std::sin(pi / 8.0f), 1e-6f);
    EXPECT_FLOAT_EQ(rotation45AboutX.y, 0.0f);
    EXPECT_FLOAT_EQ(rotation45AboutX.z, 0.0f);
    EXPECT_NEAR(rotation45AboutX.w, std::cos(pi / 8.0f), 1e-6f);
    // +Y turns towards +Z about +X.
    const glm::vec3 turned = rotation45AboutX * glm::vec3(0.0f, 1.0f, 0.0f);
    EXPECT_NEAR(turned.y, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(turned.z, std::sqrt(0.5f), 1e-6f);
}

TEST_F(Records, RandomEngineIsTheStandardMersenneTwister)
{
    // The C++ standard fixes the 10000th output of a default-seeded mt19937.
    randomEngine.seed(std::mt19937::default_seed);
    randomEngine.discard(9999);
    EXPECT_EQ(randomEngine(), 4123659995u);
}

TEST_F(Records, EveryUniformValueUsesOneOutput)
{
    randomEngine.seed(3);
    std::mt19937 reference(3);
    for (int i = 0; i < 100; ++i) {
        const double u = static_cast<double>(reference()) / 4294967296.0;
        if (i % 2 == 0)
            EXPECT_EQ(uniformRandom(-1.0, 1.0), -1.0 + 2.0 * u) << i;
        else
            EXPECT_EQ(unitRandom(), u) << i;
    }
    EXPECT_EQ(randomEngine(), reference());
}
