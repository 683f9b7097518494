#include "model/allocation.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include <QDebug>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "model/treewalk.h"

namespace {

bool isInvalidAmount(float value)
{
    return !std::isfinite(value) || value < 0.0f;
}

// tanh(500 / depth)^depth in single precision, the power by repeated
// squaring: exactly 1 down to a depth of 55 (where tanh rounds to 1), then
// falling steeply past a depth of a few hundred, so very deep buds get almost
// nothing.
float depthDamping(int depth)
{
    float base = std::tanh(500.0f / static_cast<float>(depth));
    float power = 1.0f;
    for (unsigned int n = static_cast<unsigned int>(depth); n != 0; n >>= 1) {
        if (n & 1u)
            power *= base;
        base *= base;
    }
    return power;
}

}  // namespace

void Internode::AllocateFixed()
{
    walkPreOrder(this, [](Internode* node) {
        node->KolicinaResources = 0.0f;
        if (node->removed)
            return false;
        if (node->isBud) {
            node->KolicinaResources = 10.0f;
            return false;
        }
        return true;
    });
}

void Internode::AllocateBorchertHonda()
{
    // Each node hands its amount to its two children before either subtree is
    // walked, so a walk in the usual order (apical subtree first) sees every
    // amount it would see splitting recursively.
    walkPreOrder(this, [](Internode* node) {
        if (node->removed)
            return false;
        if (isInvalidAmount(node->KolicinaResources)) {
            qDebug().nospace() << "Napacna KR: " << node->KolicinaResources;
            qDebug().nospace() << node->resourcesQ << " " << static_cast<const void*>(node->parent);
            node->KolicinaResources = 0.0f;
        }
        if (node->isBud)
            return false;

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
            return false;
        }
        const double amount = node->KolicinaResources;
        apical->KolicinaResources = static_cast<float>(amount * lambda * qm / d);
        lateral->KolicinaResources = static_cast<float>(amount * (1.0 - lambda) * ql / d);
        return true;
    });
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

namespace {

// One axis of model 2 between its shares and their hand-out.
struct ShareFrame {
    std::vector<Internode*> axis;
    std::size_t next = 0;
    float sum = 0.0f;
    float baseAmount = 0.0f;
};

// Gives the axis that starts at axisBase its amount and its listed nodes their
// shares, undivided; false when axisBase is removed or a bud (nothing to do).
bool shareAxis(Internode* axisBase, ShareFrame& frame)
{
    if (axisBase->removed || axisBase->isBud)
        return false;

    std::vector<Internode*>& axis = frame.axis;
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
    frame.baseAmount = baseAmount;
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
        node->KolicinaResources = share * baseAmount * depthDamping(node->depth);
        sum += share;
    }
    frame.sum = sum;
    return true;
}

}  // namespace

void AllocateByShares(Internode* axisBase, Tree* /*tree*/)
{
    // Each listed node is divided by its axis's sum and then shares out its own
    // axis before the next listed node is divided, as a recursive hand-out
    // would; the frames stand for the axes that are still being handed out.
    std::vector<ShareFrame> frames(1);
    if (!shareAxis(axisBase, frames.back()))
        return;
    while (!frames.empty()) {
        ShareFrame& frame = frames.back();
        if (frame.next == frame.axis.size()) {
            frames.pop_back();
            continue;
        }
        Internode* node = frame.axis[frame.next++];
        node->KolicinaResources /= frame.sum;
        if (node->KolicinaResources > frame.baseAmount)
            qDebug().nospace() << "____" << node->KolicinaResources << " " << frame.baseAmount;
        // frame is not used past this point: emplace_back may move it.
        frames.emplace_back();
        if (!shareAxis(node, frames.back()))
            frames.pop_back();
    }
}

void collectTerminalBuds(Internode* node, std::vector<Internode*>& list)
{
    if (!node)
        return;
    walkPreOrder(node, [&list](Internode* current) {
        if (current->removed)
            return false;
        if (current->isBud) {
            list.push_back(current);
            return false;
        }
        return true;
    });
}

void Internode::SumResourcesUp()
{
    walkDepthFirst(
        this, [](Internode* node) { return !node->isBud && !node->removed; },
        [](Internode* node) {
            node->KolicinaResources = node->children[1]->KolicinaResources + node->children[0]->KolicinaResources;
        });
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
        light = light * depthDamping(j);
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
