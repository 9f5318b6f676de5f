#include "model/AccessPointAgeing.h"

#include <algorithm>

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"

int AccessPointAgeing::ageOut(SpectrumSettings& model, uint64_t now) {
    if (model.runtime.scanPaused) {
        return 0;
    }
    auto& list = model.accessPoints;
    const size_t before = list.size();
    std::erase_if(list, [now](const std::unique_ptr<AccessPoint>& ap) {
        return !ap || (now >= ap->lastSeen && now - ap->lastSeen >= kMaxAgeMs);
    });
    const int removed = static_cast<int>(before - list.size());
    if (removed > 0) {
        AccessPointSelection::releaseDeparted(model.scanStatistics, list);
        model.runtime.ssidTableChanged = true;
        model.runtime.utilizationChanged = true;
    }
    return removed;
}
