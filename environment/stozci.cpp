#include "environment/stozci.h"

#include <cmath>
#include <iostream>
#include <string>

#include "environment/openclholder.h"
#include "model/internode.h"
#include "model/tree.h"
#include "model/treewalk.h"

Stozci* Stozci::instance = nullptr;

Stozci* Stozci::create()
{
    instance = new Stozci();
    return instance;
}

void Stozci::reset()
{
    stozciVOkolju.clear();
    stozciVOkolju.reserve(100000);
}

void Stozci::collectTips(const Internode* node)
{
    // Every internode's tip, the node before its apical subtree and that
    // before its lateral one; a node without children (a bud or a stub) adds
    // nothing. A tip that is not finite is left out here, where every batch
    // and the display take their apexes from: one NaN apex makes the shadow
    // sum of every bud NaN, and the light of the whole scene 0.
    if (!node)
        return;
    walkPreOrder(node, [this](const Internode* current) {
        if (!current->children[0] && !current->children[1])
            return false;
        const glm::vec3 tip = current->position + current->direction;
        if (std::isfinite(tip.x) && std::isfinite(tip.y) && std::isfinite(tip.z))
            stozciVOkolju.emplace_back(tip, 0.0f);
        return true;
    });
}

void Stozci::collectAllTips()
{
    stozciVOkolju.clear();
    stozciVOkolju.reserve(1000000);
    for (const Tree* tree : allTrees)
        collectTips(tree->root);
}

float Stozci::budLight(Internode* node, const glm::vec3& position, const glm::vec3& /*direction*/,
                       glm::vec3& growthDirectionOut)
{
    if (useGpu) {
        queryNodes.push_back(node);
        queryPositions.emplace_back(position, 0.0f);
        return 0.0f;
    }
    growthDirectionOut = glm::vec3(0.0f);
    double sum = 0.0;
    for (const glm::vec4& tip : stozciVOkolju) {
        const double h = static_cast<double>(tip.y) - position.y;
        if (h <= 0.0)
            continue;
        const double dx = static_cast<double>(tip.x) - position.x;
        const double dz = static_cast<double>(tip.z) - position.z;
        const double d = 2.0 * std::sqrt(dx * dx + dz * dz);
        // d = 0 (a tip straight above) gives atan(+inf) = pi/2.
        sum += std::atan(h / d) / (h * h + 1.0) / (d + 1.0);
    }
    const double light = 1.0 - sum;
    return light > 0.0 ? static_cast<float>(light) : 0.0f;
}

void Stozci::computeQueuedGpu()
{
    if (!useGpu || queryPositions.empty())
        return;
    const std::size_t n = queryPositions.size();
    std::vector<float> results(n, 1.0f);
    collectAllTips();
    if (!stozciVOkolju.empty()) {
        if (!OpenClHolder::instance)
            throw std::string("The shadow cones need the OpenCL compute module, which does not exist yet");
        OpenClHolder::instance->CalcStozci(queryPositions.data(), static_cast<int>(n), stozciVOkolju.data(),
                                           static_cast<int>(stozciVOkolju.size()), results.data());
    }
    for (std::size_t i = 0; i < n; ++i) {
        queryNodes[i]->resourcesQ = results[i];
        queryNodes[i]->lightExposure = results[i];
    }
    std::cout.flush();
}

void Stozci::clearBudQueue()
{
    queryNodes.clear();
    queryPositions.clear();
    // Nothing else refreshes the apexes on the CPU path, and a light pass always
    // starts here, so this is where its apexes are collected.
    if (!useGpu)
        collectAllTips();
}
