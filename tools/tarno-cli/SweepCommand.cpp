// tarno-cli sweep: live sweeps of one band, one line per sweep, as hackrf_sweep's CSV (which
// heat-map and plotting scripts read unchanged) or as JSON with the traces the window shows.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/AccessoryCommunicationDelegate.h"
#include "model/SpectrumSettings.h"
#include "publish/SweepRecorder.h"
#include "publish/SweepText.h"
#include "tools/tarno-cli/CliAcquisition.h"
#include "tools/tarno-cli/CliArguments.h"
#include "tools/tarno-cli/CliCommand.h"
#include "tools/tarno-cli/CliOptionParser.h"
#include "tools/tarno-cli/CliPublishing.h"
#include "tools/tarno-cli/LineOutput.h"

namespace {

// One literal per printed line.
// clang-format off
constexpr const char* kUsage =
    "Usage: tarno-cli sweep [--band B] [--count N] [--format csv|json] [--trace LIST]\n"
    "                       [--out FILE] [--mqtt URL] [--demo H --signal S\n"
    "                       [--simulated-time]]\n"
    "  --band B           band 0 (2.4 GHz, the default) or 1 (5 GHz, where the\n"
    "                     accessory has it)\n"
    "  --count N          stop after N sweeps (default: run until Ctrl-C)\n"
    "  --format F         csv (default): hackrf_sweep lines \"date, time, hz_low,\n"
    "                     hz_high, hz_bin_width, num_samples, dB, dB, ...\" (UTC);\n"
    "                     json: one object per sweep\n"
    "  --trace LIST       in the JSON, the processed traces and their peaks, any of\n"
    "                     live,max,min,avg,decay\n"
    "  --out FILE         write to FILE, which must not exist yet (default: stdout)\n"
    TARNO_CLI_MQTT_USAGE
    "                     (JSON lines on PREFIX/<serial>/sweep/<2.4|5>)\n"
    TARNO_CLI_SOURCE_USAGE
    "Levels are in dB with the attenuation offset the window adds.\n";
// clang-format on

struct SweepOptions {
    long band = 0;
    long count = 0;
    bool json = false;
    uint8_t traces = 0;
    std::string out;
    AcquisitionSource source;
};

bool parse(std::span<char*> args, SweepOptions& o, CliPublishing& publishing) {
    std::vector<std::string> operands;
    CliOptionParser parser("sweep", kUsage);
    parser.number("band", 0, 1, o.band)
        .number("count", 1, 1000000000, o.count)
        .value("format", 0,
               [&o](const char* value) {
                   const std::string_view format = value;
                   o.json = format == "json";
                   return format == "csv" || format == "json";
               })
        .value("trace", 0,
               [&o](const char* value) { return SweepText::parseTraceList(value, o.traces); })
        .text("out", o.out);
    o.source.addOptions(parser);
    publishing.addOptions(parser);
    if (!parser.parse(args, operands)) {
        return false;
    }
    if (!operands.empty()) {
        parser.refuse("unexpected argument '" + operands[0] + "'");
    } else if (const std::string why = o.source.problem(); !why.empty()) {
        parser.refuse(why);
    } else if (const std::string why = publishing.problem(); !why.empty()) {
        parser.refuse(why);
    } else if (o.traces != 0 && !o.json && !publishing.enabled()) {
        parser.refuse("--trace needs --format json or --mqtt");
    } else {
        return true;
    }
    return false;
}

int runSweep(std::span<char*> args) {
    SweepOptions o;
    CliPublishing publishing("sweep");
    if (!parse(args, o, publishing)) {
        return 2;
    }

    auto model = std::make_unique<SpectrumSettings>();
    model->common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    model->spectrum_settings.viewMode = SpectrumViewSettings::kRealWaveView;
    model->spectrum_settings.band = static_cast<int32_t>(o.band);
    // Access-point scans would interrupt the sweeps for seconds at a time.
    model->spectrum_settings.ssidScanOn = 0;

    CliAcquisition acquisition("sweep", o.source);
    AccessoryCommunicationDelegate::Options options;
    if (!acquisition.prepare(*model, options)) {
        return 1;
    }
    // Only once everything else is in place: a failed start leaves no empty file behind.
    LineOutput output;
    if (!output.open("sweep", o.out)) {
        return 1;
    }
    AccessoryCommunicationDelegate controller(*model, options);
    watchForInterrupt();

    const uint64_t count = static_cast<uint64_t>(o.count);
    SweepRecorder recorder(static_cast<int>(o.band), o.traces);
    std::vector<SweepRecord> records;
    uint64_t printed = 0;
    bool failed = false;
    bool closed = false;
    bool noBand = false;
    std::string serial;
    auto step = [&] {
        records.clear();
        publishing.report();
        {
            if (o.band == 1 && model->accessory.generation != 0 && !model->accessory.hasSpectrum5) {
                noBand = true;
                return false;
            }
            recorder.collect(*model, acquisition.utcMicroseconds(), records);
            serial = model->accessory.serialText;
        }
        for (const SweepRecord& record : records) {
            if (count != 0 && printed >= count) {
                break;
            }
            std::string json;
            if (o.json || publishing.enabled()) {
                json = SweepText::json(record);
            }
            if (publishing.enabled()) {
                publishing.publish(serial, record.band == 0 ? "sweep/2.4" : "sweep/5", json);
            }
            const auto result = output.writeLine(o.json ? json : SweepText::csv(record));
            if (result == LineOutput::Result::kClosed) {
                closed = true;  // the reader has all it wanted
                return false;
            }
            if (result == LineOutput::Result::kFailed) {
                std::fprintf(stderr, "tarno-cli sweep: cannot write: %s\n", output.error().c_str());
                failed = true;
                return false;
            }
            ++printed;
        }
        return count == 0 || printed < count;
    };
    // Generous: even the slowest recording sweeps within a minute of virtual time.
    const uint64_t limitMs = o.source.simulated && count != 0
                                 ? (count + 10) * 600 * AccessoryCommunicationDelegate::kPassMs
                                 : 0;
    acquisition.run(controller, step, limitMs, 20);
    publishing.finish();

    if (noBand) {
        std::fprintf(stderr, "tarno-cli sweep: this accessory has no 5 GHz band\n");
        return 1;
    }
    if (recorder.missed() != 0) {
        std::fprintf(stderr, "tarno-cli sweep: %llu sweeps went by before they could be printed\n",
                     static_cast<unsigned long long>(recorder.missed()));
    }
    if (failed) {
        return 1;
    }
    if (count != 0 && printed < count && !closed && !interruptRequested()) {
        std::fprintf(stderr, "tarno-cli sweep: only %llu of %llu sweeps arrived\n",
                     static_cast<unsigned long long>(printed),
                     static_cast<unsigned long long>(count));
        return 1;
    }
    return 0;
}

const CliCommandRegistration registration(
    {"sweep", "print live sweeps of a band as hackrf_sweep CSV or JSON lines", kUsage, runSweep});

}  // namespace
