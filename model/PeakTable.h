#pragma once

#include <string>
#include <vector>

#include "model/TableExport.h"

class SpectrumSettings;

// The peaks of the shown spectrum traces as numbers: for each trace slot in use (kinds 1 to 5,
// each kind once, in slot order) the peaks the trace processing found, highest first, at the
// frequency of their point and the level the readouts show (attenuation included). The same
// lists the peak markers are drawn from, so table, labels and markers agree.
class PeakTable {
  public:
    struct Row {
        int kind = 0;   // SpectrumSettings trace kind 1..5
        int rank = 0;   // 1 for the highest
        int index = 0;  // point of the trace
        float frequencyMHz = 0.0f;
        float levelDbm = 0.0f;
        bool marked = false;  // one of the kind's peakCounts markers
    };

    // "RAW", "DECAY", "AVG.", "MAX", "MIN" for kinds 1 to 5; "" otherwise.
    static const char* kindName(int kind);

    // The frequency of point `index` of `points` across the band (the points span the band
    // edge to edge, as the traces are drawn).
    static float frequencyMHz(int band, int index, int points);

    static std::vector<Row> rows(const SpectrumSettings& model, int band);

    // "2437.3 MHz"; "-45.2 dBm", or watts with a prefix when `watts`.
    static std::string frequencyText(float mhz);
    static std::string levelText(float dbm, bool watts);

    static ExportTable exportTable(const std::vector<Row>& rows, int band);
};
