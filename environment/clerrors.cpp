#include "environment/clerrors.h"

#include <iostream>

std::string openClErrorString(int code)
{
    switch (code) {
    case 0: return "Success!";
    case -1: return "Device not found.";
    case -2: return "Device not available";
    case -3: return "Compiler not available";
    case -4: return "Memory object allocation failure";
    case -5: return "Out of resources";
    case -6: return "Out of host memory";
    case -7: return "Profiling information not available";
    case -8: return "Memory copy overlap";
    case -9: return "Image format mismatch";
    case -10: return "Image format not supported";
    case -11: return "Program build failure";
    case -12: return "Map failure";
    case -30: return "Invalid value";
    case -31: return "Invalid device type";
    case -32: return "Invalid platform";
    case -33: return "Invalid device";
    case -34: return "Invalid context";
    case -35: return "Invalid queue properties";
    case -36: return "Invalid command queue";
    case -37: return "Invalid host pointer";
    case -38: return "Invalid memory object";
    case -39: return "Invalid image format descriptor";
    case -40: return "Invalid image size";
    case -41: return "Invalid sampler";
    case -42: return "Invalid binary";
    case -43: return "Invalid build options";
    case -44: return "Invalid program";
    case -45: return "Invalid program executable";
    case -46: return "Invalid kernel name";
    case -47: return "Invalid kernel definition";
    case -48: return "Invalid kernel";
    case -49: return "Invalid argument index";
    case -50: return "Invalid argument value";
    case -51: return "Invalid argument size";
    case -52: return "Invalid kernel arguments";
    case -53: return "Invalid work dimension";
    case -54: return "Invalid work group size";
    case -55: return "Invalid work item size";
    case -56: return "Invalid global offset";
    case -57: return "Invalid event wait list";
    case -58: return "Invalid event";
    case -59: return "Invalid operation";
    case -60: return "Invalid OpenGL object";
    case -61: return "Invalid buffer size";
    case -62: return "Invalid mip-map level";
    default: return "Unknown";
    }
}

void raiseOpenClError(const OpenClHolder&, const cl::Error& error)
{
    std::string report = std::string("OpenCL ERRR: ") + error.what() + " : " + std::to_string(error.err()) + " " +
                         openClErrorString(error.err()) + "\n";
    std::cerr << report << std::endl;
    throw report;
}
