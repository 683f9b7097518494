#pragma once
// Shared by the model tests: a fixture with a fresh recording environment,
// default parameters and random engine, and no trees or histogram callable
// left behind (the sanitizer run checks that every node is freed).

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "model/histogramstore.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "support/recording_environment.h"
#include "support/streamcapture.h"
#include "support/treebuilders.h"

inline auto modelParameters()
{
    return std::tie(internodeLength, budThickness, thicknessExponentN2, thicknessFactorN1, tropismWeight,
                    randomWeight, sheddingThreshold, elongationFactor, bhLambda, allocationModel, prolepticGrowth,
                    probabilisticGrowth, growthCurveExpression);
}

class ModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        RecordingEnvironment::reset();
        randomEngine.seed(std::mt19937::default_seed);
    }

    void TearDown() override
    {
        deleteAllTrees();
        histogramStore().onChanged = nullptr;
        modelParameters() = saved_;
    }

private:
    std::tuple<float, float, float, float, float, float, float, float, float, int, bool, bool, std::string> saved_ =
        modelParameters();
};

// Turns `bud` into an internode with an apical (slot 0) and a lateral (slot 1)
// bud born at the tree's age, its direction kept; no draws, resources or registration.
inline Internode* burstByHand(Internode* bud, Tree* tree)
{
    bud->isBud = false;
    CreateBud(bud, identityRotation, 144.31f, tree, 0);
    CreateBud(bud, rotation45AboutX, 144.31f, tree, 1);
    return bud;
}

inline void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
