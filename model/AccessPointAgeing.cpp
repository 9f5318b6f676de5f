#include "model/AccessPointAgeing.h"

#include <algorithm>

#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"

bool AccessPointAgeing::advance(SpectrumSettings& model, float dt, bool tableShown, uint64_t now) {
    timer_ += dt;
    if (!tableShown || model.runtime.scanPaused || timer_ < kCheckPeriod)
        return false;
    timer_ = 0;
    { ageOut(model, now); }
    model.runtime.ssidTableChanged = true;
    model.runtime.utilizationChanged = true;
    return true;
}

int AccessPointAgeing::ageOut(SpectrumSettings& model, uint64_t now) {
    if (model.runtime.scanPaused)
        return 0;
    const int removed = static_cast<int>(removeUnseen(model.accessPoints, now));
    if (removed > 0) {
        AccessPointSelection::releaseDeparted(model.scanStatistics, model.accessPoints);
        model.runtime.ssidTableChanged = true;
        model.runtime.utilizationChanged = true;
    }
    return removed;
}

bool AccessPointAgeing::sortForTables(SpectrumSettings& model, bool ssidTableShown,
                                      bool utilizationTableShown) {
    RuntimeState& runtime = model.runtime;
    if (!runtime.ssidTableChanged && !runtime.utilizationChanged)
        return false;
    const SpectrumViewSettings& view = model.spectrum_settings;
    if (ssidTableShown) {
        model.sortAccessPoints(view.ssidSortCriterion, view.ssidSortDescending != 0);
    }
    if (utilizationTableShown) {
        model.sortAccessPoints(view.utilizationSortCriterion, view.utilizationSortDescending != 0);
    }
    runtime.ssidTableChanged = false;
    runtime.utilizationChanged = false;
    return true;
}

size_t AccessPointAgeing::removeUnseen(std::vector<std::unique_ptr<AccessPoint>>& list,
                                       uint64_t now) {
    const size_t before = list.size();
    // Written as a sum so a last-seen time later than `now` cannot wrap round.
    list.erase(std::remove_if(list.begin(), list.end(),
                              [now](const std::unique_ptr<AccessPoint>& ap) {
                                  return !ap || ap->lastSeen + kLifetimeMs <= now;
                              }),
               list.end());
    return before - list.size();
}
