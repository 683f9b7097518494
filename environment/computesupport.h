#pragma once
// Helpers shared by the compute operations and the display fills: argument
// binding in a kernel's parameter order, box corners as float4, element counts
// in size_t, and the device grid's lazy creation.

#include <cstddef>
#include <vector>

#include <glm/glm.hpp>

#include "environment/opencl.h"

struct OpenClHolder;

// Binds the arguments from index 0 upward, one clSetKernelArg each.
template <typename... Args>
void setKernelArgs(cl::Kernel& kernel, const Args&... args)
{
    cl_uint index = 0;
    (kernel.setArg(index++, args), ...);
}

inline cl_float4 toFloat4(const glm::vec3& v, float w = 1.0f) { return cl_float4{{v.x, v.y, v.z, w}}; }
inline cl_float4 toFloat4(const glm::vec4& v) { return cl_float4{{v.x, v.y, v.z, v.w}}; }

// dim^3 without overflow; dim must be positive.
inline std::size_t cubeOf(int dim)
{
    const auto d = static_cast<std::size_t>(dim);
    return d * d * d;
}

// Every launch of the compute operations asks for groups of this many work-items.
constexpr int launchGroupSize = 128;

// One enqueue of a one-dimensional range.
struct KernelLaunch {
    std::size_t offset;
    std::size_t globalSize;
    std::size_t groupSize;
};

// The launches that cover globalSize work-items from globalOffset: as many
// full groups of the requested size (at most 128) as fit, then what is left in
// groups of 8, then in groups of 1. Every global size is a multiple of its
// group size, as OpenCL 1.1 devices require, and every launch uses one of three
// group sizes whatever the count: a device that compiles a kernel anew for each
// group size (pocl does) compiles at most three versions of it.
std::vector<KernelLaunch> launchPlan(std::size_t globalSize, int requestedLocalSize, std::size_t globalOffset);

// The work-groups of launchPlan, each launched on its own and in order. A CPU
// device runs a group on one thread in work-item order, so the items are
// visited in index order, however many there are.
std::vector<KernelLaunch> inOrderPlan(std::size_t globalSize, int requestedLocalSize, std::size_t globalOffset);

// Throws "dim=0" (a character string, as the program always reported it) for 0
// and "dim=<n>" (std::string) for a negative n.
void rejectNonPositiveDim(int dim);

// Throws a std::string naming `what` when `bytes` exceed the device's largest
// single allocation.
void checkDeviceAllocation(const OpenClHolder& holder, std::size_t bytes, const char* what);

// The kernels index the device grid with the dimension they are given, so the
// grid must exist with exactly that dimension before any of them runs.
void ensureShadowGrid(OpenClHolder& holder, int dim);
