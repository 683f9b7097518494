#include "model/lightpass.h"

#include <cmath>
#include <iostream>
#include <vector>

#include <QDebug>

#include "environment/environment.h"
#include "model/allocation.h"
#include "model/growthcurve.h"
#include "model/histogramstore.h"
#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "model/treewalk.h"

void SumQUp(Internode* root)
{
    walkDepthFirst(
        root,
        [](Internode* node) {
            node->previousQ = node->resourcesQ;
            node->resourcesNumPopkov = 0;
            if (node->removed) {
                node->resourcesQ = 0.0f;
                return false;
            }
            if (node->isBud) {
                node->resourcesNumPopkov = 1;
                if (!std::isfinite(node->resourcesQ) || node->resourcesQ < 0.0f)
                    qDebug().nospace() << "Popek ima neg res " << node->resourcesQ;
                return false;
            }
            return true;
        },
        [](Internode* node) {
            node->resourcesQ = 0.0f;
            for (int slot = 0; slot < node->childCount; ++slot) {
                node->resourcesQ += node->children[slot]->resourcesQ;
                node->resourcesNumPopkov += node->children[slot]->resourcesNumPopkov;
            }
        });
}

void CollectLightHistogram(Internode* root, Tree* tree, double& sum, int& count, int* bins, int binCount)
{
    // Sum and count of every subtree still being walked; a finished subtree
    // adds its own to its parent's, child 0's before child 1's.
    struct Tally {
        double sum = 0.0;
        int count = 0;
    };
    std::vector<Tally> open;
    Tally total;
    auto finish = [&](Internode* node, const Tally& tally) {
        // A subtree without young buds gets 0/0: NaN marks "no light measured".
        node->lightingIndex = tally.sum / static_cast<double>(tally.count);
        Tally& parent = open.empty() ? total : open.back();
        parent.sum += tally.sum;
        parent.count += tally.count;
    };
    walkDepthFirst(
        root,
        [&](Internode* node) {
            node->lightingIndex = 0.0;
            if (node->removed)
                return false;
            Tally own;
            if (isLightBud(node, tree)) {
                own.sum += node->lightExposure;
                // Clamped while still a float: converting a NaN or an
                // out-of-range value to int is undefined. NaN counts as no light.
                float bin = std::floor(static_cast<float>(binCount) * node->lightExposure);
                if (!(bin >= 0.0f))
                    bin = 0.0f;
                if (bin > static_cast<float>(binCount - 1))
                    bin = static_cast<float>(binCount - 1);
                ++bins[static_cast<int>(bin)];
                ++own.count;
            }
            if (node->isBud) {
                finish(node, own);
                return false;
            }
            open.push_back(own);
            return true;
        },
        [&](Internode* node) {
            const Tally tally = open.back();
            open.pop_back();
            finish(node, tally);
        });
    sum = total.sum;
    count = total.count;
}

namespace {

void printTreeLines(const Tree* tree, const HistogramStore& store)
{
    std::cout << "tree: " << static_cast<const void*>(tree) << " Lighting index: " << tree->root->lightingIndex
              << std::endl;
    int total = 0;
    for (int bin : store.bins)
        total += bin;
    std::cout << " histogram: " << " sum: " << total << " " << HistogramStore::binCount << "  bins: ";
    for (int bin : store.bins)
        std::cout << bin << "\t";
    // No line end: the next output goes on on this line.
}

void allocate(Tree* tree, double curveValue)
{
    Internode* root = tree->root;
    switch (allocationModel) {
    case 0:
        root->AllocateFixed();
        break;
    case 1:
        root->AllocateBorchertHonda();
        break;
    case 2:
        AllocateByShares(root, tree);
        break;
    case 3:
        // A negative curve value means no growth, as it does for the root's
        // amount; model 3 would otherwise hand every bud a negative amount. A
        // NaN (a text that does not compile) is passed on as it is.
        tree->AllocateByLightPriority(static_cast<float>(curveValue < 0.0 ? 0.0 : curveValue));
        break;
    default:
        break;
    }
}

}  // namespace

void lightAndAllocationPass()
{
    Environment* environment = Environment::instance;
    environment->clearBudQueue();
    for (Tree* tree : allTrees)
        environment->computeLight(tree->root, tree);
    // The queued light queries of all trees are answered here, in one batch.
    environment->computeQueued();

    // Cleared once per pass: after tree k the bins hold trees 1 to k, and the
    // dialog, repainted after each tree, shows the running total.
    HistogramStore& store = histogramStore();
    for (int& bin : store.bins)
        bin = 0;

    for (Tree* tree : allTrees) {
        Internode* root = tree->root;
        SumQUp(root);
        double exposureSum = 0.0;
        int youngBuds = 0;
        CollectLightHistogram(root, tree, exposureSum, youngBuds, store.bins, HistogramStore::binCount);
        printTreeLines(tree, store);
        notifyHistogramChanged();

        bool ok = false;
        const double value = evaluateGrowthCurve(growthCurveExpression, tree->age + 1.0, ok);
        if (ok)
            root->KolicinaResources = static_cast<float>(static_cast<double>(root->resourcesQ) * value);
        else
            qDebug().nospace() << "napaka pri prevajanju rastne krivulje " << growthCurveExpression.c_str();
        if (root->KolicinaResources < 0.0f)
            root->KolicinaResources = 0.0f;

        allocate(tree, value);
    }
}
