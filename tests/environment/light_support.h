#pragma once
// Shared set-up of the light environment tests: the environment and both light
// models back at their start values, hand-built nodes, and the compute holder
// on the real OpenCL device (pocl in CI), made once per test program.

#include <iostream>

#include <glm/glm.hpp>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/streamcapture.h"

// The environment of the given type with every field of it and of its two
// models at the start values; created on first use.
inline Environment& freshEnvironment(int type)
{
    if (!Environment::instance)
        Environment::create();
    Environment& environment = *Environment::instance;
    environment = Environment();
    environment.markers.reset(new float[125]());
    environment.type = type;
    *ShadowGrid::instance = ShadowGrid();
    *Stozci::instance = Stozci();
    return environment;
}

// A new node in `slot` of `parent` (an internode from now on), owned by it.
inline Internode* addChild(Internode* parent, int slot, const glm::vec3& position, const glm::vec3& direction,
                           int birthIteration)
{
    auto* child = new Internode(parent, birthIteration, parent->depth + 1);
    child->position = position;
    child->direction = direction;
    parent->isBud = false;
    parent->children[slot] = child;
    return child;
}

// The program's one holder, made without its set-up lines in the test output.
inline OpenClHolder& lightHolder()
{
    static OpenClHolder* made = [] {
        StreamCapture out(std::cout);
        StreamCapture err(std::cerr);
        return OpenClHolder::create(true, -1, -1);
    }();
    return *made;
}
