#pragma once

#include <array>
#include <cstdint>
#include <string>

class SpectrumSettings;

// The texts of the status labels, computed from the model alone so that every formula can be
// checked without a window. Widths and heights are those of the plotting rectangle.
struct StatusTexts {
    struct Pair {
        bool used = false;
        uint8_t colour[3] = {255, 255, 255};
        std::string at;
        std::string delta;
    };

    std::string amplitude;
    std::string division;
    std::string trigger;
    std::string cursorX;
    std::string cursorDeltaX;
    std::array<Pair, 3> pairs;
};

class StatusReadouts {
  public:
    // 2400-2500 MHz and 5145-5860 MHz.
    static float lowEdgeMHz(int band);
    static float spanMHz(int band);

    static std::string amplitudeText(const SpectrumSettings& model);
    static std::string divisionText(const SpectrumSettings& model);
    static std::string triggerText(const SpectrumSettings& model);
    // The "@" and "Δ" position texts of the vertical cursors.
    static void positionTexts(const SpectrumSettings& model, float plotWidth, std::string& at,
                              std::string& delta);
    // The level readout pairs (absolute or percent), marking the pairs in use.
    static void levelTexts(const SpectrumSettings& model, float plotHeight,
                           std::array<StatusTexts::Pair, 3>& pairs);

    // Everything, from the model as it stands.
    static StatusTexts compute(const SpectrumSettings& model, float plotWidth, float plotHeight);
};
