#pragma once
// The simulation driver and the structural half of one growth iteration: bud
// burst, pipe-model thickness, elongation and shedding. The resource half is
// the light and resource pass, which the iteration runs at its end.

struct Internode;
struct Tree;

// Amounts above this are treated like negative, NaN or infinite ones: each
// unit grows one internode, so a larger amount can only come from a runaway
// growth curve and would grow an unbounded shoot in one iteration.
constexpr float maxBudResources = 10000.0f;

// How many buds sanitizeBudResources reset for holding more than
// maxBudResources since the current or last iteration began, so that the user
// can be told why a runaway growth curve grew nothing.
extern int budsOverResourceLimit;

// Runs one growth iteration.
void simulationStep();

// One iteration over every tree of allTrees; prints the internode count and
// the elapsed seconds to standard output.
void runSimulationIteration();

// Resets the environment and replaces every tree by one new tree.
void restartWithOneTree();

// Turns a bud into an internode with two new buds and hands them the bud's
// resources less one unit. Draws three random values.
void GrowShoot(Internode* bud, Tree* tree);

// Moves the subtree's positions by how much each internode thickened in the
// last thickness pass, times `factor`. Directions are left as they are.
void ElongateWithThickening(Internode* node, float factor);

// Resets a bud's resource amount to 0, with a message on the debug stream,
// when it is negative, NaN, infinite or above maxBudResources. Returns whether
// the amount was valid.
bool sanitizeBudResources(Internode* bud);
