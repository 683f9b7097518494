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
};

// Owns every tree; its order is the order of every per-tree loop and of the
// printed per-tree lines.
extern std::vector<Tree*> allTrees;

// Frees every tree of allTrees and empties the list (no environment call).
void deleteAllTrees();
