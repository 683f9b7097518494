// The process-wide histogram store: its first state and its change callable.

#include <gtest/gtest.h>

#include "model/histogramstore.h"

namespace {

// Runs first in this program, before any test touches the store.
TEST(HistogramStore, StartsWithTenInBinThreeAndFourInBinSix)
{
    const int expected[HistogramStore::binCount] = {0, 0, 0, 10, 0, 0, 4, 0, 0, 0};
    for (int k = 0; k < HistogramStore::binCount; ++k)
        EXPECT_EQ(histogramStore().bins[k], expected[k]) << "bin " << k;
    EXPECT_FALSE(histogramStore().onChanged);
}

TEST(HistogramStore, NotifyRunsTheInstalledCallableOfTheOneStore)
{
    int calls = 0;
    histogramStore().onChanged = [&calls] { ++calls; };
    notifyHistogramChanged();
    notifyHistogramChanged();
    EXPECT_EQ(calls, 2);
    histogramStore().onChanged = nullptr;
    EXPECT_NO_THROW(notifyHistogramChanged());
}

}  // namespace
