#pragma once
// The device choice of the compute holder as a rule over plain descriptions of
// platforms and devices, so it can be checked without the devices themselves.

#include "environment/opencl.h"

#include <ostream>
#include <string>
#include <vector>

struct DeviceDescription {
    std::string name;
    std::string vendor;
    std::string version;
    cl_device_type type = 0;
};

struct PlatformDescription {
    std::string name;
    std::string vendor;
    std::string version;
    std::string profile;
    std::string extensions;
    std::vector<DeviceDescription> devices;
};

// Indexes of the chosen platform and of the device within it; -1 when no
// platform lists any device.
struct DeviceChoice {
    int platform = -1;
    int device = -1;
};

// "  Device <name> from: <vendor> v: <version>" without the line end.
std::string deviceInfoLine(const std::string& name, const std::string& vendor, const std::string& version);

// The device choice made step by step while the platforms and devices are
// listed. Each step writes its inventory lines at once, so the lines of what
// was listed stand even when listing a later platform or device fails.
class DeviceChooser {
public:
    DeviceChooser(bool preferGpu, int clPlatform, int clDevice, std::ostream& out);
    // The next platform: writes its two lines (its devices are not read here).
    void addPlatform(const PlatformDescription& platform);
    // The next device of the current platform: writes its two lines, and
    // "Last device selected!" when it is chosen.
    void addDevice(const DeviceDescription& device);
    DeviceChoice choice() const { return choice_; }

private:
    bool preferGpu_;
    int clPlatform_;
    int clDevice_;
    std::ostream& out_;
    int platform_ = -1;
    int device_ = -1;
    DeviceChoice choice_;
};

// Writes the inventory of every platform and device to out and returns the
// choice (DeviceChooser over the whole list): the first device listed, replaced by every later device that matches
// both indexes when both are given, or else the preferred type exactly; the
// last match wins.
DeviceChoice chooseDevice(const std::vector<PlatformDescription>& platforms, bool preferGpu, int clPlatform,
                          int clDevice, std::ostream& out);
