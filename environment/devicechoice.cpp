#include "environment/devicechoice.h"

std::string deviceInfoLine(const std::string& name, const std::string& vendor, const std::string& version)
{
    return "  Device " + name + " from: " + vendor + " v: " + version;
}

namespace {

bool matches(int p, int d, cl_device_type type, bool preferGpu, int clPlatform, int clDevice)
{
    if (clPlatform >= 0 && clDevice >= 0)
        return p == clPlatform && d == clDevice;
    // Exact comparison: a device that reports several type bits is not taken.
    return type == (preferGpu ? CL_DEVICE_TYPE_GPU : CL_DEVICE_TYPE_CPU);
}

} // namespace

DeviceChoice chooseDevice(const std::vector<PlatformDescription>& platforms, bool preferGpu, int clPlatform,
                          int clDevice, std::ostream& out)
{
    DeviceChoice choice;
    for (int p = 0; p < static_cast<int>(platforms.size()); ++p) {
        const PlatformDescription& platform = platforms[p];
        out << p << ". " << "Platforma Name: " << platform.name << ", vend" << platform.vendor
            << ", v: " << platform.version << "\n";
        out << " Profile: " << platform.profile << " exts: " << platform.extensions << "\n";
        for (int d = 0; d < static_cast<int>(platform.devices.size()); ++d) {
            const DeviceDescription& device = platform.devices[d];
            out << deviceInfoLine(device.name, device.vendor, device.version) << std::endl;
            out << "  " << d << ". Device " << device.name << " from: " << device.vendor << " v: " << device.version
                << std::endl;
            bool none = choice.platform < 0;
            if (none || matches(p, d, device.type, preferGpu, clPlatform, clDevice)) {
                choice = {p, d};
                out << "Last device selected!\n";
            }
        }
    }
    return choice;
}
