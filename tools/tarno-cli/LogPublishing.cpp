#include "tools/tarno-cli/LogPublishing.h"

#include <string>

#include "model/SpectrumSettings.h"
#include "publish/JsonText.h"
#include "publish/PowerJson.h"
#include "publish/SweepText.h"
#include "tools/tarno-cli/CliPublishing.h"

LogPublishing::LogPublishing(CliPublishing& publishing, SpectrumSettings& model, int band)
    : publishing_(publishing), model_(model), band_(band), sweeps_(band < 0 ? 0 : band, 0) {}

void LogPublishing::attach(AccessoryCommunicationDelegate& controller) {
    if (band_ < 0) {
        captures_.attach(controller);
    }
}

void LogPublishing::step(uint64_t timeUs) {
    if (!publishing_.enabled()) {
        return;
    }
    publishing_.report();
    std::string serial;
    records_.clear();
    taken_.clear();
    {
        serial = model_.accessory.serialText;
        if (band_ >= 0) {
            sweeps_.collect(model_, timeUs, records_);
        }
    }
    for (const SweepRecord& record : records_) {
        publishing_.publish(serial, record.band == 0 ? "sweep/2.4" : "sweep/5",
                            SweepText::json(record));
    }
    if (band_ < 0) {
        captures_.take(taken_);
        for (const auto& capture : taken_) {
            const std::string head = "\"time\":\"" + JsonText::utcTime(timeUs) +
                                     "\",\"capture\":" + std::to_string(++captureCount_);
            publishing_.publish(
                serial, "power",
                PowerJson::measurements(head, capture.samples, capture.dt, capture.results));
        }
    }
}
