#pragma once
// A planted tree and the process-wide ordered list of trees.

#include <vector>

struct Internode;

struct Tree {
    Tree();
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    int age = 0;
    Internode* root = nullptr;

    // Allocation model 3: hands the tree's light, scaled by the growth-curve
    // value, to its buds by light, height, depth and direction, with apical
    // buds favoured and laterals and old buds gated off at random
    // (model/allocation.cpp).
    void AllocateByLightPriority(float curveValue);
};

// Owns every tree; its order is the order of every per-tree loop and of the
// printed per-tree lines.
extern std::vector<Tree*> allTrees;

// Frees every tree of allTrees and empties the list (no environment call).
void deleteAllTrees();
