#pragma once
// Process-wide model parameters. The main window's slots write them directly;
// the model reads them at its next step. A change starts no recomputation.

#include <cstdint>
#include <random>
#include <string>

#include <glm/gtc/quaternion.hpp>

extern float internodeLength;
extern float budThickness;
extern float thicknessExponentN2;
extern float thicknessFactorN1;
extern float tropismWeight;
extern float randomWeight;
extern float sheddingThreshold;
extern float elongationFactor;
extern float bhLambda;
extern int allocationModel;
extern bool prolepticGrowth;
extern bool probabilisticGrowth;
extern std::string growthCurveExpression;

// Values that only their controls use; no model computation reads them.
extern bool apicalControl;
extern float wMin;
extern float prioWMax;
extern float prioDo;

// Every random number of the model comes from this engine, one 32-bit output
// per value, so a fixed seed and the same operations reproduce a tree exactly.
extern std::mt19937 randomEngine;

// lo + (hi - lo) * (u / 2^32) in double precision, u one 32-bit output.
// std::uniform_real_distribution would consume two outputs for a double.
double uniformRandom(double lo, double hi);

// u / 2^32 for one 32-bit output of randomEngine.
double unitRandom();

// The two fixed orientations of new buds (x, y, z, w).
extern const glm::quat identityRotation;
extern const glm::quat rotation45AboutX;

// Rotation about `unitAxis` (used as given) by `degrees`, with the half-angle
// computed as degrees * 0.017453292 * 0.5 in single precision.
glm::quat rotationAboutUnitAxis(float degrees, const glm::vec3& unitAxis);

// The same about `axis` normalised first (it need not be unit). Normalising a
// unit vector again can change its last bits: where the axis is already
// normalised, use rotationAboutUnitAxis.
glm::quat rotationDegrees(float degrees, const glm::vec3& axis);
