#pragma once
// The four resource-allocation models, which hand a root's resource amount down
// to the buds (a bud holding at least 1 bursts in the next iteration). Models 0
// and 1 and the axis and upward-sum helpers are members of Internode, model 3 a
// member of Tree; this header adds the free functions.
//
// 0 Internode::AllocateFixed           a fixed amount per bud
// 1 Internode::AllocateBorchertHonda   split by light with bhLambda
// 2 AllocateByShares                   shares along each axis
// 3 Tree::AllocateByLightPriority      light priority with random gating

#include <vector>

struct Internode;
struct Tree;

// Model 2 on the axis that starts at `axisBase` and, through its laterals, on
// every axis above it. Writes delez and KolicinaResources of the listed nodes.
void AllocateByShares(Internode* axisBase, Tree* tree);

// Appends the buds of the subtree, depth first, child 0 before child 1. A null
// node or a removed stub adds nothing.
void collectTerminalBuds(Internode* node, std::vector<Internode*>& list);
