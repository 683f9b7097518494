// OpenCL status texts and the report of a failing call; the device choice over
// made-up platform and device lists, with the inventory it prints.

#include "environment/clerrors.h"
#include "environment/devicechoice.h"
#include "environment/openclholder.h"
#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace {

TEST(OpenClErrorString, TheFortySixCodesHaveTheirTextsAndOthersAreUnknown)
{
    // Codes 0 to -12, then -30 to -62, as the program shows them.
    const char* const low[] = {"Success!", "Device not found.", "Device not available", "Compiler not available",
                               "Memory object allocation failure", "Out of resources", "Out of host memory",
                               "Profiling information not available", "Memory copy overlap",
                               "Image format mismatch", "Image format not supported", "Program build failure",
                               "Map failure"};
    const char* const high[] = {
        "Invalid value", "Invalid device type", "Invalid platform", "Invalid device", "Invalid context",
        "Invalid queue properties", "Invalid command queue", "Invalid host pointer", "Invalid memory object",
        "Invalid image format descriptor", "Invalid image size", "Invalid sampler", "Invalid binary",
        "Invalid build options", "Invalid program", "Invalid program executable", "Invalid kernel name",
        "Invalid kernel definition", "Invalid kernel", "Invalid argument index", "Invalid argument value",
        "Invalid argument size", "Invalid kernel arguments", "Invalid work dimension", "Invalid work group size",
        "Invalid work item size", "Invalid global offset", "Invalid event wait list", "Invalid event",
        "Invalid operation", "Invalid OpenGL object", "Invalid buffer size", "Invalid mip-map level"};
    static_assert(std::size(low) + std::size(high) == 46);
    for (int i = 0; i < int(std::size(low)); ++i)
        EXPECT_EQ(openClErrorString(-i), low[i]);
    for (int i = 0; i < int(std::size(high)); ++i)
        EXPECT_EQ(openClErrorString(-30 - i), high[i]);
    for (int code : {-13, -20, -29, -63, -1001, 1, 100})
        EXPECT_EQ(openClErrorString(code), "Unknown") << code;
}

TEST(RaiseOpenClError, ReportsTheCallCodeAndTextThenThrowsTheLine)
{
    struct Case {
        cl::Error error;
        std::string line;
    };
    const Case cases[] = {
        {cl::Error(-5, "clFinish"), "OpenCL ERRR: clFinish : -5 Out of resources\n"},
        {cl::Error(-1001, "clGetPlatformIDs"), "OpenCL ERRR: clGetPlatformIDs : -1001 Unknown\n"},
        {cl::Error(-38), "OpenCL ERRR: empty : -38 Invalid memory object\n"},
    };
    for (const Case& c : cases) {
        OpenClHolder holder;
        StreamCapture err(std::cerr);
        std::string thrown;
        try {
            raiseOpenClError(holder, c.error);
        } catch (const std::string& text) {
            thrown = text;
        }
        EXPECT_EQ(thrown, c.line);
        EXPECT_EQ(err.text(), c.line + "\n") << "the report and an empty line";
    }
}

DeviceDescription cpu(const char* name) { return {name, "Vendor C", "OpenCL 1.2", CL_DEVICE_TYPE_CPU}; }
DeviceDescription gpu(const char* name) { return {name, "Vendor G", "OpenCL 3.0", CL_DEVICE_TYPE_GPU}; }
DeviceDescription other(const char* name, cl_device_type type) { return {name, "Vendor X", "OpenCL 1.1", type}; }
PlatformDescription platform(const std::string& name, std::vector<DeviceDescription> devices)
{
    return {name, "V" + name, "1.2 " + name, "FULL_PROFILE", "cl_khr_icd", std::move(devices)};
}

TEST(DeviceChoice, ChoosesByIndexesOrPreferredTypeTheLastMatchWinning)
{
    struct Case {
        const char* what;
        std::vector<PlatformDescription> platforms;
        bool preferGpu;
        int clPlatform, clDevice;
        int platform, device, selections;
    };
    const PlatformDescription cpuOnly = platform("A", {cpu("c0")});
    const PlatformDescription twoGpus = platform("B", {gpu("g0"), gpu("g1")});
    const PlatformDescription mixed = platform("C", {gpu("g0"), cpu("c1"), gpu("g2"), cpu("c3")});
    const PlatformDescription empty = platform("Empty", {});
    const Case cases[] = {
        {"prefer GPU: the last GPU", {cpuOnly, twoGpus}, true, -1, -1, 1, 1, 3},
        {"prefer CPU: the first device, no later CPU", {cpuOnly, twoGpus}, false, -1, -1, 0, 0, 1},
        {"prefer CPU among mixed: the last CPU", {mixed}, false, -1, -1, 0, 3, 3},
        {"platform index alone: the type rule", {cpuOnly, twoGpus}, true, 1, -1, 1, 1, 3},
        {"device index alone: the type rule", {cpuOnly, twoGpus}, true, -1, 0, 1, 1, 3},
        {"both indexes name a device", {cpuOnly, twoGpus}, true, 1, 0, 1, 0, 2},
        {"both indexes name a CPU while GPUs exist", {twoGpus, cpuOnly}, true, 1, 0, 1, 0, 2},
        {"device index past the devices: the first device", {twoGpus}, true, 0, 5, 0, 0, 1},
        {"platform index past the platforms: the first device", {cpuOnly, twoGpus}, true, 7, 0, 0, 0, 1},
        {"several type bits do not match",
         {platform("D", {cpu("c0"), other("both", CL_DEVICE_TYPE_GPU | CL_DEVICE_TYPE_ACCELERATOR)})}, true, -1, -1,
         0, 0, 1},
        {"an accelerator is never preferred",
         {platform("E", {other("a0", CL_DEVICE_TYPE_ACCELERATOR), other("a1", CL_DEVICE_TYPE_ACCELERATOR)})}, false,
         -1, -1, 0, 0, 1},
        // A platform that lists no device is skipped, not a failure.
        {"an empty platform keeps its index", {empty, twoGpus}, true, 1, 1, 1, 1, 2},
        {"an empty first platform: a later platform's first device", {empty, cpuOnly}, true, -1, -1, 1, 0, 1},
        {"no device anywhere: nothing chosen", {empty}, true, -1, -1, -1, -1, 0},
        {"no platforms: nothing chosen", {}, true, 0, 0, -1, -1, 0},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        const DeviceChoice choice = chooseDevice(c.platforms, c.preferGpu, c.clPlatform, c.clDevice, out);
        EXPECT_EQ(choice.platform, c.platform) << c.what;
        EXPECT_EQ(choice.device, c.device) << c.what;
        int selections = 0;
        for (size_t at = out.str().find("Last device selected!\n"); at != std::string::npos;
             at = out.str().find("Last device selected!\n", at + 1))
            ++selections;
        EXPECT_EQ(selections, c.selections) << c.what;
    }
}

TEST(DeviceChoice, PrintsTheInventoryInListingOrder)
{
    const std::vector<PlatformDescription> platforms = {
        {"Pa", "Va", "1.2 a", "FULL_PROFILE", "cl_khr_icd", {cpu("cpu0")}},
        {"Pb", "Vb", "3.0 b", "EMBEDDED_PROFILE", "", {gpu("gpu0"), gpu("gpu1")}},
    };
    std::ostringstream out;
    chooseDevice(platforms, true, -1, -1, out);
    EXPECT_EQ(out.str(), "0. Platforma Name: Pa, vendVa, v: 1.2 a\n"
                         " Profile: FULL_PROFILE exts: cl_khr_icd\n"
                         "  Device cpu0 from: Vendor C v: OpenCL 1.2\n"
                         "  0. Device cpu0 from: Vendor C v: OpenCL 1.2\n"
                         "Last device selected!\n"
                         "1. Platforma Name: Pb, vendVb, v: 3.0 b\n"
                         " Profile: EMBEDDED_PROFILE exts: \n"
                         "  Device gpu0 from: Vendor G v: OpenCL 3.0\n"
                         "  0. Device gpu0 from: Vendor G v: OpenCL 3.0\n"
                         "Last device selected!\n"
                         "  Device gpu1 from: Vendor G v: OpenCL 3.0\n"
                         "  1. Device gpu1 from: Vendor G v: OpenCL 3.0\n"
                         "Last device selected!\n");
}

// Each platform's and device's lines are out before the next one is listed,
// so that a failing query of a later one cannot hide them.
TEST(DeviceChoice, WritesEachLineAsSoonAsItIsListed)
{
    std::ostringstream out;
    DeviceChooser chooser(true, -1, -1, out);
    chooser.addPlatform(platform("Pa", {}));
    EXPECT_EQ(out.str(), "0. Platforma Name: Pa, vendVPa, v: 1.2 Pa\n Profile: FULL_PROFILE exts: cl_khr_icd\n");
    chooser.addDevice(cpu("cpu0"));
    EXPECT_EQ(out.str().substr(out.str().find("  Device")),
              "  Device cpu0 from: Vendor C v: OpenCL 1.2\n  0. Device cpu0 from: Vendor C v: OpenCL 1.2\n"
              "Last device selected!\n");
    chooser.addPlatform(platform("Pb", {}));
    EXPECT_EQ(out.str().substr(out.str().rfind("1. ")), "1. Platforma Name: Pb, vendVPb, v: 1.2 Pb\n"
                                                          " Profile: FULL_PROFILE exts: cl_khr_icd\n");
    EXPECT_EQ(chooser.choice().platform, 0);
}

} // namespace
