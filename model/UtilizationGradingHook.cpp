#include "model/UtilizationGradingHook.h"

#include <mutex>

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"

void UtilizationGradingHook::operator()(SpectrumSettings& model) {
    // The sweep path calls with traceLock held; locking it again would never return.
    std::unique_lock<ModelLock> trace(model.traceLock, std::defer_lock);
    if (!model.traceLock.heldByCurrentThread()) {
        trace.lock();
    }
    std::lock_guard<ModelLock> apList(model.apListLock);
    const int32_t scans = model.runtime.scanCount;
    const bool force = scans != lastScanCount_;
    lastScanCount_ = scans;
    AccessPointSelection::releaseDeparted(model.scanStatistics, model.accessPoints);
    if (UtilizationGrading::run(model, force)) {
        model.runtime.utilizationChanged = true;
    }
}
