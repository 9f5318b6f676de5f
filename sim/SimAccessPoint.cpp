#include "sim/SimAccessPoint.h"

namespace {

double channelMHz(bool is5GHz, int channel) {
    if (is5GHz) {
        return 5000.0 + 5.0 * channel;
    }
    return channel == 14 ? 2484.0 : 2407.0 + 5.0 * channel;
}

}  // namespace

double SimAccessPoint::centreMHz() const {
    if (is5GHz && alt1 != 0) {
        return channelMHz(true, alt1);
    }
    double centre = channelMHz(is5GHz, channel);
    if (bandwidthMHz == 40) {
        centre += secondary == 1 ? 10.0 : secondary == 2 ? -10.0 : 0.0;
    }
    return centre;
}

double SimAccessPoint::occupiedMHz() const {
    if (is5GHz && alt1 != 0) {
        return 80.0;
    }
    return bandwidthMHz == 40 ? 40.0 : bandwidthMHz == 10 ? 10.0 : 20.0;
}
