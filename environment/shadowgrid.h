#pragma once
// Light model 0: a cubic voxel grid over the environment box in which every
// registered bud casts a pyramid of shadow downwards (towards smaller y). On the
// device path (the default) the cells live in the compute module and additions,
// removals and light queries are queued and run in one batch each; on the CPU
// path the grid keeps its own cells and answers at once.

#include <memory>
#include <vector>

#include <glm/glm.hpp>

struct Internode;

struct ShadowGrid {
    float cMax = 1.0f;
    float displayAlpha = 0.5f;
    bool useGpu = true;
    // Layers below a bud's own layer; the form's integer control stores it as a float.
    float depth = 8.0f;
    // Shadow of a bud in its own cell, and the offset that cancels it in a query.
    float a = 0.1f;
    // Layer q below a bud receives a * b^(-q).
    float b = 1.7f;
    // CPU cells in gridIndex order; null until the first CPU setDim.
    std::unique_ptr<float[]> cells;
    int dim = 200;
    std::vector<glm::vec3> pendingAdd;
    std::vector<glm::vec3> pendingRemove;
    std::vector<glm::vec3> queryPositions;
    // The queued buds, parallel to queryPositions; not owned, valid until the
    // next change of the trees.
    std::vector<Internode*> queryNodes;

    static ShadowGrid* instance;

    // Allocates the grid with its start values and stores instance.
    static ShadowGrid* create();

    // Cell of a point; may lie outside [0, dim) on any axis.
    glm::ivec3 cellOf(const glm::vec3& point) const;
    void reset();
    // Device path: recreates the zeroed device grid. CPU path: reallocates the
    // cells when needed and initialises them.
    void setDim(int n);
    // Zeroes the CPU cells, then applies the environment's markers when enabled.
    void initGrid();
    void addBud(Internode* node);
    void removeBud(Internode* node);
    // Adds (sign +1) or removes (sign -1) one bud's pyramid in the CPU cells.
    void propagateShadow(const glm::vec3& position, float sign);
    // Additions first, then removals; the queues stay until clearShadowQueues.
    void applyQueuedShadowsGpu();
    void clearShadowQueues();
    // Device path: queues the bud and returns 0; computeQueuedGpu writes the
    // real value. CPU path: the light of the bud's cell.
    float budLight(Internode* node, const glm::vec3& position, const glm::vec3& direction,
                   glm::vec3& growthDirectionOut);
    void computeQueuedGpu();
    void clearBudQueue();
};
