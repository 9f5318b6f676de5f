#include "tools/tarno-cli/PowerCaptureStream.h"

#include "link/AccessoryCommunicationDelegate.h"

void PowerCaptureStream::attach(AccessoryCommunicationDelegate& controller) {
    controller.setPulseMeasurement(
        [this](SpectrumSettings& model, const float* values, size_t count, float dt) {
            PulseMeasurement::storeInModel(model, values, count, dt);
            const auto results = PulseMeasurement::measure(values, count, dt);
            if (!results) {
                return;
            }
            std::lock_guard<std::mutex> guard(lock_);
            if (waiting_.size() >= kMaxWaiting) {
                waiting_.erase(waiting_.begin());
                ++lost_;
            }
            waiting_.push_back(Capture{count, dt, *results});
        });
}

uint64_t PowerCaptureStream::take(std::vector<Capture>& out) {
    std::lock_guard<std::mutex> guard(lock_);
    out.insert(out.end(), waiting_.begin(), waiting_.end());
    waiting_.clear();
    const uint64_t lost = lost_;
    lost_ = 0;
    return lost;
}
