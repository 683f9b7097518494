#pragma once
// Small trees made by hand for the light-pass and allocation tests.

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"

// Turns `bud` into an internode with an apical (slot 0) and a lateral (slot 1)
// bud, born at the tree's current age; no draws, no resources, no environment.
inline Internode* burstByHand(Internode* bud, Tree* tree)
{
    bud->isBud = false;
    CreateBud(bud, identityRotation, 144.31f, tree, 0);
    CreateBud(bud, rotation45AboutX, 144.31f, tree, 1);
    return bud;
}
