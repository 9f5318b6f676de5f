#include "model/AccessPointTableExport.h"

#include <cmath>
#include <cstdio>

#include "model/AccessPoint.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTexts.h"
#include "model/MeasurementRecords.h"

namespace {

ExportCell text(std::string value) {
    return ExportCell{std::move(value), false};
}

std::string plainBssid(const AccessPoint& ap) {
    char out[18];
    std::snprintf(out, sizeof out, "%02x:%02x:%02x:%02x:%02x:%02x", ap.bssid[0], ap.bssid[1],
                  ap.bssid[2], ap.bssid[3], ap.bssid[4], ap.bssid[5]);
    return out;
}

}  // namespace

ExportCell AccessPointTableExport::number(double value, int decimals) {
    if (!std::isfinite(value))
        return ExportCell{"", true};
    char out[48];
    std::snprintf(out, sizeof out, "%.*f", decimals, value);
    return ExportCell{out, true};
}

std::string AccessPointTableExport::colourText(const AccessPoint& ap) {
    char out[8];
    std::snprintf(out, sizeof out, "#%02x%02x%02x", ap.color[0], ap.color[1], ap.color[2]);
    return out;
}

ExportTable AccessPointTableExport::ssid(const std::vector<std::unique_ptr<AccessPoint>>& list) {
    ExportTable table;
    table.kind = "SSID";
    table.columns = {"SSID", "BSSID",    "RSSI (dBm)", "Band (GHz)", "Channel", "Frequency (MHz)",
                     "Mode", "Security", "Seen",       "Colour"};
    for (const auto& entry : list) {
        if (!entry || (entry->is5GHz != 0 && entry->is5GHz != 1))
            continue;
        const AccessPoint& ap = *entry;
        table.rows.push_back({
            text(AccessPointTexts::name(ap)),
            text(plainBssid(ap)),
            number(ap.rssi, 0),
            text(ap.is5GHz ? "5" : "2.4"),
            text(AccessPointTexts::channel(ap)),
            number(AccessPointTexts::centreMHz(ap), 0),
            text(AccessPointTexts::mode(ap.standards)),
            text(AccessPointTexts::security(ap.security)),
            number(ap.seenCount, 0),
            text(colourText(ap)),
        });
    }
    return table;
}

ExportTable AccessPointTableExport::utilization(
    const std::vector<std::unique_ptr<AccessPoint>>& list, const ScanStatistics& statistics) {
    ExportTable table;
    table.kind = "Utilization";
    table.columns = {"Selected",    "SSID",      "BSSID", "RSSI (dBm)",     "Channel",
                     "Recommended", "Grade (%)", "Grade", "Utilization (%)"};
    for (bool selectedPass : {true, false}) {
        for (const auto& entry : list) {
            if (!entry || entry->is5GHz != 0)
                continue;
            const AccessPoint& ap = *entry;
            const bool selected = AccessPointSelection::contains(statistics, ap.bssid);
            if (selected != selectedPass)
                continue;
            const int recommended = ap.grading.recommendedChannel();
            const bool graded = ap.grading.graded;
            table.rows.push_back({
                text(selected ? "yes" : "no"),
                text(AccessPointTexts::name(ap)),
                text(plainBssid(ap)),
                number(ap.rssi, 0),
                text(AccessPointTexts::channel(ap)),
                selected && recommended > 0 ? number(recommended, 0) : ExportCell{"", true},
                graded ? number(std::fmin(100.0, std::fmax(0.0, ap.grade)), 0)
                       : ExportCell{"", true},
                text(AccessPointTexts::gradeLetter(ap)),
                graded ? number(ap.grading.utilization, 1) : ExportCell{"", true},
            });
        }
    }
    return table;
}
