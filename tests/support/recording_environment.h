#pragma once
// A recording stand-in for the light environment, linked into the model's tests
// and benchmarks in place of the real one. It counts registrations and gives
// every young bud a chosen light, so growth can be tested without a device.

#include <vector>

struct Internode;

struct RecordingEnvironment {
    float light = 1.0f;  // light of every young bud
    int resets = 0;
    int clearShadowQueuesCalls = 0;
    int applyQueuedShadowsCalls = 0;
    int clearBudQueueCalls = 0;
    int computeQueuedCalls = 0;
    std::vector<const Internode*> added;
    std::vector<const Internode*> removed;
    std::vector<const Internode*> lightRequests;

    // Creates the environment if needed and zeroes the record.
    static RecordingEnvironment& reset(float light = 1.0f);
};

RecordingEnvironment& recording();
