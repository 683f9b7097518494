#pragma once
// A fixture for model tests: a fresh recording environment, default model
// parameters and a fresh random engine for every test, and no trees left
// behind (the sanitizer run checks that every node is freed).

#include <gtest/gtest.h>

#include "model/parameters.h"
#include "model/tree.h"
#include "support/recording_environment.h"

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
        internodeLength = saved.internodeLength;
        budThickness = saved.budThickness;
        thicknessExponentN2 = saved.thicknessExponentN2;
        thicknessFactorN1 = saved.thicknessFactorN1;
        tropismWeight = saved.tropismWeight;
        randomWeight = saved.randomWeight;
        sheddingThreshold = saved.sheddingThreshold;
        elongationFactor = saved.elongationFactor;
        prolepticGrowth = saved.prolepticGrowth;
    }

private:
    struct Parameters {
        float internodeLength = ::internodeLength;
        float budThickness = ::budThickness;
        float thicknessExponentN2 = ::thicknessExponentN2;
        float thicknessFactorN1 = ::thicknessFactorN1;
        float tropismWeight = ::tropismWeight;
        float randomWeight = ::randomWeight;
        float sheddingThreshold = ::sheddingThreshold;
        float elongationFactor = ::elongationFactor;
        bool prolepticGrowth = ::prolepticGrowth;
    } saved;
};
