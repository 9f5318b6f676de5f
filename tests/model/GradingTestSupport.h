#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "model/SpectrumSettings.h"

// A model with a 256-point 2.4 GHz accessory, a -90 dBm floor and `sweeps` idle sweeps.
class GradingModel {
  public:
    explicit GradingModel(int sweeps = 100, float level = -90.0f) {
        model->accessory.rawPoints24 = 256;
        model->accessory.levelMin24 = -90.0f;
        fill(sweeps, level);
    }

    // Appends sweeps flat at `level`, with bin `bin` (when >= 0) at `binLevel`.
    void fill(int sweeps, float level, int bin = -1, float binLevel = 0.0f) {
        std::vector<float> row(256, level);
        if (bin >= 0) {
            row[bin] = binLevel;
        }
        for (int i = 0; i < sweeps; ++i) {
            model->band24.appendSweep(row.data(), 256);
        }
    }

    AccessPoint& add(int id, int channel, float rssi, int bandwidth = 20, int secondary = 0) {
        auto ap = std::make_unique<AccessPoint>();
        ap->bssid[0] = 0x02;
        ap->bssid[4] = static_cast<uint8_t>(id >> 8);
        ap->bssid[5] = static_cast<uint8_t>(id);
        ap->channel = static_cast<uint16_t>(channel);
        ap->rssi = rssi;
        ap->bandwidthMHz = bandwidth;
        ap->secondaryChannel = secondary;
        model->accessPoints.push_back(std::move(ap));
        return *model->accessPoints.back();
    }

    AccessPoint& at(size_t i) { return *model->accessPoints[i]; }

    std::unique_ptr<SpectrumSettings> model = std::make_unique<SpectrumSettings>();
};
