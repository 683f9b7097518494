#pragma once
// The process-wide light environment. It holds which light model is active and
// the box the models work in, and forwards every request of the growth model
// to the shadow grid (type 0) or the shadow cones (type 2). Type 1 ("space")
// has no model.

#include <memory>

#include <glm/glm.hpp>

#include "model/internode.h"
#include "model/tree.h"

struct Environment {
    int type = 2;
    glm::vec3 boxOrigin{-100.0f, -0.1f, -100.0f};
    glm::vec3 boxSize{200.0f, 200.0f, 200.0f};
    bool showBox = false;
    bool useMarkers = false;
    bool showEnvironment = false;
    int markerDim = 5;
    std::unique_ptr<float[]> markers;
    int selectedLayer = 5;

    static Environment* instance;

    // Creates the environment and its two light models; called once at start-up.
    static Environment* create();

    void reset();
    void addBud(Internode* node);
    void removeBud(Internode* node);
    void clearShadowQueues();
    void applyQueuedShadows();
    void clearBudQueue();
    // Gives every young bud of the subtree its light (queued in GPU mode) and
    // every internode the sum of its children.
    void computeLight(Internode* node, Tree* tree);
    void computeQueued();
};

// A bud created in the tree's current iteration or the two before.
inline bool isLightBud(const Internode* node, const Tree* tree)
{
    return node->isBud && node->birthIteration >= tree->age - 2;
}

// Flat cell order shared by every grid of the system.
inline int gridIndex(int x, int y, int z, int n) { return x + n * (y + z * n); }
inline int cellIndex(const glm::ivec3& cell, int n) { return gridIndex(cell.x, cell.y, cell.z, n); }
