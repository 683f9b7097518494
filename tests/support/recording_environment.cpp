#include "support/recording_environment.h"

#include "environment/environment.h"
#include "model/treewalk.h"

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

void Environment::computeLight(Internode* root, Tree* tree)
{
    // As the real environment: a walk that no depth of tree overflows.
    walkDepthFirst(
        root,
        [tree](Internode* node) {
            node->resourcesQ = 0.0f;
            if (node->removed)
                return false;
            if (!node->isBud)
                return true;
            if (isLightBud(node, tree)) {
                recording().lightRequests.push_back(node);
                node->lightExposure = recording().light;
                node->resourcesQ = recording().light;
            }
            return false;
        },
        [](Internode* node) {
            for (int slot = 0; slot < node->childCount; ++slot)
                node->resourcesQ += node->children[slot]->resourcesQ;
        });
}
