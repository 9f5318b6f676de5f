#include "publish/ModelPublisher.h"

#include <chrono>
#include <cstring>

#include "model/SpectrumSettings.h"
#include "publish/JsonText.h"
#include "publish/MqttPublisher.h"
#include "publish/PowerJson.h"
#include "publish/SurveyJson.h"
#include "publish/SweepText.h"

namespace {

// A stop of the window must not hang on a broker that is away.
constexpr std::chrono::milliseconds kDrainAtStop{500};

}  // namespace

ModelPublisher::ModelPublisher() {
    lastPower_ = PowerTraceSet::notMeasured();
}

ModelPublisher::~ModelPublisher() {
    if (publisher_) {
        publisher_->stop(kDrainAtStop);
    }
}

bool ModelPublisher::configure(const std::string& url, std::string& error) {
    BrokerUrl parsed;
    if (!url.empty() && !BrokerUrl::parse(url, parsed, error)) {
        return false;
    }
    if (publisher_) {
        publisher_->stop(kDrainAtStop);
        for (std::string& note : publisher_->takeNotes()) {
            notes_.push_back(std::move(note));
        }
        publisher_.reset();
    }
    configured_ = !url.empty();
    url_ = parsed;
    serial_.clear();
    return true;
}

void ModelPublisher::restart(const std::string& serial) {
    if (publisher_) {
        publisher_->stop(kDrainAtStop);
        for (std::string& note : publisher_->takeNotes()) {
            notes_.push_back(std::move(note));
        }
    }
    publisher_ = std::make_unique<MqttPublisher>(url_);
    std::string error;
    if (!publisher_->start(serial, error)) {
        notes_.push_back("cannot publish to " + url_.display() + ": " + error);
        publisher_.reset();
        configured_ = false;
        return;
    }
    serial_ = serial;
}

void ModelPublisher::update(SpectrumSettings& model, uint64_t utcMicroseconds) {
    if (!configured_) {
        return;
    }
    std::vector<SweepRecord> sweeps;
    std::vector<std::string> survey;
    std::vector<std::string> power;
    std::string serial;
    {
        serial = model.accessory.serialText;
        // Collected even while nothing can be published (no serial yet), so that the first
        // message is the newest sweep and not a backlog.
        band24_.collect(model, utcMicroseconds, sweeps);
        band5_.collect(model, utcMicroseconds, sweeps);
        if (model.runtime.scanCount != scansPublished_) {
            scansPublished_ = model.runtime.scanCount;
            if (scansPublished_ != 0) {
                survey = SurveyJson::lines(model);
            }
        }
        // The link measures every capture into the live trace's record; a new record is a new
        // capture.
        const auto& measured = model.live.pulseMeasurements;
        if (std::memcmp(measured.data(), lastPower_.data(), sizeof lastPower_) != 0 &&
            !model.live.history.empty()) {
            lastPower_ = measured;
            const size_t samples = model.live.history.back().size();
            const double dt =
                samples > 0 ? 10.0 * model.timeBaseNow() / static_cast<double>(samples) : 0.0;
            PulseMeasurement::Results results{};
            std::copy(measured.begin(), measured.end(), results.begin());
            const std::string head = "\"time\":\"" + JsonText::utcTime(utcMicroseconds) +
                                     "\",\"capture\":" + std::to_string(++captures_);
            power.push_back(PowerJson::measurements(head, samples, dt, results));
        }
    }
    if (serial.empty()) {
        return;  // nobody has said who they are yet
    }
    if (!publisher_ || serial != serial_) {
        restart(serial);
        if (!publisher_) {
            return;
        }
    }
    for (const SweepRecord& sweep : sweeps) {
        publisher_->publish(sweep.band == 0 ? "sweep/2.4" : "sweep/5", SweepText::json(sweep));
    }
    for (size_t i = 0; i < survey.size(); ++i) {
        publisher_->publish(i + 1 < survey.size() ? "accesspoints" : "grades", survey[i]);
    }
    for (std::string& line : power) {
        publisher_->publish("power", std::move(line));
    }
}

std::vector<std::string> ModelPublisher::takeNotes() {
    if (publisher_) {
        for (std::string& note : publisher_->takeNotes()) {
            notes_.push_back(std::move(note));
        }
    }
    std::vector<std::string> notes;
    notes.swap(notes_);
    return notes;
}
