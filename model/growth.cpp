#include "model/growth.h"

#include <chrono>
#include <iostream>

#include "environment/environment.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/parameters.h"
#include "model/tree.h"

void simulationStep()
{
    runSimulationIteration();
}

void runSimulationIteration()
{
    const auto start = std::chrono::steady_clock::now();
    budsOverResourceLimit = 0;

    bool rootIsBud = false;
    for (const Tree* tree : allTrees)
        rootIsBud = rootIsBud || tree->root->isBud;
    if (rootIsBud) {
        // A new tree's root bud needs resources before it can burst.
        std::cout << "SS\n" << std::flush;
        lightAndAllocationPass();
    }

    Environment::instance->clearShadowQueues();
    for (Tree* tree : allTrees) {
        Internode* root = tree->root;
        // Shedding works on the marks set here, before the burst.
        root->CountAndMarkShedding();
        root->BurstBuds(tree);
        root->UpdateThickness();
        if (elongationFactor != 0.0f)
            ElongateWithThickening(root, elongationFactor);
        root->ShedMarked(tree);
        root->CountAndMarkShedding();
    }
    Environment::instance->applyQueuedShadows();

    int total = 0;
    for (Tree* tree : allTrees) {
        tree->root->CountAndMarkShedding();
        total += tree->root->internodeCount;
    }
    for (Tree* tree : allTrees)
        ++tree->age;

    lightAndAllocationPass();

    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    std::cout << "Number of internodes: " << total << " Sim iteration took " << seconds << "s.\n" << std::flush;
}

void restartWithOneTree()
{
    Environment::instance->reset();
    deleteAllTrees();
    allTrees.push_back(new Tree());
}
