#pragma once
// Light model 2, the shadow cones: every internode tip of every tree is the apex
// of a cone of shadow, and a young bud's light falls with the shadow of all
// apexes. The model keeps no grid: each light batch collects the tips afresh and
// evaluates the queued buds against them on the device. The CPU path, used when
// useGpu is false, has a formula of its own.

#include <vector>

#include <glm/glm.hpp>

struct Internode;

struct Stozci {
    // Corners of the lattice the display samples; written by CalcVboIzStozcev.
    glm::vec3 coneFieldMin{0.0f};
    glm::vec3 coneFieldMax{0.0f};
    // Buds queued for a light query, not owned; valid until the next change of the trees.
    std::vector<Internode*> queryNodes;
    // Their positions as (x, y, z, 0), same order.
    std::vector<glm::vec4> queryPositions;
    // Lattice points per axis of the display sampling.
    int vboDim = 50;
    bool useGpu = true;
    // Apexes (x, y, z, 0) of the last batch, handed to the device as they stand.
    std::vector<glm::vec4> stozciVOkolju;

    static Stozci* instance;

    // Allocates the model with its start values and stores instance.
    static Stozci* create();

    void reset();
    // Appends the tip of every internode of the subtree, apical chain first.
    void collectTips(const Internode* node);
    // Collects the tips of every tree of allTrees, in list order, afresh.
    void collectAllTips();
    // Device path: queues the bud and returns 0. CPU path: the light of the
    // bud against the current apexes.
    float budLight(Internode* node, const glm::vec3& position, const glm::vec3& direction,
                   glm::vec3& growthDirectionOut);
    void computeQueuedGpu();
    void clearBudQueue();
};
