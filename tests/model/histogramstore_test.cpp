// The process-wide histogram store: its first state and its change callable.

#include <gtest/gtest.h>

#include "model/histogramstore.h"

namespace {

// Runs first in this program, before any test touches the store.
TEST(HistogramStore, StartsWithTenInBinThreeAndFourInBinSix)
{
    const HistogramStore& store = histogramStore();
    const int expected[HistogramStore::binCount] = {0, 0, 0, 10, 0, 0, 4, 0, 0, 0};
    for (int k = 0; k < HistogramStore::binCount; ++k)
        EXPECT_EQ(store.bins[k], expected[k]) << "bin " << k;
    EXPECT_FALSE(store.onChanged);
}

TEST(HistogramStore, IsOneStoreForTheProcess)
{
    histogramStore().bins[2] = 7;
    EXPECT_EQ(&histogramStore(), &histogramStore());
    EXPECT_EQ(histogramStore().bins[2], 7);
    histogramStore().bins[2] = 0;
}

TEST(HistogramStore, NotifyRunsTheInstalledCallableOncePerCall)
{
    HistogramStore& store = histogramStore();
    int calls = 0;
    store.onChanged = [&calls] { ++calls; };
    notifyHistogramChanged();
    notifyHistogramChanged();
    EXPECT_EQ(calls, 2);

    // A replacement takes over; the earlier callable is not run any more.
    int laterCalls = 0;
    store.onChanged = [&laterCalls] { ++laterCalls; };
    notifyHistogramChanged();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(laterCalls, 1);

    store.onChanged = nullptr;
    EXPECT_NO_THROW(notifyHistogramChanged());
    EXPECT_EQ(laterCalls, 1);
}

}  // namespace
