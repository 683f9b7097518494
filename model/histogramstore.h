#pragma once
// The process-wide light-interception histogram: ten bins of young-bud counts
// by exposure class, and the callable that the histogram dialog installs to be
// told of every change. The light pass fills it; no widget code lives here.

#include <functional>

struct HistogramStore {
    static constexpr int binCount = 10;

    // Run after each change of the bins; empty unless a histogram dialog exists.
    std::function<void()> onChanged;
    // Bin k counts exposures from k * 0.1 up to (k + 1) * 0.1; exposure 1.0 and
    // above falls in bin 9, negative or NaN exposure in bin 0.
    int bins[binCount] = {0, 0, 0, 10, 0, 0, 4, 0, 0, 0};
};

// The one store, created on first use and never freed (it outlives every
// dialog and every pass, up to the end of the process).
HistogramStore& histogramStore();

// Runs the store's onChanged if one is installed.
void notifyHistogramChanged();
