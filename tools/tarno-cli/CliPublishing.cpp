#include "tools/tarno-cli/CliPublishing.h"

#include <chrono>
#include <cstdio>

#include "publish/MqttPublisher.h"
#include "tools/tarno-cli/CliOptionParser.h"

namespace {

constexpr std::chrono::seconds kDrainAtEnd{5};

}  // namespace

CliPublishing::CliPublishing(const char* command) : command_(command) {}

CliPublishing::~CliPublishing() = default;

void CliPublishing::addOptions(CliOptionParser& parser) {
    parser.text("mqtt", urlText_);
}

std::string CliPublishing::problem() {
    enabled_ = false;
    if (urlText_.empty()) {
        return "";
    }
    std::string error;
    if (!BrokerUrl::parse(urlText_, url_, error)) {
        return error.empty() ? "--mqtt needs a broker URL" : error;
    }
    enabled_ = true;
    return "";
}

bool CliPublishing::publish(const std::string& serial, const std::string& subtopic,
                            std::string payload) {
    if (!enabled_) {
        return true;
    }
    if (!publisher_) {
        publisher_ = std::make_unique<MqttPublisher>(url_);
        std::string error;
        if (!publisher_->start(serial, error)) {
            std::fprintf(stderr, "tarno-cli %s: cannot publish to %s: %s\n", command_,
                         url_.display().c_str(), error.c_str());
            publisher_.reset();
            enabled_ = false;
            return false;
        }
    }
    publisher_->publish(subtopic, std::move(payload));
    return true;
}

void CliPublishing::report() {
    if (!publisher_) {
        return;
    }
    for (const std::string& note : publisher_->takeNotes()) {
        std::fprintf(stderr, "tarno-cli %s: %s\n", command_, note.c_str());
    }
}

void CliPublishing::finish() {
    if (!publisher_) {
        return;
    }
    publisher_->stop(std::chrono::duration_cast<std::chrono::milliseconds>(kDrainAtEnd));
    report();
    const MqttPublisher::Counters counters = publisher_->counters();
    if (counters.dropped != 0) {
        std::string detail;
        for (const auto& [subtopic, count] : publisher_->droppedBySubtopic()) {
            detail += (detail.empty() ? "" : ", ") + subtopic + " " + std::to_string(count);
        }
        std::fprintf(stderr, "tarno-cli %s: %llu of %llu messages were dropped (%s)\n", command_,
                     static_cast<unsigned long long>(counters.dropped),
                     static_cast<unsigned long long>(counters.published), detail.c_str());
    }
    if (counters.unconfirmed != 0) {
        std::fprintf(stderr,
                     "tarno-cli %s: %llu QoS 0 messages were on a connection that broke and may "
                     "not have arrived\n",
                     command_, static_cast<unsigned long long>(counters.unconfirmed));
    }
}
