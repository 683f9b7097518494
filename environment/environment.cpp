#include "environment/environment.h"

#include <cmath>

#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "model/treewalk.h"

Environment* Environment::instance = nullptr;

namespace {

constexpr int shadowGridType = 0;
constexpr int coneType = 2;
// "Space" has no light model; every young bud is fully lit.
constexpr float spaceLight = 1.0f;

// Every bud reaches the light models through the environment, so this is the
// one place that keeps non-finite buds from them. The grid puts such a bud in
// its corner cell, where it would cast or read a shadow that is not there; a
// bud that is nowhere gets no light in any model, so it grows nothing more.
bool isFinitePosition(const Internode* node)
{
    const glm::vec3& p = node->position;
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

Environment* Environment::create()
{
    auto* environment = new Environment();
    environment->markers.reset(new float[125]());
    ShadowGrid::create();
    Stozci::create();
    instance = environment;
    return environment;
}

void Environment::reset()
{
    if (type == shadowGridType)
        ShadowGrid::instance->reset();
    else if (type == coneType)
        Stozci::instance->reset();
}

void Environment::addBud(Internode* node)
{
    if (type == shadowGridType && isFinitePosition(node))
        ShadowGrid::instance->addBud(node);
}

void Environment::removeBud(Internode* node)
{
    if (type == shadowGridType && isFinitePosition(node))
        ShadowGrid::instance->removeBud(node);
}

void Environment::clearShadowQueues()
{
    if (type == shadowGridType)
        ShadowGrid::instance->clearShadowQueues();
}

void Environment::applyQueuedShadows()
{
    if (type == shadowGridType)
        ShadowGrid::instance->applyQueuedShadowsGpu();
}

void Environment::clearBudQueue()
{
    if (type == shadowGridType)
        ShadowGrid::instance->clearBudQueue();
    else if (type == coneType)
        Stozci::instance->clearBudQueue();
}

void Environment::computeQueued()
{
    if (type == shadowGridType)
        ShadowGrid::instance->computeQueuedGpu();
    else if (type == coneType)
        Stozci::instance->computeQueuedGpu();
}

void Environment::computeLight(Internode* root, Tree* tree)
{
    walkDepthFirst(
        root,
        [&](Internode* node) {
            node->resourcesQ = 0.0f;
            if (node->removed)
                return false;
            if (!node->isBud)
                return true;
            if (!isLightBud(node, tree))
                return false;
            float light = spaceLight;
            if (!isFinitePosition(node))
                light = 0.0f;
            else if (type == shadowGridType)
                light = ShadowGrid::instance->budLight(node, node->position, node->direction,
                                                       node->optimalDirection);
            else if (type == coneType)
                light = Stozci::instance->budLight(node, node->position, node->direction, node->optimalDirection);
            node->lightExposure = light;
            node->resourcesQ = light;
            return false;
        },
        [](Internode* node) {
            for (int slot = 0; slot < node->childCount; ++slot)
                node->resourcesQ += node->children[slot]->resourcesQ;
        });
}
