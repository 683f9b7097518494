#pragma once
// The program's one OpenCL compute object: the chosen device, a context that
// shares buffers with the view's OpenGL context where the driver allows, the six
// kernels of the kernel program, the one command queue and the device copy of
// the shadow grid. Created when the view's OpenGL context first initialises and
// destroyed by the main window.

#include "environment/opencl.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <string>
#include <vector>

struct OpenClHolder {
    cl::Device device;
    cl::Platform platform;
    cl::Context context;
    bool glSharing = true;
    cl::CommandQueue queue;
    cl::Kernel kernelShadowPropIzracun;
    cl::Kernel kernelMemSet;
    cl::Kernel kernelShadowPropIzracunPopke;
    cl::Kernel kernelStozciIzracun;
    cl::Kernel kernelVboIzShadowProp;
    cl::Kernel kernelVboIzStozcev;
    // Empty until ShadowPropSetDim first runs.
    cl::Buffer shadowGrid;
    // Cells per axis of shadowGrid (0 while it does not exist).
    int shadowGridDim = 0;

    static OpenClHolder* instance;

    // Allocates the holder, stores it in instance, then initialises it.
    static OpenClHolder* create(bool preferGpu, int clPlatform, int clDevice);

    OpenClHolder() = default;
    ~OpenClHolder();
    OpenClHolder(const OpenClHolder&) = delete;
    OpenClHolder& operator=(const OpenClHolder&) = delete;

    void init(bool preferGpu, int clPlatform, int clDevice);
    void selectDevice(cl::Platform& platformOut, cl::Device& deviceOut, bool preferGpu, int clPlatform,
                      int clDevice);
    // Steps of init: a context on device (plain again when the given properties
    // fail), and the kernel program built for device with its log printed.
    void createContext(const std::vector<cl_context_properties>& properties);
    cl::Program buildProgram(const std::string& source);

    // Compute operations; each waits for its work before it returns.
    // Enqueues the launches of launchPlan, the group size also capped to what
    // the device allows the kernel.
    void runKernel1D(cl::Kernel& kernel, std::size_t globalSize, int requestedLocalSize, std::size_t globalOffset);
    // Fills the first n floats; when the kernel fails it reports and fills from the host.
    void MemSet(float value, cl::Buffer& buffer, std::size_t n);
    void CalcShadowProp(const glm::vec3* positions, int n, int dimShadowArray, int spQmax, float spA, float spB,
                        const glm::vec3& bboxMin, const glm::vec3& bboxD, float predznak);
    void CalcShadowPropIzracunPopke(const glm::vec3* positions, int n, int dimShadowArray,
                                    const glm::vec3& bboxMin, const glm::vec3& bboxD, float fullExp, float spA,
                                    float* light, glm::vec3* directions);
    void CalcVBOShadowProp(unsigned int glBuffer, int dim, const glm::vec3& bboxMin, const glm::vec3& bboxD,
                           float alfa);
    void CalcVboIzStozcev(unsigned int glBuffer, const glm::vec4* points, int count, int dim, glm::vec3& fieldMin,
                          glm::vec3& fieldMax);
    void ShadowPropSetDim(int dim);
    void CalcStozci(const glm::vec4* buds, int nBuds, const glm::vec4* cones, int nCones, float* results);
};

// Writes the two-line description of a device to standard output.
void printDeviceInfo(const cl::Device& device);
