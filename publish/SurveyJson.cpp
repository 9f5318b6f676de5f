#include "publish/SurveyJson.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "model/AccessPoint.h"
#include "model/AccessPointGrading.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTexts.h"
#include "model/MeasurementRecords.h"
#include "model/SpectrumSettings.h"
#include "publish/JsonText.h"

namespace {

// The name bytes as broadcast: at most 31, up to a NUL.
std::string_view rawName(const AccessPoint& ap) {
    std::string_view name = ap.nameView();
    return name.substr(0, name.find('\0'));
}

}  // namespace

namespace SurveyJson {

std::string accessPoint(const AccessPoint& ap, bool selected) {
    const bool band24 = ap.is5GHz == 0;
    const bool graded = band24 && ap.grading.graded;
    std::string bssid = AccessPointTexts::bssid(ap);
    bssid = bssid.substr(1, bssid.size() - 2);
    std::string line = "{\"bssid\":\"" + bssid + "\"";
    line += ",\"name\":" + JsonText::string(rawName(ap));
    line += ",\"channel\":" + std::to_string(ap.channel);
    line += std::string(",\"band\":") + (band24 ? "\"2.4\"" : ap.is5GHz == 1 ? "\"5\"" : "null");
    line += ",\"rssi\":" +
            (std::isfinite(ap.rssi) ? JsonText::number(ap.rssi, 0) : std::string("null"));
    line += ",\"bandwidth\":" + (ap.bandwidthMHz > 0 ? std::to_string(ap.bandwidthMHz) : "null");
    line += ",\"security\":\"" + std::string(AccessPointTexts::security(ap.security)) + "\"";
    line += ",\"standards\":\"" + AccessPointTexts::mode(ap.standards) + "\"";
    line += ",\"seen\":" + std::to_string(ap.seenCount);
    line += ",\"channelLevel\":" + (graded ? JsonText::number(ap.grading.utilization, 0) : "null");
    line += ",\"grade\":" + (graded ? JsonText::number(std::clamp(ap.grade, 0.0f, 100.0f), 0)
                                    : std::string("null"));
    line += ",\"letter\":" +
            (graded ? "\"" + std::string(AccessPointGrading::letter(ap.grade)) + "\"" : "null");
    const int recommended = selected && graded ? ap.grading.recommendedChannel() : 0;
    line += ",\"recommended\":" + (recommended != 0 ? std::to_string(recommended) : "null");
    return line + "}";
}

// Without a grading the statistics hold zeros, which would read as idle, empty channels.
std::string channels(const ScanStatistics& statistics, bool graded) {
    std::string line = "{\"channels\":[";
    for (int n = 1; n <= 14; ++n) {
        if (n > 1) {
            line += ",";
        }
        line += "{\"channel\":" + std::to_string(n) + ",\"peakLevel\":" +
                (graded ? JsonText::number(statistics.channelUtilization[n - 1], 1) : "null") +
                ",\"overlappingAccessPoints\":" +
                (graded ? std::to_string(statistics.channelApCount[n - 1]) : "null") + "}";
    }
    return line + "]}";
}

std::vector<std::string> lines(const SpectrumSettings& model) {
    bool graded = false;
    std::vector<const AccessPoint*> order;
    for (const auto& ap : model.accessPoints) {
        if (ap) {
            order.push_back(ap.get());
            graded = graded || ap->grading.graded;
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const AccessPoint* a, const AccessPoint* b) {
        const float ra = std::isfinite(a->rssi) ? a->rssi : -INFINITY;
        const float rb = std::isfinite(b->rssi) ? b->rssi : -INFINITY;
        return ra > rb;
    });
    std::vector<std::string> out;
    for (const AccessPoint* ap : order) {
        const bool selected = AccessPointSelection::contains(model.scanStatistics, ap->bssid);
        out.push_back(accessPoint(*ap, selected));
    }
    out.push_back(channels(model.scanStatistics, graded));
    return out;
}

}  // namespace SurveyJson
