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

DeviceChooser::DeviceChooser(bool preferGpu, int clPlatform, int clDevice, std::ostream& out)
    : preferGpu_(preferGpu), clPlatform_(clPlatform), clDevice_(clDevice), out_(out)
{
}

void DeviceChooser::addPlatform(const PlatformDescription& platform)
{
    ++platform_;
    device_ = -1;
    out_ << platform_ << ". " << "Platforma Name: " << platform.name << ", vend" << platform.vendor
         << ", v: " << platform.version << "\n";
    out_ << " Profile: " << platform.profile << " exts: " << platform.extensions << "\n";
    out_.flush();
}

void DeviceChooser::addDevice(const DeviceDescription& device)
{
    ++device_;
    out_ << deviceInfoLine(device.name, device.vendor, device.version) << std::endl;
    out_ << "  " << device_ << ". Device " << device.name << " from: " << device.vendor << " v: " << device.version
         << std::endl;
    const bool none = choice_.platform < 0;
    if (none || matches(platform_, device_, device.type, preferGpu_, clPlatform_, clDevice_)) {
        choice_ = {platform_, device_};
        out_ << "Last device selected!\n";
        out_.flush();
    }
}

DeviceChoice chooseDevice(const std::vector<PlatformDescription>& platforms, bool preferGpu, int clPlatform,
                          int clDevice, std::ostream& out)
{
    DeviceChooser chooser(preferGpu, clPlatform, clDevice, out);
    for (const PlatformDescription& platform : platforms) {
        chooser.addPlatform(platform);
        for (const DeviceDescription& device : platform.devices)
            chooser.addDevice(device);
    }
    return chooser.choice();
}
