// The node walks of one growth iteration, on explicit stacks (model/treewalk.h)
// so that no shoot is too long for them. Each visits child 0's subtree before
// child 1's; the order matters for bud burst, which draws random numbers.

#include <cmath>
#include <limits>
#include <vector>

#include <QDebug>

#include "environment/environment.h"
#include "model/growth.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "model/treewalk.h"

namespace {

constexpr float phyllotaxisStep = 144.31f;

bool isLive(const Internode* node)
{
    return !node->removed;
}

} // namespace

int budsOverResourceLimit = 0;

bool sanitizeBudResources(Internode* bud)
{
    const float amount = bud->KolicinaResources;
    if (amount >= 0.0f && amount <= maxBudResources)
        return true;  // also false for NaN
    qDebug().nospace() << "Napačna vrednost KolicinaResources: " << amount;
    if (amount > maxBudResources)
        ++budsOverResourceLimit;
    bud->KolicinaResources = 0.0f;
    return false;
}

void Internode::CountAndMarkShedding()
{
    walkDepthFirst(
        this,
        [](Internode* node) {
            if (node->removed) {
                node->internodeCount = 0;
                return false;
            }
            node->shedMark = false;
            if (node->isBud) {
                sanitizeBudResources(node);
                node->internodeCount = 0;
                return false;
            }
            return true;
        },
        [](Internode* node) {
            int count = 1;
            for (int slot = 0; slot < node->childCount; ++slot)
                count += node->children[slot]->internodeCount;
            node->internodeCount = count;
            node->shedMark = sheddingThreshold > node->resourcesQ / static_cast<float>(count);
        });
}

void Internode::BurstBuds(Tree* tree)
{
    // A bud that bursts is walked into at once, so a bud holding n units grows
    // a chain of n internodes in this pass.
    walkPreOrder(this, [tree](Internode* node) {
        if (node->removed)
            return false;
        // A bud normally arrives here checked by CountAndMarkShedding; the
        // check guards callers that burst without counting first.
        if (node->isBud && sanitizeBudResources(node) && node->KolicinaResources >= 1.0f)
            GrowShoot(node, tree);
        return !node->isBud;
    });
}

void GrowShoot(Internode* bud, Tree* tree)
{
    bud->isBud = false;

    const float d1 = static_cast<float>(uniformRandom(-1.0, 1.0));
    const float d2 = static_cast<float>(uniformRandom(-1.0, 1.0));
    const float d3 = static_cast<float>(uniformRandom(-1.0, 1.0));
    const glm::vec3 random(d3, d2, d1);

    // The three draws are all exactly 0 once in 2^96 bursts; a zero vector
    // has no direction to normalise and would turn the shoot into NaN.
    glm::vec3 randomPart(0.0f);
    if (random != glm::vec3(0.0f))
        randomPart = randomWeight * glm::normalize(random);
    const glm::vec3 own = glm::normalize(bud->direction);
    const glm::vec3 d = own + randomPart + glm::vec3(0.0f, -tropismWeight, 0.0f);
    // With no random share, a tropism of -1 cancels a bud pointing straight
    // down exactly, and one of 1 a bud pointing straight up. What is too short
    // to normalise would make the shoot and all that grows from it NaN: such a
    // shoot grows on along its bud.
    const bool normalisable = glm::dot(d, d) >= std::numeric_limits<float>::min();
    bud->direction = (normalisable ? glm::normalize(d) : own) * internodeLength;

    const float rest = bud->KolicinaResources - 1.0f;

    Internode* apical = CreateBud(bud, identityRotation, phyllotaxisStep, tree, 0);
    if (prolepticGrowth) {
        apical->KolicinaResources = rest;
    } else {
        // Half of the rest, rounded up, but never more than the rest: below
        // one unit the rounding alone would leave the lateral a negative amount.
        const double half = std::ceil(static_cast<double>(rest) * 0.5);
        apical->KolicinaResources = static_cast<float>(std::fmin(half, static_cast<double>(rest)));
    }

    Internode* lateral = CreateBud(bud, rotation45AboutX, phyllotaxisStep, tree, 1);
    lateral->KolicinaResources = rest - apical->KolicinaResources;

    // Only apical buds are known to the environment.
    Environment::instance->addBud(apical);
}

void Internode::UpdateThickness()
{
    // A thickness never decreases; a candidate that is not finite changes nothing.
    auto settle = [](Internode* node, float candidate) {
        if (std::isfinite(candidate) && !(node->thickness > candidate))
            node->thickness = candidate;
    };
    walkDepthFirst(
        this,
        [&](Internode* node) {
            node->previousThickness = node->thickness;
            if (node->removed)
                return false;
            if (node->isBud) {
                settle(node, budThickness);
                return false;
            }
            return true;
        },
        [&](Internode* node) {
            const Internode* c0 = node->children[0];
            const Internode* c1 = node->children[1];
            const float n2 = thicknessExponentN2;
            float candidate = budThickness;
            if (isLive(c0) && isLive(c1)) {
                // With a non-positive exponent the pipe model has no meaning (0
                // gives an infinite candidate), and a thickness never decreases,
                // so one bad value would stick for good.
                candidate = node->thickness;
                if (n2 > 0.0f) {
                    candidate = std::exp((1.0f / n2) *
                                         std::log(std::exp(n2 * std::log(c1->thickness)) +
                                                  std::exp(n2 * std::log(c0->thickness))));
                }
            } else if (isLive(c0)) {
                candidate = thicknessFactorN1 * c0->thickness;
            } else if (isLive(c1)) {
                candidate = thicknessFactorN1 * c1->thickness;
            }
            settle(node, candidate);
        });
}

void ElongateWithThickening(Internode* root, float factor)
{
    walkPreOrder(root, [factor](Internode* node) {
        if (node->isBud || node->removed)
            return false;
        const float growth = factor * (node->thickness - node->previousThickness);
        const float e = static_cast<float>(1.0 + static_cast<double>(growth));
        // Both children move before either subtree is walked; neither subtree
        // reads the other child, so the positions are those of a child-by-child walk.
        for (int slot = 0; slot < node->childCount; ++slot)
            node->children[slot]->position = node->position + e * node->direction;
        return true;
    });
}

bool Internode::ShedMarked(Tree* /*tree*/)
{
    bool removedAny = false;
    walkPreOrder(this, [&removedAny](Internode* node) {
        if (node->removed || node->isBud)
            return false;
        if (!node->shedMark)
            return true;
        for (int slot = 0; slot < node->childCount; ++slot)
            node->children[slot]->UpdateEnvironment(slot == 1, false);
        node->Cut(-1);
        removedAny = true;
        return false;
    });
    return removedAny;
}
