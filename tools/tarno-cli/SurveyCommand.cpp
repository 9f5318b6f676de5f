// tarno-cli survey: the access-point survey of the SSID and utilization tables without the
// window: who is on air, where, how strong, how busy each channel is, and which channel the
// selected access points should move to. Prints JSON lines.
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "link/AccessoryCommunication.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/DemoPlayback.h"
#include "link/FileResourceReader.h"
#include "link/LibusbBackend.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTexts.h"
#include "model/ManualClock.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "model/UtilizationGrading.h"
#include "model/UtilizationGradingHook.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/PacketJsonPrinter.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) {
    interrupted = 1;
}

constexpr const char* kUsage =
    "Usage: tarno-cli survey [--seconds T] [--select BSSID]...\n"
    "                        [--demo H --signal S [--simulated-time] [--resources DIR]]\n"
    "  --seconds T        scan for T seconds (default 60), then print the survey\n"
    "  --select BSSID     an access point of yours (aa:bb:cc:dd:ee:ff) to recommend\n"
    "                     a channel for; repeatable, up to 20\n"
    "  --demo H           survey the demonstration of hardware 0, 1 or 2 instead of\n"
    "                     the first accessory found\n"
    "  --signal S         demonstration signal 0 none, 1 Wi-Fi, 2 DECT, 3 DSSS\n"
    "  --simulated-time   run the demonstration on a virtual clock, without waiting\n"
    "  --resources DIR    where the demonstration recordings are\n"
    "Prints one JSON object per access point, strongest first, then one with the\n"
    "2.4 GHz channel figures.\n";

struct SurveyOptions {
    long seconds = 60;
    long demo = -1;
    long signal = 1;
    bool simulated = false;
    std::string resources;
    std::vector<std::array<uint8_t, 6>> selection;
};

bool parse(std::span<char*> args, SurveyOptions& o) {
    bool tooMany = false;
    std::vector<std::string> operands;
    CliOptionParser parser("survey", kUsage);
    parser.number("seconds", 1, 86400, o.seconds)
        .number("demo", 0, 2, o.demo)
        .number("signal", 0, 3, o.signal)
        .text("resources", o.resources)
        .flag("simulated-time", o.simulated)
        .value("select", 0, [&o, &tooMany](const char* value) {
            std::array<uint8_t, 6> bssid{};
            if (!AccessPointSelection::parseBssid(value, bssid.data())) {
                return false;
            }
            tooMany = tooMany || o.selection.size() >= AccessPointSelection::kSlots;
            o.selection.push_back(bssid);
            return true;
        });
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (tooMany) {
        parser.refuse("at most " + std::to_string(AccessPointSelection::kSlots) +
                      " access points can be selected");
    } else if (o.simulated && o.demo < 0) {
        parser.refuse("--simulated-time needs --demo");
    } else {
        return true;
    }
    return false;
}

// The name bytes as broadcast: at most 31, up to a NUL.
std::string_view rawName(const AccessPoint& ap) {
    std::string_view name = ap.nameView();
    return name.substr(0, name.find('\0'));
}

std::string number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string accessPointJson(const AccessPoint& ap, bool selected) {
    const bool band24 = ap.is5GHz == 0;
    const bool graded = band24 && ap.grading.graded;
    std::string bssid = AccessPointTexts::bssid(ap);
    bssid = bssid.substr(1, bssid.size() - 2);
    std::string line = "{\"bssid\":\"" + bssid + "\"";
    const std::string_view name = rawName(ap);
    line += ",\"name\":" +
            PacketJsonPrinter::string(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    line += ",\"channel\":" + std::to_string(ap.channel);
    line += std::string(",\"band\":") + (band24 ? "\"2.4\"" : ap.is5GHz == 1 ? "\"5\"" : "null");
    line += ",\"rssi\":" + (std::isfinite(ap.rssi) ? number(ap.rssi, 0) : std::string("null"));
    line += ",\"bandwidth\":" + (ap.bandwidthMHz > 0 ? std::to_string(ap.bandwidthMHz) : "null");
    line += ",\"security\":\"" + std::string(AccessPointTexts::security(ap.security)) + "\"";
    line += ",\"standards\":\"" + AccessPointTexts::mode(ap.standards) + "\"";
    line += ",\"seen\":" + std::to_string(ap.seenCount);
    line += ",\"utilization\":" + (graded ? number(ap.grading.utilization, 0) : "null");
    line += ",\"grade\":" +
            (graded ? number(std::clamp(ap.grade, 0.0f, 100.0f), 0) : std::string("null"));
    line += ",\"letter\":" +
            (graded ? "\"" + std::string(AccessPointGrading::letter(ap.grade)) + "\"" : "null");
    const int recommended = selected && graded ? ap.grading.recommendedChannel() : 0;
    line += ",\"recommended\":" + (recommended != 0 ? std::to_string(recommended) : "null");
    return line + "}";
}

std::string channelsJson(const ScanStatistics& statistics) {
    std::string line = "{\"channels\":[";
    for (int n = 1; n <= 14; ++n) {
        if (n > 1) {
            line += ",";
        }
        line += "{\"channel\":" + std::to_string(n) +
                ",\"utilization\":" + number(statistics.channelUtilization[n - 1], 1) +
                ",\"accessPoints\":" + std::to_string(statistics.channelApCount[n - 1]) + "}";
    }
    return line + "]}";
}

// Selected access points join the selection once the scan has seen them: a slot only lives as
// long as its access point is in the list.
void applySelection(SpectrumSettings& model, std::vector<std::array<uint8_t, 6>>& pending) {
    if (pending.empty()) {
        return;
    }
    std::lock_guard<ModelLock> guard(model.apListLock);
    std::erase_if(pending, [&](const std::array<uint8_t, 6>& bssid) {
        for (const auto& ap : model.accessPoints) {
            if (ap && std::memcmp(ap->bssid, bssid.data(), 6) == 0) {
                return AccessPointSelection::add(model.scanStatistics, bssid.data());
            }
        }
        return false;
    });
}

void printSurvey(SpectrumSettings& model) {
    ScopedModelLocks locks(model, ScopedModelLocks::kTrace | ScopedModelLocks::kApList);
    // The selection may have joined after the last scan: grade once more so it has its
    // recommendation.
    UtilizationGrading::run(model, true);
    std::vector<const AccessPoint*> order;
    for (const auto& ap : model.accessPoints) {
        if (ap) {
            order.push_back(ap.get());
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const AccessPoint* a, const AccessPoint* b) {
        const float ra = std::isfinite(a->rssi) ? a->rssi : -INFINITY;
        const float rb = std::isfinite(b->rssi) ? b->rssi : -INFINITY;
        return ra > rb;
    });
    for (const AccessPoint* ap : order) {
        const bool selected = AccessPointSelection::contains(model.scanStatistics, ap->bssid);
        std::printf("%s\n", accessPointJson(*ap, selected).c_str());
    }
    std::printf("%s\n", channelsJson(model.scanStatistics).c_str());
}

int runSurvey(std::span<char*> args) {
    SurveyOptions o;
    if (!parse(args, o)) {
        return 2;
    }
    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    model->spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    model->spectrum_settings.band = 0;
    model->spectrum_settings.ssidScanOn = 1;
    model->demo.wifiSsid = 1;

    ManualClock virtualClock(1);
    const MillisecondClock* clock = o.simulated ? &virtualClock : nullptr;
    AccessoryCommunicationDelegate::Options options;
    options.clock = clock;
    options.startWorker = false;
    std::unique_ptr<FileResourceReader> resources;
    if (o.demo >= 0) {
        model->demo.hardware = static_cast<uint8_t>(o.demo);
        model->demo.signalType = static_cast<uint8_t>(o.signal);
        const std::string root = o.resources.empty() ? defaultResourceRoot() : o.resources;
        resources = std::make_unique<FileResourceReader>(root);
        std::string discovery = DemoPlayback::prefix(static_cast<int>(o.demo)) + "discover.bin";
        if (resources->fullPath(discovery).empty()) {
            std::fprintf(stderr, "tarno-cli survey: no demonstration recordings (%s) below %s\n",
                         discovery.c_str(), root.c_str());
            return 1;
        }
        options.resources = resources.get();
    }
    AccessoryCommunicationDelegate controller(*model, options);
    controller.setUtilizationGrading(UtilizationGradingHook());
    interrupted = 0;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    std::vector<std::array<uint8_t, 6>> pending = o.selection;
    const uint64_t durationMs = static_cast<uint64_t>(o.seconds) * 1000;
    if (o.simulated) {
        for (uint64_t elapsed = 0; elapsed < durationMs && !interrupted;
             elapsed += AccessoryCommunicationDelegate::kPassMs) {
            virtualClock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller.runPass();
            applySelection(*model, pending);
        }
    } else {
        std::unique_ptr<AccessoryCommunication> link;
        if (o.demo < 0) {
            link = std::make_unique<AccessoryCommunication>(LibusbBackend::shared());
            controller.bind(*link);
        }
        controller.startWorker();
        if (link) {
            link->start();
            std::fprintf(stderr, "tarno-cli survey: waiting for an accessory (Ctrl-C stops)\n");
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
        while (!interrupted && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            applySelection(*model, pending);
        }
        controller.stopWorker();
        if (link) {
            link->stop();
        }
    }
    for (const auto& bssid : pending) {
        std::fprintf(stderr,
                     "tarno-cli survey: %02x:%02x:%02x:%02x:%02x:%02x was not seen; not selected\n",
                     bssid[0], bssid[1], bssid[2], bssid[3], bssid[4], bssid[5]);
    }
    printSurvey(*model);
    std::lock_guard<ModelLock> guard(model->apListLock);
    if (model->runtime.scanCount == 0) {
        std::fprintf(stderr, "tarno-cli survey: no access-point scan arrived\n");
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"survey", "scan access points, grade channels and recommend one, as JSON lines", kUsage,
     runSurvey});

}  // namespace
