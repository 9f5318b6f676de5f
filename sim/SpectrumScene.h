#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "sim/GenerationProfile.h"

class SimRandom;

// The kinds of signal in the air, numbered as the demonstration menu numbers them.
enum class SignalType : uint8_t { None = 0, Wifi = 1, Dect = 2, Dsss = 3 };

// What a swept receiver sees: a noise floor plus the scene's transmitters. The sweep visits its
// points one after another, so a point only shows a transmitter that was on air while the
// receiver dwelt on that point; bursty signals flicker from sweep to sweep as on real hardware.
// A scene is stateless: a sweep depends only on the seed, the grid and the sweep's time.
class SpectrumScene {
  public:
    explicit SpectrumScene(uint64_t seed) : seed_(seed) {}
    virtual ~SpectrumScene() = default;

    static std::unique_ptr<SpectrumScene> create(SignalType type, uint64_t seed);

    // Levels in dBm of one sweep over `grid` that starts at `startSeconds` and lasts
    // `sweepSeconds`; `dbm` holds grid.points values.
    void render(const SweepGrid& grid, double startSeconds, double sweepSeconds,
                std::span<float> dbm) const;

    // Receiver noise floor at a frequency, before detector noise.
    static double noiseFloorDbm(double frequencyMHz);

  protected:
    // Time window in which the receiver dwells on point i.
    struct Dwell {
        double start;
        double length;
    };

    // Adds the scene's transmitters, in milliwatts, to `milliwatts` (one entry per grid point).
    // `rng` belongs to this sweep alone.
    virtual void addSignals(const SweepGrid& grid, double startSeconds, double dwellSeconds,
                            std::span<double> milliwatts, SimRandom& rng) const = 0;

    uint64_t seed() const { return seed_; }
    static bool is5GHz(const SweepGrid& grid) { return grid.startMHz > 4000.0; }
    static double toMilliwatts(double dbm);

  private:
    uint64_t seed_;
};

// Nothing on air: the receiver's own noise.
class QuietScene : public SpectrumScene {
  public:
    using SpectrumScene::SpectrumScene;

  protected:
    void addSignals(const SweepGrid&, double, double, std::span<double>,
                    SimRandom&) const override {}
};
