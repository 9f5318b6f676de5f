#pragma once

#include <cstdint>
#include <vector>

#include "acquisition/BandAcquisition.h"
#include "model/BandSweepBuffers.h"
#include "publish/SweepRecord.h"

class SpectrumSettings;

// Turns the sweeps a band of the model receives into SweepRecords, every sweep once, in order.
// A copy of the band's history advances one sweep at a time through the same BandAcquisition the
// packet path runs, so a record carries exactly the traces the window shows once that sweep is the
// newest, however many sweeps arrive between two calls.
class SweepRecorder {
  public:
    // traceMask: TraceProcessing mask bits of the traces and peaks to carry (0: levels only).
    SweepRecorder(int band, uint8_t traceMask);

    // Appends a record per sweep that arrived since the last call, stamped `timeUs`. Caller holds
    // the model's trace and settings locks (or owns the model).
    void collect(const SpectrumSettings& model, uint64_t timeUs, std::vector<SweepRecord>& out);

    // Sweeps that left the model's history before they were collected.
    uint64_t missed() const { return missed_; }

    // The frequency of a band's first point (2.4 or 5.145 GHz) and the spacing of `points`
    // points that reach its last (2.5 or 5.86 GHz), as the spectrum view draws them.
    static uint64_t startHz(int band);
    static uint64_t stepHz(int band, int points);

  private:
    int band_;
    uint8_t traceMask_;
    BandSweepBuffers history_;
    BandAcquisition acquisition_;
    uint64_t nextSerial_ = 0;
    uint64_t missed_ = 0;
};
