// The compute operations of the OpenCL holder used by the light models: the
// device shadow grid (dimension, pyramid updates, light queries), the cone light
// and the launch and fill helpers they share.

#include "environment/openclholder.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include <QDebug>

#include "environment/clerrors.h"
#include "environment/computesupport.h"

namespace {

constexpr std::size_t floatSize = sizeof(float);
constexpr std::size_t packedVec3Size = 3 * sizeof(float);
constexpr std::size_t vec4Size = 4 * sizeof(float);
// Host fills go in slices of this many floats, so a large grid needs no
// grid-sized host array.
constexpr std::size_t hostFillSlice = std::size_t(1) << 22;

void* hostPointer(const void* data)
{
    // CL_MEM_USE_HOST_PTR takes a mutable pointer; these buffers are read-only.
    return const_cast<void*>(data);
}

}  // namespace

void rejectNonPositiveDim(int dim)
{
    if (dim == 0)
        throw "dim=0";
    if (dim < 0)
        throw std::string("dim=") + std::to_string(dim);
}

void checkDeviceAllocation(const OpenClHolder& holder, std::size_t bytes, const char* what)
{
    cl_ulong limit = 0;
    try {
        limit = holder.device.getInfo<CL_DEVICE_MAX_MEM_ALLOC_SIZE>();
    } catch (const cl::Error& error) {
        raiseOpenClError(holder, error);
    }
    if (bytes > limit)
        throw std::string(what) + " needs " + std::to_string(bytes) +
            " bytes in one OpenCL buffer, more than the device allows (" + std::to_string(limit) + " bytes)";
}

void ensureShadowGrid(OpenClHolder& holder, int dim)
{
    if (holder.shadowGridDim != dim || !holder.shadowGrid())
        holder.ShadowPropSetDim(dim);
}

std::vector<KernelLaunch> launchPlan(std::size_t globalSize, int requestedLocalSize, std::size_t globalOffset)
{
    std::vector<KernelLaunch> plan;
    const std::size_t local = static_cast<std::size_t>(std::clamp(requestedLocalSize, 1, 128));
    std::size_t offset = globalOffset;
    std::size_t left = globalSize;
    for (const std::size_t group : {local, std::min<std::size_t>(8, local), std::size_t(1)}) {
        const std::size_t count = left - left % group;
        if (count == 0)
            continue;
        plan.push_back({offset, count, group});
        offset += count;
        left -= count;
    }
    return plan;
}

std::vector<KernelLaunch> inOrderPlan(std::size_t globalSize, int requestedLocalSize, std::size_t globalOffset)
{
    std::vector<KernelLaunch> plan;
    // The groups of launchPlan, one group per launch.
    for (const KernelLaunch& launch : launchPlan(globalSize, requestedLocalSize, globalOffset)) {
        for (std::size_t done = 0; done < launch.globalSize; done += launch.groupSize)
            plan.push_back({launch.offset + done, launch.groupSize, launch.groupSize});
    }
    return plan;
}

void OpenClHolder::runKernel1D(cl::Kernel& kernel, std::size_t globalSize, int requestedLocalSize,
                               std::size_t globalOffset)
{
    if (globalSize == 0)
        return;
    // A device may allow this kernel smaller groups than the usual 128.
    const auto kernelLimit = kernel.getWorkGroupInfo<CL_KERNEL_WORK_GROUP_SIZE>(device);
    const int local = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(requestedLocalSize, 1)),
                                                             std::max<std::size_t>(kernelLimit, 1)));
    for (const KernelLaunch& launch : launchPlan(globalSize, local, globalOffset))
        queue.enqueueNDRangeKernel(kernel, cl::NDRange(launch.offset), cl::NDRange(launch.globalSize),
                                   cl::NDRange(launch.groupSize));
}

void OpenClHolder::MemSet(float value, cl::Buffer& buffer, std::size_t n)
{
    std::cout << "MemSet\n" << std::flush;
    if (n == 0)
        return;
    try {
        setKernelArgs(kernelMemSet, value, buffer);
        runKernel1D(kernelMemSet, n, launchGroupSize, 0);
        queue.finish();
        return;
    } catch (const cl::Error& error) {
        std::cout << "OpenCL ERRR: " << std::endl << error.what() << " : " << error.err() << std::endl;
    }
    // The buffer is the shadow grid or a display buffer: left unfilled, every
    // value read from it later would be silently wrong, so fill it from the host.
    try {
        const std::vector<float> slice(std::min(n, hostFillSlice), value);
        for (std::size_t done = 0; done < n; done += slice.size()) {
            const std::size_t count = std::min(slice.size(), n - done);
            queue.enqueueWriteBuffer(buffer, CL_TRUE, done * floatSize, count * floatSize, slice.data());
        }
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
}

void OpenClHolder::ShadowPropSetDim(int dim)
{
    std::cout << "ShadowPropSetDim\n" << std::flush;
    rejectNonPositiveDim(dim);
    const std::size_t cells = cubeOf(dim);
    checkDeviceAllocation(*this, cells * floatSize, ("A shadow grid of " + std::to_string(dim) + "^3 cells").c_str());
    // Release the old grid first so that both never hold device memory at once.
    shadowGrid = cl::Buffer();
    shadowGridDim = 0;
    try {
        shadowGrid = cl::Buffer(context, CL_MEM_READ_WRITE, cells * floatSize);
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
    shadowGridDim = dim;
    MemSet(0.0f, shadowGrid, cells);
}

void OpenClHolder::CalcShadowProp(const glm::vec3* positions, int n, int dimShadowArray, int spQmax, float spA,
                                  float spB, const glm::vec3& bboxMin, const glm::vec3& bboxD, float predznak)
{
    std::cout << "CalcShadowProp\n" << std::flush;
    qDebug().nospace() << "Start CalcShadowProp: " << n;
    if (n <= 0)
        return;
    ensureShadowGrid(*this, dimShadowArray);
    try {
        cl::Buffer popki(context, CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR, n * packedVec3Size,
                         hostPointer(positions));
        setKernelArgs(kernelShadowPropIzracun, popki, dimShadowArray, spQmax, spA, spB, toFloat4(bboxMin),
                      toFloat4(bboxD), shadowGrid, predznak);
        // One group per launch: the pyramids are added bud by bud in batch
        // order, so the grid's sums come out the same on every run.
        const std::size_t kernelLimit = kernelShadowPropIzracun.getWorkGroupInfo<CL_KERNEL_WORK_GROUP_SIZE>(device);
        const int local = static_cast<int>(std::min<std::size_t>(launchGroupSize, std::max<std::size_t>(kernelLimit, 1)));
        for (const KernelLaunch& launch : inOrderPlan(static_cast<std::size_t>(n), local, 0))
            queue.enqueueNDRangeKernel(kernelShadowPropIzracun, cl::NDRange(launch.offset),
                                       cl::NDRange(launch.globalSize), cl::NDRange(launch.groupSize));
        queue.finish();
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
    qDebug() << "End CalcShadowProp";
}

void OpenClHolder::CalcShadowPropIzracunPopke(const glm::vec3* positions, int n, int dimShadowArray,
                                              const glm::vec3& bboxMin, const glm::vec3& bboxD, float fullExp,
                                              float spA, float* light, glm::vec3* directions)
{
    std::cout << "CalcShadowPropIzracunPopke\n" << std::flush;
    qDebug() << "Start CalcShadowPropIzracunPopke";
    qDebug() << " CalcShadowPropIzracunPopke stpopkov" << n;
    if (n <= 0)
        return;
    ensureShadowGrid(*this, dimShadowArray);
    const auto count = static_cast<std::size_t>(n);
    try {
        cl::Buffer popki(context, CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR, count * packedVec3Size,
                         hostPointer(positions));
        cl::Buffer vrednosti(context, CL_MEM_WRITE_ONLY, count * floatSize);
        cl::Buffer optOrients(context, CL_MEM_WRITE_ONLY, count * packedVec3Size);
        setKernelArgs(kernelShadowPropIzracunPopke, popki, dimShadowArray, toFloat4(bboxMin), toFloat4(bboxD),
                      fullExp, spA, shadowGrid, vrednosti, optOrients);
        runKernel1D(kernelShadowPropIzracunPopke, count, launchGroupSize, 0);
        queue.finish();
        queue.enqueueReadBuffer(vrednosti, CL_TRUE, 0, count * floatSize, light);
        queue.enqueueReadBuffer(optOrients, CL_TRUE, 0, count * packedVec3Size, directions);
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
    qDebug() << "End CalcShadowPropIzracunPopke";
}

void OpenClHolder::CalcStozci(const glm::vec4* buds, int nBuds, const glm::vec4* cones, int nCones, float* results)
{
    if (nBuds <= 0)
        return;
    const auto budCount = static_cast<std::size_t>(nBuds);
    try {
        cl::Buffer popki(context, CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR, budCount * vec4Size, hostPointer(buds));
        // With no cone the kernel reads none, but the buffer must still exist.
        cl::Buffer vsiStozci =
            nCones >= 1 ? cl::Buffer(context, CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR,
                                     static_cast<std::size_t>(nCones) * vec4Size, hostPointer(cones))
                        : cl::Buffer(context, CL_MEM_READ_ONLY, vec4Size);
        cl::Buffer vrednostiSence(context, CL_MEM_WRITE_ONLY, budCount * floatSize);
        setKernelArgs(kernelStozciIzracun, popki, vsiStozci, std::max(nCones, 0), vrednostiSence);
        runKernel1D(kernelStozciIzracun, budCount, 1024, 0);
        queue.enqueueBarrier();
        queue.finish();
        queue.enqueueReadBuffer(vrednostiSence, CL_TRUE, 0, budCount * floatSize, results);
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
}
