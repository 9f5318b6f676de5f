#include "acquisition/AccessPointAcquisition.h"

#include <algorithm>
#include <mutex>

#include "model/SpectrumSettings.h"

void AccessPointAcquisition::addScan(SpectrumSettings& model, AccessPointList& scan, uint64_t now) {
    merger_.merge(model, scan, now);
    {
        ++model.runtime.scanCount;
        trim(model);
    }
    grade(model);
    model.runtime.ssidTableChanged = true;
    model.runtime.utilizationChanged = true;
}

void AccessPointAcquisition::grade(SpectrumSettings& model) {
    if (grading_)
        grading_(model);
}

void AccessPointAcquisition::trim(SpectrumSettings& model) {
    auto& list = model.accessPoints;
    while (list.size() > kMaxAccessPoints) {
        auto oldest = std::min_element(list.begin(), list.end(), [](const auto& a, const auto& b) {
            if (!a || !b)
                return !a && b;
            return a->lastSeen < b->lastSeen;
        });
        list.erase(oldest);
    }
}
