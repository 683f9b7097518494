#include "model/internode.h"

#include <algorithm>
#include <cmath>

#include "environment/environment.h"
#include "model/parameters.h"
#include "model/tree.h"

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
        for (int slot = 0; slot < childCount; ++slot) {
            if (children[slot]) {
                children[slot]->Cut(-1);
                delete children[slot];
                children[slot] = nullptr;
            }
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
    if (!skipSelf) {
        if (add)
            Environment::instance->addBud(this);
        else
            Environment::instance->removeBud(this);
    }
    if (isBud || removed)
        return;
    for (int slot = 0; slot < childCount; ++slot)
        children[slot]->UpdateEnvironment(slot == 1, add);
}

void RotateSubtree(Internode* node, const glm::vec3& base, const glm::quat& q, const Internode* excluded)
{
    node->savedPosition = node->position;
    node->savedDirection = node->direction;
    node->position = base;
    node->direction = q * node->direction;
    if (node->isBud || node->removed)
        return;
    for (int slot = 0; slot < node->childCount; ++slot) {
        Internode* child = node->children[slot];
        if (child != excluded)
            RotateSubtree(child, node->position + node->direction, q, excluded);
    }
}

void RestoreSavedGeometry(Internode* node)
{
    node->position = node->savedPosition;
    node->direction = node->savedDirection;
    if (node->isBud || node->removed)
        return;
    for (int slot = 0; slot < node->childCount; ++slot)
        RestoreSavedGeometry(node->children[slot]);
}

bool IsInSubtree(const Internode* node, const Internode* target)
{
    if (node == target)
        return true;
    if (node->isBud || node->removed)
        return false;
    return IsInSubtree(node->children[0], target) || IsInSubtree(node->children[1], target);
}

bool BornBeforeLastIteration(const Internode* node, const Tree* tree)
{
    return node->birthIteration + 1 < tree->age;
}
