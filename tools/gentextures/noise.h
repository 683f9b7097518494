#pragma once
// Deterministic noise for the texture generator: the same images on every
// machine, from integer hashing alone (no library random numbers).

#include <glm/glm.hpp>

#include <QImage>

#include <cstdint>

namespace texgen {

// A value in [0, 1) for a lattice point.
float hash01(int x, int y, std::uint32_t seed);

// Smooth value noise in [0, 1) on a lattice that wraps every periodX cells in x
// and periodY cells in y, so that images built from it tile.
float periodicNoise(float x, float y, int periodX, int periodY, std::uint32_t seed);

// Octaves of periodicNoise, each of twice the frequency (and period) and half
// the weight of the one before; in [0, 1) and tiling like the first octave.
float periodicFbm(float x, float y, int periodX, int periodY, int octaves, std::uint32_t seed);

float smoothStep(float edge0, float edge1, float x);

// Colour components 0..1 to a pixel, clamped.
QRgb toRgb(const glm::vec3& colour, float alpha = 1.0f);

} // namespace texgen
