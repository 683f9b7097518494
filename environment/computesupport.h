#pragma once
// Helpers shared by the compute operations and the display fills: argument
// binding in a kernel's parameter order, box corners as float4, element counts
// in size_t, and the device grid's lazy creation.

#include <cstddef>

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

// Throws "dim=0" (a character string, as the program always reported it) for 0
// and "dim=<n>" (std::string) for a negative n.
void rejectNonPositiveDim(int dim);

// Throws a std::string naming `what` when `bytes` exceed the device's largest
// single allocation.
void checkDeviceAllocation(const OpenClHolder& holder, std::size_t bytes, const char* what);

// The kernels index the device grid with the dimension they are given, so the
// grid must exist with exactly that dimension before any of them runs.
void ensureShadowGrid(OpenClHolder& holder, int dim);
