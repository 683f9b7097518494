#include "model/internode.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "environment/environment.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "model/treewalk.h"

Internode::Internode(Internode* parentNode, int birth, int nodeDepth)
    : parent(parentNode), birthIteration(birth), depth(nodeDepth)
{
}

Internode* CreateBud(Internode* parent, const glm::quat& q, float angleStep, Tree* tree, int slot)
{
    Internode* bud = new Internode(parent, tree->age, parent->depth + 1);
    bud->thickness = 0.0f;
    bud->position = parent->position + parent->direction;
    bud->phyllotaxisAngle = std::fmod(angleStep + parent->phyllotaxisAngle, 360.0f);

    glm::vec3 d = q * parent->direction;
    d = rotationDegrees(bud->phyllotaxisAngle, parent->direction) * d;
    bud->direction = glm::normalize(d) * 0.2f;

    parent->children[slot] = bud;
    return bud;
}

void Internode::Cut(int stamp)
{
    if (removed)
        return;
    if (!isBud) {
        // Everything below goes; a node below records nothing, so freeing the
        // subtree is all its cut amounts to.
        std::vector<Internode*> doomed;
        for (int slot = 0; slot < childCount; ++slot) {
            if (children[slot])
                doomed.push_back(children[slot]);
            children[slot] = nullptr;
        }
        while (!doomed.empty()) {
            Internode* node = doomed.back();
            doomed.pop_back();
            for (Internode* child : node->children) {
                if (child)
                    doomed.push_back(child);
            }
            delete node;
        }
    }
    if (stamp >= 0) {
        if (stamp == cutStamp) {
            cutDistance = std::min(cutDistance, 0);
        } else {
            cutDistance = 0;
            cutStamp = stamp;
        }
        if (parent)
            MarkDistanceToCut(parent, 1, stamp);
    }
    KolicinaResources = 0.0f;
    resourcesQ = 0.0f;
    // A pruning cut keeps the direction the pruning tool shortened to the cut
    // point, so the stub is drawn up to the cut. Shedding and teardown leave no
    // stub worth drawing.
    if (stamp < 0)
        direction = glm::vec3(0.0f);
    isBud = false;
    removed = true;
}

void MarkDistanceToCut(Internode* node, int distance, int stamp)
{
    for (; node; node = node->parent, ++distance) {
        if (node->cutStamp == stamp) {
            node->cutDistance = std::min(node->cutDistance, distance);
        } else {
            node->cutDistance = distance;
            node->cutStamp = stamp;
        }
    }
}

void Internode::UpdateEnvironment(bool skipSelf, bool add)
{
    // The environment queues what it is given, so the order of the calls is
    // that of a recursive walk: the node, child 0's subtree, child 1's.
    struct Pending {
        Internode* node;
        bool skipSelf;
    };
    std::vector<Pending> pending{{this, skipSelf}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        Internode* node = next.node;
        if (!next.skipSelf) {
            if (add)
                Environment::instance->addBud(node);
            else
                Environment::instance->removeBud(node);
        }
        if (node->isBud || node->removed)
            continue;
        for (int slot = node->childCount - 1; slot >= 0; --slot)
            pending.push_back({node->children[slot], slot == 1});
    }
}

void RotateSubtree(Internode* root, const glm::vec3& base, const glm::quat& q, const Internode* excluded)
{
    struct Pending {
        Internode* node;
        glm::vec3 base;
    };
    std::vector<Pending> pending{{root, base}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        Internode* node = next.node;
        node->savedPosition = node->position;
        node->savedDirection = node->direction;
        node->position = next.base;
        node->direction = q * node->direction;
        if (node->isBud || node->removed)
            continue;
        for (int slot = node->childCount - 1; slot >= 0; --slot) {
            Internode* child = node->children[slot];
            if (child != excluded)
                pending.push_back({child, node->position + node->direction});
        }
    }
}

void RestoreSavedGeometry(Internode* root)
{
    walkPreOrder(root, [](Internode* node) {
        node->position = node->savedPosition;
        // A stub cut after the rotation saved its uncut length; a cut is
        // final, so it takes back only its orientation.
        const float length = glm::length(node->direction);
        const float savedLength = glm::length(node->savedDirection);
        if (node->removed && savedLength > 0.0f)
            node->direction = node->savedDirection * (length / savedLength);
        else
            node->direction = node->savedDirection;
        return !node->isBud && !node->removed;
    });
}

bool IsInSubtree(const Internode* node, const Internode* target)
{
    bool found = false;
    walkPreOrder(node, [&](const Internode* current) {
        found = found || current == target;
        return !found && !current->isBud && !current->removed;
    });
    return found;
}

bool BornBeforeLastIteration(const Internode* node, const Tree* tree)
{
    return node->birthIteration + 1 < tree->age;
}
