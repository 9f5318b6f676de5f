// tarno-cli survey: the access-point survey of the SSID and utilization tables without the
// window: who is on air, where, how strong, how busy each channel is, and which channel the
// selected access points should move to. Prints JSON lines.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/AccessPointSelection.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"
#include "model/UtilizationGradingHook.h"
#include "publish/JsonText.h"
#include "publish/SurveyJson.h"
#include "tools/tarno-cli/CliAcquisition.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/CliPublishing.h"

namespace {

// One literal per printed line.
// clang-format off
constexpr const char* kUsage =
    "Usage: tarno-cli survey [--seconds T] [--select BSSID]... [--mqtt URL]\n"
    "                        [--demo H --signal S [--simulated-time] [--resources DIR]]\n"
    "  --seconds T        scan for T seconds (default 60), then print the survey\n"
    "  --select BSSID     an access point of yours (aa:bb:cc:dd:ee:ff) to recommend\n"
    "                     a channel for; repeatable, up to 20\n"
    TARNO_CLI_MQTT_USAGE
    "                     (after every scan and at the end: each access point on\n"
    "                     PREFIX/<serial>/accesspoints, the channels on .../grades)\n"
    TARNO_CLI_SOURCE_USAGE
    "Prints one JSON object per access point, strongest first, then one with the\n"
    "2.4 GHz channel figures. Levels are measured above the noise floor over the\n"
    "newest 100 sweeps; figures that need 100 sweeps are null before then.\n"
    "  channelLevel             an access point's mean channel level, in % of its own\n"
    "  peakLevel                a channel's peak-hold level, in % of the strongest\n"
    "                           access point on it (or anywhere, when none is)\n"
    "  overlappingAccessPoints  2.4 GHz access points that use or overlap a channel\n";
// clang-format on

struct SurveyOptions {
    long seconds = 60;
    AcquisitionSource source;
    std::vector<std::array<uint8_t, 6>> selection;
};

bool parse(std::span<char*> args, SurveyOptions& o, CliPublishing& publishing) {
    bool tooMany = false;
    std::vector<std::string> operands;
    CliOptionParser parser("survey", kUsage);
    parser.number("seconds", 1, 86400, o.seconds)
        .value("select", 0, [&o, &tooMany](const char* value) {
            std::array<uint8_t, 6> bssid{};
            if (!AccessPointSelection::parseBssid(value, bssid.data())) {
                return false;
            }
            tooMany = tooMany || o.selection.size() >= AccessPointSelection::kSlots;
            o.selection.push_back(bssid);
            return true;
        });
    o.source.addOptions(parser);
    publishing.addOptions(parser);
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (tooMany) {
        parser.refuse("at most " + std::to_string(AccessPointSelection::kSlots) +
                      " access points can be selected");
    } else if (const std::string why = o.source.problem(); !why.empty()) {
        parser.refuse(why);
    } else if (const std::string why = publishing.problem(); !why.empty()) {
        parser.refuse(why);
    } else {
        return true;
    }
    return false;
}

// Selected access points join the selection once the scan has seen them: a slot only lives as
// long as its access point is in the list. Notes the scan count when one joined.
void applySelection(SpectrumSettings& model, std::vector<std::array<uint8_t, 6>>& pending,
                    int32_t& joinedAtScan) {
    if (pending.empty()) {
        return;
    }
    const size_t before = pending.size();
    std::erase_if(pending, [&](const std::array<uint8_t, 6>& bssid) {
        for (const auto& ap : model.accessPoints) {
            if (ap && std::memcmp(ap->bssid, bssid.data(), 6) == 0) {
                return AccessPointSelection::add(model.scanStatistics, bssid.data());
            }
        }
        return false;
    });
    if (pending.size() != before) {
        joinedAtScan = model.runtime.scanCount;
    }
}

// The survey as JSON lines: the access points, strongest first, then the channels.
// It is what the window's tables show: the grading after the newest scan. Only a selection that
// joined after that scan is graded once more, so that it has its recommendation.
std::vector<std::string> surveyLines(SpectrumSettings& model, bool selectionJoinedSinceScan) {
    if (selectionJoinedSinceScan) {
        UtilizationGrading::run(model, true);
    }
    return SurveyJson::lines(model);
}

// Access points on PREFIX/<serial>/accesspoints, one message each, and the channel figures on
// PREFIX/<serial>/grades: the lines the survey prints.
void publishSurvey(CliPublishing& publishing, SpectrumSettings& model,
                   const std::vector<std::string>& lines) {
    std::string serial;
    { serial = model.accessory.serialText; }
    for (size_t i = 0; i < lines.size(); ++i) {
        publishing.publish(serial, i + 1 < lines.size() ? "accesspoints" : "grades", lines[i]);
    }
}

// Why a run saw no scan, as far as the accessory's description tells.
std::string noScanReason(const SpectrumSettings& model, const SurveyOptions& options) {
    if (options.source.demo >= 0 && options.source.signal != 1) {
        return "; the demonstration plays access-point lists only with --signal 1";
    }
    const float first = model.accessory.scanFirstDelay;
    if (!model.accessory.hasSsidScan24 && !model.accessory.hasSsidScan5 &&
        model.accessory.generation != 0) {
        return "; this accessory does not scan for access points";
    }
    if (std::isfinite(first) && first + 1.f >= static_cast<float>(options.seconds)) {
        const long needed = static_cast<long>(std::ceil(first)) + 20;
        return "; this accessory sends its first scan " + JsonText::number(first, 0) +
               " s after it starts (try --seconds " + std::to_string(needed) + ")";
    }
    return "";
}

int runSurvey(std::span<char*> args) {
    SurveyOptions o;
    CliPublishing publishing("survey");
    if (!parse(args, o, publishing)) {
        return 2;
    }
    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    model->spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    model->spectrum_settings.band = 0;
    model->spectrum_settings.ssidScanOn = 1;
    model->demo.wifiSsid = 1;

    CliAcquisition acquisition("survey", o.source);
    AccessoryCommunicationDelegate::Options options;
    if (!acquisition.prepare(*model, options)) {
        return 1;
    }
    AccessoryCommunicationDelegate controller(*model, options);
    controller.setUtilizationGrading(UtilizationGradingHook());
    watchForInterrupt();

    std::vector<std::array<uint8_t, 6>> pending = o.selection;
    int32_t scansPublished = 0;
    int32_t joinedAtScan = -1;
    acquisition.run(
        controller,
        [&] {
            applySelection(*model, pending, joinedAtScan);
            if (publishing.enabled()) {
                publishing.report();
                int32_t scans = 0;
                { scans = model->runtime.scanCount; }
                // Every new scan, so that a dashboard follows the survey as it goes.
                if (scans != scansPublished) {
                    scansPublished = scans;
                    publishSurvey(publishing, *model, surveyLines(*model, joinedAtScan == scans));
                }
            }
            return true;
        },
        static_cast<uint64_t>(o.seconds) * 1000, 100);
    for (const auto& bssid : pending) {
        std::fprintf(stderr,
                     "tarno-cli survey: %02x:%02x:%02x:%02x:%02x:%02x was not seen; not selected\n",
                     bssid[0], bssid[1], bssid[2], bssid[3], bssid[4], bssid[5]);
    }
    const std::vector<std::string> lines =
        surveyLines(*model, joinedAtScan == model->runtime.scanCount);
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
    publishSurvey(publishing, *model, lines);
    publishing.finish();
    if (model->runtime.scanCount == 0) {
        std::fprintf(stderr, "tarno-cli survey: no access-point scan arrived in %ld s%s\n",
                     o.seconds, noScanReason(*model, o).c_str());
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"survey", "scan access points, grade channels and recommend one, as JSON lines", kUsage,
     runSurvey});

}  // namespace
