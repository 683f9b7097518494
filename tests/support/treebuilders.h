#pragma once
// Trees for tests and benchmarks, made with the model alone (no environment
// calls, except where a builder says so), so that the same scenes serve model
// tests, environment tests and the benchmark programs.

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

struct Internode;
struct Tree;

// A complete binary tree of `levels` levels of internodes: 2^levels - 1
// internodes, each with both children, and 2^levels buds at the ends. Every
// bud is burst once per level by hand (no random draws, no resources, no
// environment), as if each bud grew one internode per iteration: a node of
// depth d was born in iteration d - 1, the tree's age is `levels`, and so the
// outermost buds are young. Child positions are parent position + direction,
// directions come from CreateBud, thickness follows the pipe model and
// internodeCount is set.
std::unique_ptr<Tree> buildBalancedTree(int levels);

// An axis of `axisInternodes` internodes, each carrying in slot 1 a lateral
// axis of `lateralInternodes` internodes whose own laterals are buds:
// axisInternodes * (lateralInternodes + 1) internodes, every one with both
// children, buds at the ends. Internodes of depth d were born in iteration
// d - 1; the tree's age is the greatest depth and every bud counts as born in
// the last iteration (all buds are young). Thickness and internodeCount are
// set as for buildBalancedTree.
std::unique_ptr<Tree> buildAxisTree(int axisInternodes, int lateralInternodes);

// An axis tree of about `internodes` internodes (within a few per cent for
// 1,000 and more): about sqrt(internodes) laterals of that length.
std::unique_ptr<Tree> buildTreeOfAbout(int internodes);

// Frees every tree of allTrees, leaves `tree` as the only one and returns it.
// No environment call.
Tree* makeOnlyTree(std::unique_ptr<Tree> tree);

// Hangs a new node in child slot `slot` of `parent`, at the parent's tip,
// making the parent an internode; the new node stays a bud until a node is
// hung below it. Position, direction, thickness, birth and depth are set;
// everything else keeps the constructor's values.
Internode* attachNode(Internode* parent, int slot, const glm::vec3& direction, float thickness, int birth = 0);

// Gives every live bud of the subtree `amount` of resources.
void giveBudsResources(Internode* node, float amount);

// Seeds randomEngine, restarts with one tree and runs `iterations` simulation
// steps; the tree grows as the light and resource pass allocates. Needs
// Environment::instance. Returns allTrees' only tree.
Tree* growTree(int iterations, unsigned seed = 3);

// As growTree, but before every step each live bud is given `amount` by hand,
// so the shape does not depend on the allocation (except for the first step:
// while the root is a bud, the step runs the light and resource pass before
// bursting, and that pass decides the root's amount).
Tree* growTreeWithResources(int iterations, float amount, unsigned seed = 3);

// Every node of the subtree: node, child 0's subtree, child 1's subtree.
std::vector<Internode*> collectNodes(Internode* root);

// The node reached from the root by a path of child slots.
Internode* nodeAt(Tree* tree, const std::vector<int>& path);

// Counts of the subtree's nodes by kind.
struct TreeCensus {
    int internodes = 0;  // live, not buds
    int buds = 0;        // live buds
    int removed = 0;     // removed stubs
};
TreeCensus takeCensus(const Internode* node);

// A hash (FNV-1a) of every node's position and direction bits and kind, in walk
// order (node, child 0's subtree, child 1's subtree). Equal trees hash equal.
std::uint64_t hashTree(const Internode* node);
