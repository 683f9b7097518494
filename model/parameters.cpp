#include "model/parameters.h"

#include <cmath>

float internodeLength = 0.3f;
float budThickness = 0.03f;
float thicknessExponentN2 = 3.0f;
float thicknessFactorN1 = 1.001f;
float tropismWeight = -0.015f;
float randomWeight = 0.0f;
float sheddingThreshold = 0.0f;
float elongationFactor = 0.0f;
float bhLambda = 0.5f;
int allocationModel = 3;
bool prolepticGrowth = true;
bool probabilisticGrowth = true;
std::string growthCurveExpression = "40*tanh(0.2/(x-1))+2.0";

bool apicalControl = true;
float wMin = 0.006f;
float prioWMax = 1.0f;
float prioDo = 0.9f;

std::mt19937 randomEngine;

double unitRandom()
{
    return static_cast<double>(randomEngine()) / 4294967296.0;
}

double uniformRandom(double lo, double hi)
{
    return lo + (hi - lo) * unitRandom();
}

glm::quat rotationAboutUnitAxis(float degrees, const glm::vec3& unitAxis)
{
    const float half = degrees * 0.017453292f * 0.5f;
    const float s = std::sin(half);
    return glm::quat(std::cos(half), unitAxis.x * s, unitAxis.y * s, unitAxis.z * s);
}

glm::quat rotationDegrees(float degrees, const glm::vec3& axis)
{
    return rotationAboutUnitAxis(degrees, glm::normalize(axis));
}

const glm::quat identityRotation = rotationDegrees(0.0f, glm::vec3(1.0f, 0.0f, 0.0f));
const glm::quat rotation45AboutX = rotationDegrees(45.0f, glm::vec3(1.0f, 0.0f, 0.0f));
