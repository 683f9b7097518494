// The device choice over made-up platform and device lists: which device wins
// under each combination of preferred type and command-line indexes, and the
// inventory printed on the way.

#include "environment/devicechoice.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

DeviceDescription cpu(const std::string& name) { return {name, "Vendor C", "OpenCL 1.2", CL_DEVICE_TYPE_CPU}; }
DeviceDescription gpu(const std::string& name) { return {name, "Vendor G", "OpenCL 3.0", CL_DEVICE_TYPE_GPU}; }
DeviceDescription other(const std::string& name, cl_device_type type) { return {name, "Vendor X", "OpenCL 1.1", type}; }

PlatformDescription platform(const std::string& name, std::vector<DeviceDescription> devices)
{
    return {name, "Vendor " + name, "OpenCL 1.2 " + name, "FULL_PROFILE", "cl_khr_icd", std::move(devices)};
}

int countOf(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

struct ChoiceCase {
    const char* what;
    std::vector<PlatformDescription> platforms;
    bool preferGpu;
    int clPlatform;
    int clDevice;
    int expectedPlatform;
    int expectedDevice;
    int expectedSelections;
};

TEST(DeviceChoice, ChoosesByIndexesOrPreferredType)
{
    PlatformDescription cpuOnly = platform("A", {cpu("c0")});
    PlatformDescription twoGpus = platform("B", {gpu("g0"), gpu("g1")});
    PlatformDescription mixed = platform("C", {gpu("g0"), cpu("c1"), gpu("g2"), cpu("c3")});
    std::vector<ChoiceCase> cases = {
        {"CPU then two GPUs, prefer GPU: the last GPU", {cpuOnly, twoGpus}, true, -1, -1, 1, 1, 3},
        {"CPU then two GPUs, prefer CPU: the first device only", {cpuOnly, twoGpus}, false, -1, -1, 0, 0, 1},
        {"platform index alone: the type rule", {cpuOnly, twoGpus}, true, 1, -1, 1, 1, 3},
        {"device index alone: the type rule", {cpuOnly, twoGpus}, true, -1, 0, 1, 1, 3},
        {"both indexes name a device", {cpuOnly, twoGpus}, true, 1, 0, 1, 0, 2},
        {"both indexes name a CPU while GPUs exist", {twoGpus, cpuOnly}, true, 1, 0, 1, 0, 2},
        {"device index past the platform's devices: the first device", {twoGpus}, true, 0, 5, 0, 0, 1},
        {"platform index past the platforms: the first device", {cpuOnly, twoGpus}, true, 7, 0, 0, 0, 1},
        {"prefer CPU among mixed devices: the last CPU", {mixed}, false, -1, -1, 0, 3, 3},
        {"prefer GPU among mixed devices: the last GPU", {mixed}, true, -1, -1, 0, 2, 2},
        {"several type bits do not match",
         {platform("D", {cpu("c0"), other("both", CL_DEVICE_TYPE_GPU | CL_DEVICE_TYPE_ACCELERATOR)})},
         true, -1, -1, 0, 0, 1},
        {"accelerator is never preferred",
         {platform("E", {other("acc", CL_DEVICE_TYPE_ACCELERATOR), other("acc2", CL_DEVICE_TYPE_ACCELERATOR)})},
         false, -1, -1, 0, 0, 1},
        {"platform without devices keeps its index", {platform("Empty", {}), twoGpus}, true, 1, 1, 1, 1, 2},
        {"first device of a later platform when the first lists none", {platform("Empty", {}), cpuOnly}, true,
         -1, -1, 1, 0, 1},
        {"no devices at all: nothing chosen", {platform("Empty", {})}, true, -1, -1, -1, -1, 0},
        {"no platforms: nothing chosen", {}, true, 0, 0, -1, -1, 0},
    };
    for (const ChoiceCase& c : cases) {
        std::ostringstream out;
        DeviceChoice choice = chooseDevice(c.platforms, c.preferGpu, c.clPlatform, c.clDevice, out);
        EXPECT_EQ(choice.platform, c.expectedPlatform) << c.what;
        EXPECT_EQ(choice.device, c.expectedDevice) << c.what;
        EXPECT_EQ(countOf(out.str(), "Last device selected!\n"), c.expectedSelections) << c.what;
    }
}

TEST(DeviceChoice, PrintsTheInventoryInListingOrder)
{
    std::vector<PlatformDescription> platforms = {
        {"Pa", "Va", "1.2 a", "FULL_PROFILE", "cl_khr_icd", {cpu("cpu0")}},
        {"Pb", "Vb", "3.0 b", "EMBEDDED_PROFILE", "", {gpu("gpu0"), gpu("gpu1")}},
    };
    std::ostringstream out;
    chooseDevice(platforms, true, -1, -1, out);
    std::string expected = "0. Platforma Name: Pa, vendVa, v: 1.2 a\n"
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
                           "Last device selected!\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(DeviceChoice, DeviceInfoLine)
{
    EXPECT_EQ(deviceInfoLine("n", "v", "1.1"), "  Device n from: v v: 1.1");
}

} // namespace
