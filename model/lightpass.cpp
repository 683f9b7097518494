#include "model/lightpass.h"

#include "environment/environment.h"
#include "model/tree.h"

void lightAndAllocationPass()
{
    Environment::instance->clearBudQueue();
    for (Tree* tree : allTrees)
        Environment::instance->computeLight(tree->root, tree);
    Environment::instance->computeQueued();
}
