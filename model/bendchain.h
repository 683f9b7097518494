#pragma once
// The bending solver: the young part of a shoot as a chain of rigid segments,
// each with a twist and a bend angle, bent by a tie, a spreader or a weight
// acting on its tip. The drawing widget owns one chain; it never changes the
// tree itself (applying a bend is the bending tool's work).

#include <utility>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

struct Internode;
struct Tree;

// One young internode of the chain, copied from the tree when the chain is built.
struct BendSegment {
    glm::vec3 basePosition{0.0f};  // the chain's start point; set in the first segment only
    float angle0 = 0.0f;           // degrees, twist about the segment's own direction
    float angle1 = 0.0f;           // degrees, bend about a horizontal axis
    glm::vec3 direction{0.0f};     // rest orientation and length
    int age = 0;                   // tree age minus the internode's birth iteration
    float thickness = 0.0f;
};

// (angle0, angle1) of one segment, in degrees.
using BendAngles = glm::vec2;

// What acts on the chain's tip.
enum BendMode { BendTie = 0, BendSpreader = 1, BendWeight = 2 };

struct BendChain {
    BendChain();

    float weightOptimal = 1.0f;
    float weightEndOrientation = 0.0f;  // kept for its control; the solver ignores it
    float weightEnergy = 0.02f;         // kept for its control; the solver ignores it
    float weightSmooth = 0.0f;
    std::vector<BendSegment> segments;  // from the chain's base to the picked node

    // Rebuilds the chain from the picked node up through every ancestor born
    // in the tree's current or previous iteration. `base` receives the oldest
    // node collected, or null when the picked node is older (empty chain).
    void Build(Internode* picked, const Tree& tree, Internode*& base);

    // Energy of the chain bent by `angles` (one pair per segment), with `delta`
    // added to component `component` of pair `perturbed` (-1: none).
    float Energy(const std::vector<BendAngles>& angles, int perturbed, int component, float delta,
                 const glm::vec3& target, float targetDistance, int mode) const;

    // Improves the stored angles of segments 0, 2, 4, ... from where they stand.
    // `maxSweeps` bounds the gradient sweeps; the widget always uses 10.
    void Optimise(const glm::vec3& target, float targetDistance, int mode, int maxSweeps = 10);

    // Joints of the bent chain for drawing, each with its axis scaled by the
    // thickness, followed by the rest of the picked node's axis carried along
    // rigidly. `end` receives the chain's tip (unchanged for an empty chain).
    void Polyline(std::vector<std::pair<glm::vec3, glm::vec3>>& joints, const Internode* picked,
                  glm::vec3& end) const;
};

// Forward kinematics of one segment: turns the accumulated orientation `q` by
// the segment's twist and bend and advances `position` to the segment's tip.
void BendSegmentStep(const BendAngles& angles, const BendSegment& segment, glm::quat& q,
                     glm::vec3& position);

// Distance of two angles on the circle, in degrees: 0 to 180.
double angleDistance(double a, double b);
