#include "environment/openclholder.h"

#include "environment/clerrors.h"
#include "environment/devicechoice.h"
#include "environment/glsharing.h"
#include "view/utils.h"

#include <iostream>

OpenClHolder* OpenClHolder::instance = nullptr;

namespace {

std::string describe(const cl::Device& device)
{
    return deviceInfoLine(device.getInfo<CL_DEVICE_NAME>(), device.getInfo<CL_DEVICE_VENDOR>(),
                          device.getInfo<CL_DEVICE_VERSION>());
}

} // namespace

void printDeviceInfo(const cl::Device& device) { std::cout << describe(device) << std::endl; }

OpenClHolder* OpenClHolder::create(bool preferGpu, int clPlatform, int clDevice)
{
    // Published before init, so a failed start-up still leaves the holder reachable.
    instance = new OpenClHolder();
    instance->init(preferGpu, clPlatform, clDevice);
    return instance;
}

OpenClHolder::~OpenClHolder()
{
    shadowGrid = cl::Buffer();
    kernelVboIzStozcev = cl::Kernel();
    kernelVboIzShadowProp = cl::Kernel();
    kernelStozciIzracun = cl::Kernel();
    kernelShadowPropIzracunPopke = cl::Kernel();
    kernelMemSet = cl::Kernel();
    kernelShadowPropIzracun = cl::Kernel();
    queue = cl::CommandQueue();
    context = cl::Context();
    // Whoever reaches the holder through instance afterwards must find nothing,
    // not a freed object.
    if (instance == this)
        instance = nullptr;
}

void OpenClHolder::selectDevice(cl::Platform& platformOut, cl::Device& deviceOut, bool preferGpu, int clPlatform,
                                int clDevice)
{
    std::vector<cl::Platform> platforms;
    cl::Platform::get(&platforms);
    std::vector<std::vector<cl::Device>> devices(platforms.size());
    // Each platform's and device's lines go out as soon as they are read, so
    // a query that fails on a later one leaves the earlier lines standing.
    DeviceChooser chooser(preferGpu, clPlatform, clDevice, std::cout);
    for (size_t p = 0; p < platforms.size(); ++p) {
        PlatformDescription description;
        description.name = platforms[p].getInfo<CL_PLATFORM_NAME>();
        description.vendor = platforms[p].getInfo<CL_PLATFORM_VENDOR>();
        description.version = platforms[p].getInfo<CL_PLATFORM_VERSION>();
        description.profile = platforms[p].getInfo<CL_PLATFORM_PROFILE>();
        description.extensions = platforms[p].getInfo<CL_PLATFORM_EXTENSIONS>();
        chooser.addPlatform(description);
        // The wrapper lists a platform without devices as empty instead of
        // failing; such a platform is skipped (some ICDs list empty platforms).
        platforms[p].getDevices(CL_DEVICE_TYPE_ALL, &devices[p]);
        for (const cl::Device& device : devices[p]) {
            DeviceDescription d;
            d.type = device.getInfo<CL_DEVICE_TYPE>();
            d.name = device.getInfo<CL_DEVICE_NAME>();
            d.vendor = device.getInfo<CL_DEVICE_VENDOR>();
            d.version = device.getInfo<CL_DEVICE_VERSION>();
            chooser.addDevice(d);
        }
    }
    const DeviceChoice choice = chooser.choice();
    if (choice.platform < 0)
        throw cl::Error(CL_DEVICE_NOT_FOUND, "clGetDeviceIDs");
    platformOut = platforms[choice.platform];
    deviceOut = devices[choice.platform][choice.device];
}

void OpenClHolder::createContext(const std::vector<cl_context_properties>& properties)
{
    std::vector<cl::Device> devices{device};
    try {
        context = cl::Context(devices, properties.data());
    } catch (const cl::Error& error) {
        std::cerr << " Error creating new OpenCL context with " << (glSharing ? "sharing" : " ")
                  << " properties: " << error.what() << " " << error.err() << " " << openClErrorString(error.err())
                  << std::endl;
        context = cl::Context(devices);
        glSharing = false;
    }
}

cl::Program OpenClHolder::buildProgram(const std::string& source)
{
    cl::Program program(context, source);
    try {
        program.build(std::vector<cl::Device>{device}, "-cl-single-precision-constant -cl-mad-enable");
    } catch (const cl::Error& buildError) {
        // The log says why the build failed; it goes out before the report.
        try {
            std::cout << program.getBuildInfo<CL_PROGRAM_BUILD_LOG>(device) << std::endl;
            std::cout << program.getBuildInfo<CL_PROGRAM_BUILD_OPTIONS>(device) << std::endl;
        } catch (const cl::Error&) {
        }
        raiseOpenClError(*this, buildError);
    }
    std::cout << program.getBuildInfo<CL_PROGRAM_BUILD_LOG>(device) << std::endl;
    std::cout << program.getBuildInfo<CL_PROGRAM_BUILD_OPTIONS>(device) << std::endl;
    return program;
}

void OpenClHolder::init(bool preferGpu, int clPlatform, int clDevice)
{
    try {
        selectDevice(platform, device, preferGpu, clPlatform, clDevice);

        std::string extensions = device.getInfo<CL_DEVICE_EXTENSIONS>();
        if (extensions.find("cl_khr_gl_sharing") != std::string::npos) {
            glSharing = true;
        } else {
            glSharing = false;
            std::cerr << " OpenGL/OpenCL sharanje ni najdeno (cl_khr_gl_sharing)" << "\n";
        }
        GlSharingProperties gl = currentGlSharingProperties();
        if (glSharing && !gl.current)
            glSharing = false;

        std::vector<cl_context_properties> properties{CL_CONTEXT_PLATFORM,
                                                      reinterpret_cast<cl_context_properties>(platform()), 0, 0,
                                                      0, 0, 0};
        if (glSharing) {
            properties[2] = CL_GL_CONTEXT_KHR;
            properties[3] = gl.glContext;
            properties[4] = gl.displayKey;
            properties[5] = gl.display;
        }
        createContext(properties);

        std::cout << "Build for device " << device.getInfo<CL_DEVICE_NAME>()
                  << " from: " << device.getInfo<CL_DEVICE_VENDOR>() << " v: " << device.getInfo<CL_DEVICE_VERSION>()
                  << std::endl;
        cl::Program program = buildProgram(readFile(":/kernels/gpgpu/jedra.inl"));

        kernelShadowPropIzracun = cl::Kernel(program, "ShadowPropIzracun");
        kernelShadowPropIzracunPopke = cl::Kernel(program, "ShadowPropIzracunPopke");
        kernelMemSet = cl::Kernel(program, "memSet");
        kernelStozciIzracun = cl::Kernel(program, "stozciIzracun");
        kernelVboIzShadowProp = cl::Kernel(program, "vboIzShadowProp");
        kernelVboIzStozcev = cl::Kernel(program, "vboIzStozcev");

        queue = cl::CommandQueue(context, device, 0);
    } catch (const cl::Error& error) {
        raiseOpenClError(*this, error);
    }
}
