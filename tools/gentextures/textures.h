#pragma once
// The nine images the renderer loads from "tex/", built from nothing but
// formulas and deterministic noise. The shader adds a colour to most of them
// (bark 0.4, ground 0.4 to 0.5, sky 0.3, ruler 0.6, rope 0.5), so those stay
// dark. Texture coordinates: u to the right, v up (image rows run top-down,
// OpenGL's bottom-up).

#include <QImage>

#include <glm/glm.hpp>

#include <vector>

namespace texgen {

// Old bark in the left half, young bark in the right half; u runs round the
// branch, v along it.
QImage buildBark();
// The same picture with every colour component c turned into 1 - c.
QImage invertColours(const QImage& image);
// A leaf outlined by alpha in the left half, laid on the diagonal that the leaf
// quad maps along its axis; an opaque cut surface (wood rings inside bark) in
// the ellipse centred at (0.75, 0.5) with half-axes 0.25 and 0.5.
QImage buildLeaf();
// A hand saw with alpha; its teeth run through the image centre, where the
// icon's quad has the cut point.
QImage buildSaw();
// Ruler markings: ten units along v, tenths marked from the u = 0 edge.
QImage buildRuler();
// Grass that tiles in both directions.
QImage buildGrass();
// A sky over the sea laid out as the cross of six cube faces the sky box reads
// (four across the middle third, the top above and the bottom below the second
// cell); each texel shows the direction its face coordinate points to.
QImage buildSky();
// The colour legend: blue, cyan, green, yellow, red from bottom to top.
QImage buildLegend();
// Three twisted strands that tile in both directions.
QImage buildRope();

// The ramp of the legend for a value from 0 to 1 (the branch colouring's).
glm::vec3 legendColour(float value);

// Where on the sky box a texture coordinate of the sky image points: a point
// on (or, between the faces, just beyond) the cube of half-size 1.
glm::vec3 skyDirection(float u, float v);

struct TextureFile {
    const char* name;  // under tex/
    QImage (*build)();
};
// Every file with its builder, in the order the renderer loads them.
const std::vector<TextureFile>& textureFiles();

} // namespace texgen
