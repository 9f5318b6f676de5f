#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/StoredSettings.h"

// Range checks of the records a configuration slot loads. A value no menu can set (a band of 99,
// a NaN or ±FLT_MAX level, an index past every list) comes from a damaged or hand-edited store;
// left in place it blanks a view or overflows an index. Each such field goes back to its default
// and is named in one notice line ("config0.spectrum_settings: band 99 is out of range; using
// 0"). Switch and colour bytes take any value (non-zero is on), so they are never out of range.
class StoredValueChecks {
  public:
    // Accessory time-base and amplitude lists are far shorter; the bound keeps index arithmetic
    // from overflowing.
    static constexpr int kMaxListIndex = 1000;
    static constexpr int kMaxRollPoints = 100000;

    // `record` names the stored key in the notices; notices are appended to `notices`.
    StoredValueChecks(std::string record, std::vector<std::string>& notices)
        : record_(std::move(record)), notices_(notices) {}

    void check(CursorSettings& cursors);
    void check(CommonSettings& common);
    void check(SpectrumViewSettings& view);
    void check(PowerSettings& power);
    void check(TraceChannel& channel, const TraceChannel& defaults);
    void check(DemoSelection& demo);

    // An integer setting stored under a key of its own.
    void checkInteger(const char* field, int& value, int low, int high, int fallback);
    void checkInteger(const char* field, uint32_t& value, uint32_t high, uint32_t fallback);

  private:
    void checkByte(const char* field, uint8_t& value, int high, uint8_t fallback);
    void checkFloat(const char* field, float& value, float low, float high, float fallback);
    void report(const char* field, const std::string& value, const std::string& fallback);

    std::string record_;
    std::vector<std::string>& notices_;
};
