#include "model/UtilizationGradingHook.h"

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"

void UtilizationGradingHook::operator()(SpectrumSettings& model) {
    const int32_t scans = model.runtime.scanCount;
    const bool force = scans != lastScanCount_;
    lastScanCount_ = scans;
    AccessPointSelection::releaseDeparted(model.scanStatistics, model.accessPoints);
    if (UtilizationGrading::run(model, force)) {
        model.runtime.utilizationChanged = true;
    }
}
