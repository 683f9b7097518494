#include "support/treebuilders.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "model/growth.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"

namespace {

// A bud's burst without its random draws, resources and registration.
void burstByHand(Internode* bud, Tree* tree)
{
    bud->isBud = false;
    bud->direction = glm::normalize(bud->direction) * internodeLength;
    CreateBud(bud, identityRotation, 144.31f, tree, 0);
    CreateBud(bud, rotation45AboutX, 144.31f, tree, 1);
}

// Calls f on every node of the subtree, node before child 0's subtree before
// child 1's, without recursion (the trees here may be deep).
template <typename Node, typename F>
void forEachNode(Node* root, F f)
{
    std::vector<Node*> pending{root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        f(node);
        if (node->isBud || node->removed)
            continue;
        pending.push_back(node->children[1]);
        pending.push_back(node->children[0]);
    }
}

void finish(Tree* tree)
{
    tree->root->UpdateThickness();
    tree->root->CountAndMarkShedding();
}

} // namespace

std::unique_ptr<Tree> buildBalancedTree(int levels)
{
    auto tree = std::make_unique<Tree>();
    std::vector<Internode*> buds{tree->root};
    for (int level = 0; level < levels; ++level) {
        tree->age = level;
        std::vector<Internode*> next;
        next.reserve(buds.size() * 2);
        for (Internode* bud : buds) {
            burstByHand(bud, tree.get());
            next.push_back(bud->children[0]);
            next.push_back(bud->children[1]);
        }
        buds.swap(next);
    }
    tree->age = levels;
    finish(tree.get());
    return tree;
}

std::unique_ptr<Tree> buildAxisTree(int axisInternodes, int lateralInternodes)
{
    auto tree = std::make_unique<Tree>();
    Tree* t = tree.get();
    Internode* node = tree->root;
    std::vector<Internode*> laterals;
    for (int i = 0; i < axisInternodes; ++i) {
        burstByHand(node, t);
        laterals.push_back(node->children[1]);
        node = node->children[0];
    }
    for (Internode* lateral : laterals) {
        for (int i = 0; i < lateralInternodes; ++i) {
            burstByHand(lateral, t);
            lateral = lateral->children[0];
        }
    }

    int maxDepth = 0;
    forEachNode(tree->root, [&](Internode* n) { maxDepth = std::max(maxDepth, n->depth); });
    tree->age = maxDepth;
    forEachNode(tree->root, [&](Internode* n) {
        n->birthIteration = n->isBud ? maxDepth - 1 : std::max(n->depth - 1, 0);
    });
    finish(t);
    return tree;
}

std::unique_ptr<Tree> buildTreeOfAbout(int internodes)
{
    const int axis = std::max(1, static_cast<int>(std::lround(std::sqrt(static_cast<double>(internodes)))));
    const int lateral = std::max(0, static_cast<int>(std::lround(static_cast<double>(internodes) / axis)) - 1);
    return buildAxisTree(axis, lateral);
}

Tree* makeOnlyTree(std::unique_ptr<Tree> tree)
{
    deleteAllTrees();
    allTrees.push_back(tree.release());
    return allTrees.front();
}

void giveBudsResources(Internode* node, float amount)
{
    forEachNode(node, [&](Internode* n) {
        if (n->isBud && !n->removed)
            n->KolicinaResources = amount;
    });
}

Tree* growTree(int iterations, unsigned seed)
{
    randomEngine.seed(seed);
    restartWithOneTree();
    for (int i = 0; i < iterations; ++i)
        simulationStep();
    return allTrees.front();
}

Tree* growTreeWithResources(int iterations, float amount, unsigned seed)
{
    randomEngine.seed(seed);
    restartWithOneTree();
    for (int i = 0; i < iterations; ++i) {
        giveBudsResources(allTrees.front()->root, amount);
        simulationStep();
    }
    return allTrees.front();
}

std::vector<Internode*> collectNodes(Internode* root)
{
    std::vector<Internode*> nodes;
    forEachNode(root, [&](Internode* n) { nodes.push_back(n); });
    return nodes;
}

Internode* nodeAt(Tree* tree, const std::vector<int>& path)
{
    Internode* node = tree->root;
    for (int slot : path)
        node = node->children[slot];
    return node;
}

TreeCensus takeCensus(const Internode* node)
{
    TreeCensus census;
    forEachNode(node, [&](const Internode* n) {
        if (n->removed)
            ++census.removed;
        else if (n->isBud)
            ++census.buds;
        else
            ++census.internodes;
    });
    return census;
}

std::uint64_t hashTree(const Internode* node)
{
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ull;
        }
    };
    forEachNode(node, [&](const Internode* n) {
        const float values[6] = {n->position.x, n->position.y, n->position.z,
                                 n->direction.x, n->direction.y, n->direction.z};
        mix(values, sizeof values);
        const unsigned char kind = static_cast<unsigned char>((n->isBud ? 1 : 0) | (n->removed ? 2 : 0));
        mix(&kind, 1);
    });
    return hash;
}

Internode* attachNode(Internode* parent, int slot, const glm::vec3& direction, float thickness, int birth)
{
    parent->isBud = false;
    auto* node = new Internode(parent, birth, parent->depth + 1);
    node->position = parent->position + parent->direction;
    node->direction = direction;
    node->thickness = thickness;
    parent->children[slot] = node;
    return node;
}
