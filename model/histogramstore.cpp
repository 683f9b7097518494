#include "model/histogramstore.h"

HistogramStore& histogramStore()
{
    // Deliberately leaked: a dialog destroyed during exit may still clear the
    // callable after static destructors would have run.
    static HistogramStore* store = new HistogramStore();
    return *store;
}

void notifyHistogramChanged()
{
    HistogramStore& store = histogramStore();
    if (store.onChanged)
        store.onChanged();
}
