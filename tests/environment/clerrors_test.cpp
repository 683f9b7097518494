// Texts of OpenCL status codes and the report that a failing OpenCL call
// produces: one line and an empty line on standard error, the line thrown on.

#include "environment/clerrors.h"
#include "environment/openclholder.h"
#include "support/streamcapture.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// The status codes of OpenCL 1.1 and their texts, as the program shows them.
const std::map<int, std::string> kTexts = {
    {0, "Success!"},
    {-1, "Device not found."},
    {-2, "Device not available"},
    {-3, "Compiler not available"},
    {-4, "Memory object allocation failure"},
    {-5, "Out of resources"},
    {-6, "Out of host memory"},
    {-7, "Profiling information not available"},
    {-8, "Memory copy overlap"},
    {-9, "Image format mismatch"},
    {-10, "Image format not supported"},
    {-11, "Program build failure"},
    {-12, "Map failure"},
    {-30, "Invalid value"},
    {-31, "Invalid device type"},
    {-32, "Invalid platform"},
    {-33, "Invalid device"},
    {-34, "Invalid context"},
    {-35, "Invalid queue properties"},
    {-36, "Invalid command queue"},
    {-37, "Invalid host pointer"},
    {-38, "Invalid memory object"},
    {-39, "Invalid image format descriptor"},
    {-40, "Invalid image size"},
    {-41, "Invalid sampler"},
    {-42, "Invalid binary"},
    {-43, "Invalid build options"},
    {-44, "Invalid program"},
    {-45, "Invalid program executable"},
    {-46, "Invalid kernel name"},
    {-47, "Invalid kernel definition"},
    {-48, "Invalid kernel"},
    {-49, "Invalid argument index"},
    {-50, "Invalid argument value"},
    {-51, "Invalid argument size"},
    {-52, "Invalid kernel arguments"},
    {-53, "Invalid work dimension"},
    {-54, "Invalid work group size"},
    {-55, "Invalid work item size"},
    {-56, "Invalid global offset"},
    {-57, "Invalid event wait list"},
    {-58, "Invalid event"},
    {-59, "Invalid operation"},
    {-60, "Invalid OpenGL object"},
    {-61, "Invalid buffer size"},
    {-62, "Invalid mip-map level"},
};

TEST(OpenClErrorString, KnownCodesHaveTheirText)
{
    ASSERT_EQ(kTexts.size(), 46u);
    for (const auto& [code, text] : kTexts)
        EXPECT_EQ(openClErrorString(code), text) << "code " << code;
}

TEST(OpenClErrorString, EveryOtherCodeIsUnknown)
{
    for (int code = -13; code >= -29; --code)
        EXPECT_EQ(openClErrorString(code), "Unknown") << "code " << code;
    for (int code : {1, 2, 100, -63, -64, -1001, -9999})
        EXPECT_EQ(openClErrorString(code), "Unknown") << "code " << code;
}

struct Raised {
    std::string thrown;
    std::string err;
};

Raised raise(const cl::Error& error)
{
    OpenClHolder holder;
    StreamCapture err(std::cerr);
    try {
        raiseOpenClError(holder, error);
    } catch (const std::string& text) {
        return {text, err.text()};
    }
    ADD_FAILURE() << "raiseOpenClError returned without throwing a std::string";
    return {};
}

TEST(RaiseOpenClError, ReportsTheCallCodeAndTextThenThrowsTheLine)
{
    struct Case {
        cl::Error error;
        std::string line;
    };
    std::vector<Case> cases = {
        {cl::Error(-5, "clFinish"), "OpenCL ERRR: clFinish : -5 Out of resources\n"},
        {cl::Error(-1, "clGetDeviceIDs"), "OpenCL ERRR: clGetDeviceIDs : -1 Device not found.\n"},
        {cl::Error(-1001, "clGetPlatformIDs"), "OpenCL ERRR: clGetPlatformIDs : -1001 Unknown\n"},
        {cl::Error(-38), "OpenCL ERRR: empty : -38 Invalid memory object\n"},
    };
    for (const Case& c : cases) {
        Raised raised = raise(c.error);
        EXPECT_EQ(raised.thrown, c.line);
        EXPECT_EQ(raised.err, c.line + "\n") << "the report is followed by an empty line";
    }
}

TEST(RaiseOpenClError, ReportsARealDeviceFailure)
{
    // A zero-sized buffer is refused by every OpenCL implementation.
    std::vector<cl::Platform> platforms;
    cl::Platform::get(&platforms);
    ASSERT_FALSE(platforms.empty());
    std::vector<cl::Device> devices;
    platforms[0].getDevices(CL_DEVICE_TYPE_ALL, &devices);
    ASSERT_FALSE(devices.empty());
    cl::Context context(devices[0]);
    try {
        cl::Buffer buffer(context, CL_MEM_READ_WRITE, 0);
        FAIL() << "a buffer of 0 bytes was created";
    } catch (const cl::Error& error) {
        Raised raised = raise(error);
        EXPECT_EQ(raised.thrown, "OpenCL ERRR: clCreateBuffer : -61 Invalid buffer size\n");
    }
}

} // namespace
