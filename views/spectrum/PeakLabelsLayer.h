#pragma once

#include <string>
#include <vector>

#include "engine/2d/Layer.h"

namespace engine {
class Label;
}

class SpectrumSettings;

// Frequency and level beside each peak marker of the spectrum traces, in the trace's colour:
// above a marker standing on its peak, below one hanging from the top edge. A label that would
// cover one already placed is left out rather than drawn over it. Lies on the trace layer's
// rectangle and places its labels where that layer places the markers.
class PeakLabelsLayer : public engine::Layer {
  public:
    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";

    static PeakLabelsLayer* createWithModel(SpectrumSettings* model, int band);
    ~PeakLabelsLayer() override;

    bool init() override;
    void update(float dt) override;

    const std::vector<engine::Label*>& getLabels() const { return labels_; }

  private:
    struct Wanted {
        std::string text;
        float x = 0;
        float markerY = 0;
        bool hanging = false;
        uint8_t rgb[3] = {};
    };

    PeakLabelsLayer() = default;
    void place(const std::vector<Wanted>& wanted);

    SpectrumSettings* model_ = nullptr;
    int band_ = 0;
    float markerHeight_ = 0;
    std::string lastKey_;
    std::vector<engine::Label*> labels_;  // children, retained
};
