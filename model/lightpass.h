#pragma once
// The light and resource pass: light for every young bud, sums towards each
// root, the light histogram, the growth curve and the allocation of resources.
// It runs at the end of every growth iteration and after every change of the
// trees' structure.

struct Internode;
struct Tree;

// The whole pass over allTrees. Prints one lighting line and one histogram
// line per tree to standard output and notifies the histogram once per tree.
void lightAndAllocationPass();

// Sums resourcesQ and the live bud count (resourcesNumPopkov) of the subtree
// into every internode; keeps the previous Q in previousQ.
void SumQUp(Internode* node);

// Adds the exposure class of every young bud of the subtree to `bins` (`binCount`
// classes over [0, 1]) and sets each node's lightingIndex to the mean exposure
// of its young buds (NaN where it has none). `sum` and `count` return the
// subtree's exposure sum and young-bud count.
void CollectLightHistogram(Internode* node, Tree* tree, double& sum, int& count, int* bins, int binCount);
