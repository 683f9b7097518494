#pragma once
// One node of a tree: a bud (no children) or an internode (two owned children,
// slot 0 continues the axis, slot 1 is the lateral). Removed nodes stay in the
// tree as stubs until the tree is torn down.

#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

struct Tree;

struct Internode {
    Internode(Internode* parent, int birthIteration, int depth);

    float delez = 0.0f;
    bool isBud = true;
    int cutDistance = 0;
    // -1 equals no tree age, so the first cut below a node always records itself.
    int cutStamp = -1;
    Internode* parent = nullptr;
    int childCount = 2;
    Internode* children[2] = {nullptr, nullptr};
    bool removed = false;
    glm::vec3 savedPosition{0.0f};
    glm::vec3 savedDirection{0.0f};
    glm::vec3 position{0.0f};
    glm::vec3 direction{0.0f};
    glm::vec3 optimalDirection{0.0f};
    float phyllotaxisAngle = 0.0f;
    float resourcesQ = 0.0f;
    float lightExposure = 0.0f;
    float previousQ = 0.0f;
    int resourcesNumPopkov = 0;
    double lightingIndex = 0.0;
    float KolicinaResources = 0.0f;
    int internodeCount = 0;
    float thickness = 0.0f;
    float previousThickness = 0.0f;
    int birthIteration = 0;
    int depth = 0;
    bool shedMark = false;

    // Removes the subtree below this node and leaves the node a removed stub.
    // A stamp >= 0 is the tree's age at a pruning cut and is recorded; -1
    // (shedding, teardown) records nothing.
    void Cut(int stamp);

    // Registers (add) or unregisters the apical continuations of the subtree
    // with the environment; laterals are never registered.
    void UpdateEnvironment(bool skipSelf, bool add);

    // Growth iteration walks, each over the subtree, child 0 before child 1.
    // Counts internodes, resets invalid bud resources and marks branches whose
    // light per internode is below the shedding threshold.
    void CountAndMarkShedding();
    // Bursts every bud holding at least one unit, walking on into the buds it
    // makes, so n units grow n internodes in one pass.
    void BurstBuds(Tree* tree);
    // Pipe-model thickness; a thickness never decreases.
    void UpdateThickness();
    // Cuts every marked branch; returns whether it removed anything.
    bool ShedMarked(Tree* tree);

    // Resource allocation (model/allocation.cpp). Allocation model 0: every
    // live bud gets 10, every internode 0.
    void AllocateFixed();
    // Allocation model 1: splits the node's amount between its children by
    // their light, weighted by bhLambda towards the apical side.
    void AllocateBorchertHonda();
    // Appends the live laterals of the axis that starts here, base upwards,
    // then its terminal bud; returns false (no terminal bud) when the axis
    // ends in a removed node.
    bool CollectAxis(std::vector<Internode*>& list);
    // Every live internode of the subtree gets the sum of its children's amounts.
    void SumResourcesUp();
};

// Creates a bud in child slot `slot` of `parent`, oriented by `q` and turned
// round the parent's axis by the accumulated phyllotaxis angle.
Internode* CreateBud(Internode* parent, const glm::quat& q, float angleStep, Tree* tree, int slot);

// Records a cut's distance on the node and all its ancestors.
void MarkDistanceToCut(Internode* node, int distance, int stamp);

// Bending preview support: save, rotate, restore and query subtrees.
void RotateSubtree(Internode* node, const glm::vec3& base, const glm::quat& q, const Internode* excluded);
void RestoreSavedGeometry(Internode* node);
bool IsInSubtree(const Internode* node, const Internode* target);
bool BornBeforeLastIteration(const Internode* node, const Tree* tree);
