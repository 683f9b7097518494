#include "support/recording_environment.h"

#include "environment/environment.h"

Environment* Environment::instance = nullptr;

RecordingEnvironment& recording()
{
    static RecordingEnvironment record;
    return record;
}

RecordingEnvironment& RecordingEnvironment::reset(float light)
{
    if (!Environment::instance)
        Environment::create();
    recording() = RecordingEnvironment();
    recording().light = light;
    return recording();
}

Environment* Environment::create()
{
    auto* environment = new Environment();
    environment->markers.reset(new float[125]());
    instance = environment;
    return environment;
}

void Environment::reset() { ++recording().resets; }
void Environment::addBud(Internode* node) { recording().added.push_back(node); }
void Environment::removeBud(Internode* node) { recording().removed.push_back(node); }
void Environment::clearShadowQueues() { ++recording().clearShadowQueuesCalls; }
void Environment::applyQueuedShadows() { ++recording().applyQueuedShadowsCalls; }
void Environment::clearBudQueue() { ++recording().clearBudQueueCalls; }
void Environment::computeQueued() { ++recording().computeQueuedCalls; }

void Environment::computeLight(Internode* node, Tree* tree)
{
    node->resourcesQ = 0.0f;
    if (node->removed)
        return;
    if (!node->isBud) {
        for (int slot = 0; slot < node->childCount; ++slot) {
            computeLight(node->children[slot], tree);
            node->resourcesQ += node->children[slot]->resourcesQ;
        }
        return;
    }
    if (!isLightBud(node, tree))
        return;
    recording().lightRequests.push_back(node);
    node->lightExposure = recording().light;
    node->resourcesQ = recording().light;
}
