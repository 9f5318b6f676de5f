#include "model/UtilizationGradingHook.h"

#include <mutex>

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"

void UtilizationGradingHook::operator()(SpectrumSettings& model) {
    // The sweep path calls with traceLock held; locking it again would never return.
    ModelLockUnlessHeld trace(model.traceLock);
    ModelLockUnlessHeld apList(model.apListLock);
    const int32_t scans = model.runtime.scanCount;
    const bool force = scans != lastScanCount_;
    lastScanCount_ = scans;
    AccessPointSelection::releaseDeparted(model.scanStatistics, model.accessPoints);
    if (UtilizationGrading::run(model, force)) {
        model.runtime.utilizationChanged = true;
    }
}
