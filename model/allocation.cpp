#include "model/allocation.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <QDebug>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"

namespace {

bool isInvalidAmount(float value)
{
    return !std::isfinite(value) || value < 0.0f;
}

// tanh(500 / depth)^depth: close to 1 for shallow nodes, falling steeply past
// a depth of a few hundred, so very deep buds get almost nothing.
double depthDamping(int depth)
{
    return std::pow(std::tanh(500.0f / static_cast<float>(depth)), depth);
}

}  // namespace

void Internode::AllocateFixed()
{
    KolicinaResources = 0.0f;
    if (removed)
        return;
    if (isBud) {
        KolicinaResources = 10.0f;
        return;
    }
    for (int slot = 0; slot < childCount; ++slot)
        children[slot]->AllocateFixed();
}

void Internode::AllocateBorchertHonda()
{
    // Recurses on the apical side and loops down the lateral side, so the
    // recursion depth is the number of nested apical steps, not the node count.
    for (Internode* node = this;;) {
        if (node->removed)
            return;
        if (isInvalidAmount(node->KolicinaResources)) {
            qDebug() << "Napacna KR: " << node->KolicinaResources;
            qDebug() << node->resourcesQ << " " << static_cast<const void*>(node->parent);
            node->KolicinaResources = 0.0f;
        }
        if (node->isBud)
            return;

        Internode* apical = node->children[0];
        Internode* lateral = node->children[1];
        const double qm = apical->removed ? 0.0 : apical->resourcesQ;
        const double ql = lateral->removed ? 0.0 : lateral->resourcesQ;
        // Outside [0, 1] the denominator can vanish while the numerators do not,
        // and a child would receive many times its parent's amount.
        const double lambda = std::clamp(bhLambda, 0.0f, 1.0f);
        const double d = lambda * qm + (1.0 - lambda) * ql;
        if (d == 0.0) {
            // The nodes below keep what they held: nothing reaches them.
            apical->KolicinaResources = 0.0f;
            lateral->KolicinaResources = 0.0f;
            return;
        }
        const double amount = node->KolicinaResources;
        apical->KolicinaResources = static_cast<float>(amount * lambda * qm / d);
        lateral->KolicinaResources = static_cast<float>(amount * (1.0 - lambda) * ql / d);
        apical->AllocateBorchertHonda();
        node = lateral;
    }
}

bool Internode::CollectAxis(std::vector<Internode*>& list)
{
    for (Internode* node = this;;) {
        if (node->removed)
            return false;
        if (node->isBud) {
            list.push_back(node);
            return true;
        }
        Internode* apical = node->children[0];
        Internode* lateral = node->children[1];
        if (apical->removed) {
            // The lateral takes over the axis; it is not a side branch of it.
            node = lateral;
            continue;
        }
        if (!lateral->removed)
            list.push_back(lateral);
        node = apical;
    }
}

void AllocateByShares(Internode* axisBase, Tree* tree)
{
    if (axisBase->removed || axisBase->isBud)
        return;

    std::vector<Internode*> axis;
    axis.reserve(100);
    const Internode* terminalBud = axisBase->CollectAxis(axis) ? axis.back() : nullptr;

    int maxDepth = axisBase->depth;
    float yMin = axisBase->position.y;
    float yMax = axisBase->position.y;
    for (const Internode* node : axis) {
        maxDepth = std::max(maxDepth, node->depth);
        yMin = std::min(yMin, node->position.y);
        yMax = std::max(yMax, node->position.y);
    }

    // The internodes of the axis itself carry the base's amount.
    const float baseAmount = axisBase->KolicinaResources;
    for (Internode* node = axisBase; node && !node->removed;) {
        node->KolicinaResources = baseAmount;
        if (node->isBud)
            break;
        node = node->children[0]->removed ? node->children[1] : node->children[0];
    }

    float sum = 0.0f;
    int position = 0;
    for (Internode* node : axis) {
        float h = (node->position.y - yMin) / (yMax - yMin);
        if (std::isnan(h))
            h = 0.0f;
        float m = static_cast<float>(node->depth - axisBase->depth)
                  / static_cast<float>(maxDepth - axisBase->depth);
        if (std::isnan(m))
            m = 0.0f;
        float share = ((1.0f - m) + 1.0f + 2.0f * (h + 1.0f) * (h + 1.0f)) * (node->resourcesQ + 1.0f);
        if (node->removed)
            share = 0.0f;
        if (node != terminalBud) {
            // Only every sixth lateral bud of an axis takes a share; lateral
            // branches always do.
            if (node->isBud && position % 6 != 0)
                share = 0.0f;
            ++position;
        }
        if (share < 0.0f)
            share = 0.0f;
        if (std::isnan(share))
            std::cout << "if(isnan(delez)){" << std::endl;
        node->delez = share;
        node->KolicinaResources = static_cast<float>(share * baseAmount * depthDamping(node->depth));
        sum += share;
    }

    for (Internode* node : axis) {
        node->KolicinaResources /= sum;
        if (node->KolicinaResources > baseAmount)
            qDebug() << "____" << node->KolicinaResources << " " << baseAmount;
        AllocateByShares(node, tree);
    }
}

void collectTerminalBuds(Internode* node, std::vector<Internode*>& list)
{
    if (!node || node->removed)
        return;
    if (node->isBud) {
        list.push_back(node);
        return;
    }
    for (int slot = 0; slot < node->childCount; ++slot)
        collectTerminalBuds(node->children[slot], list);
}

void Internode::SumResourcesUp()
{
    if (isBud || removed)
        return;
    children[0]->SumResourcesUp();
    children[1]->SumResourcesUp();
    KolicinaResources = children[1]->KolicinaResources + children[0]->KolicinaResources;
}

void Tree::AllocateByLightPriority(float curveValue)
{
    // A shed root has lost its children: there is nothing to allocate to.
    if (!root || root->removed)
        return;

    std::vector<Internode*> buds;
    if (root->isBud) {
        buds.push_back(root);
    } else {
        collectTerminalBuds(root->children[0], buds);
        collectTerminalBuds(root->children[1], buds);
    }

    if (!probabilisticGrowth)
        randomEngine.seed(5489);

    const std::size_t count = buds.size();
    std::vector<float> weightedLight(count);
    std::vector<int> level(count);
    float lightMax = 0.01f;
    float yMax = 0.1f;
    int levelMax = 0;
    float total = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const Internode* bud = buds[i];
        // Written so that a NaN light counts as none.
        float light = bud->resourcesQ > 0.0f ? bud->resourcesQ : 0.0f;
        lightMax = std::max(lightMax, light);
        // The bud's depth is its number of ancestors (the root included): one
        // read instead of a walk to the root for every bud.
        const int j = bud->depth + 1;
        levelMax = std::max(levelMax, j);
        yMax = std::max(yMax, bud->position.y);
        light = static_cast<float>(light * depthDamping(j));
        total += light;
        weightedLight[i] = light;
        level[i] = j;
    }
    total *= curveValue;

    const float pi = 3.14159265358979f;
    std::vector<float> priority(count);
    float sum = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const Internode* bud = buds[i];
        const bool apical = !bud->parent || bud->parent->children[0] == bud;
        // 0 for a bud pointing straight up, 1 for one pointing straight down.
        const float a = std::acos(bud->direction.y / glm::length(bud->direction)) / pi;
        const float heightTerm = bud->position.y / yMax + 1.0f;
        float p = std::pow(std::tanh(1.0f / a), 6.0f / a)
                  * ((2.0f - static_cast<float>(level[i]) / static_cast<float>(levelMax)) * 4.0f
                     + 4.0f * heightTerm * heightTerm)
                  * (std::pow(weightedLight[i] / lightMax + 1.0f, 5.0f) - 1.0f);
        // The draws come in this order, laterals before age, one output each:
        // the sequence is part of what reproduces a tree from a seed.
        if (apical) {
            p = static_cast<float>(p * 1.1);
        } else if (unitRandom() < static_cast<double>(0.8f)) {
            p = 0.0f;
        }
        if (age - bud->birthIteration > 2 && unitRandom() < static_cast<double>(0.9f))
            p = 0.0f;
        priority[i] = p;
        sum += p;
    }

    for (std::size_t i = 0; i < count; ++i) {
        // With every bud gated off or unlit there is nothing to share out;
        // 0/0 would hand each bud a NaN.
        buds[i]->KolicinaResources = sum == 0.0f ? 0.0f : total * priority[i] / sum;
    }

    root->SumResourcesUp();
}
