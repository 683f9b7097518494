#pragma once
// Shared set-up of the environment tests: the environment and both light
// models at their start values, hand-built nodes, the compute holder on the
// real OpenCL device (pocl in CI), and the cone shadow in double precision.

#include <cmath>
#include <iostream>
#include <vector>

#include <glm/glm.hpp>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/streamcapture.h"

// The environment of the given type, it and both models at their start values.
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

// The program's one holder, made once, its set-up lines kept out of the output.
inline OpenClHolder& lightHolder()
{
    static OpenClHolder* made = [] {
        StreamCapture out(std::cout);
        StreamCapture err(std::cerr);
        return OpenClHolder::create(true, -1, -1);
    }();
    return *made;
}

// The shadow of one cone apex on a point: tanh(1/r)^r, plus (dy/5) / sinh(2 dR
// + dy/5) where the apex is dy above the point at horizontal distance dR.
inline double coneShadow(const glm::dvec3& apex, const glm::dvec3& point)
{
    const double r = glm::length(apex - point);
    const double dy = (apex.y - point.y) / 5.0;
    if (r <= 0.0)
        return 1.0;
    const double v = std::pow(std::tanh(1.0 / r), r);
    return dy <= 0.0 ? v : v + dy / std::sinh(2.0 * glm::length(glm::dvec2(apex.x - point.x, apex.z - point.z)) + dy);
}

// A bud's light under all apexes: 1 - sum / 80, at least 0; none below y = -1.
inline double coneLight(const std::vector<glm::vec4>& apexes, const glm::vec3& bud)
{
    if (bud.y < -1.0f)
        return 0.0;
    double sum = 0.0;
    for (const glm::vec4& apex : apexes)
        sum += coneShadow(glm::dvec3(apex), glm::dvec3(bud));
    return std::max(1.0 - sum / 80.0, 0.0);
}

// The holder's device grid, read back or overwritten whole.
inline std::vector<float> readDeviceGrid(OpenClHolder& holder)
{
    std::vector<float> cells(size_t(holder.shadowGridDim) * holder.shadowGridDim * holder.shadowGridDim);
    holder.queue.enqueueReadBuffer(holder.shadowGrid, CL_TRUE, 0, cells.size() * sizeof(float), cells.data());
    return cells;
}

inline void writeDeviceGrid(OpenClHolder& holder, const std::vector<float>& cells)
{
    holder.queue.enqueueWriteBuffer(holder.shadowGrid, CL_TRUE, 0, cells.size() * sizeof(float), cells.data());
}
