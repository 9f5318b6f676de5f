#include "model/PeakTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/AccessPointTableExport.h"
#include "model/AxisScale.h"
#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"

const char* PeakTable::kindName(int kind) {
    static const char* const kNames[5] = {"RAW", "DECAY", "AVG.", "MAX", "MIN"};
    return kind >= 1 && kind <= 5 ? kNames[kind - 1] : "";
}

float PeakTable::frequencyMHz(int band, int index, int points) {
    const AxisScale::Axis axis = AxisScale::spectrumFrequency(band);
    if (points <= 1)
        return axis.first;
    return axis.first +
           (axis.last - axis.first) * static_cast<float>(index) / static_cast<float>(points - 1);
}

std::vector<PeakTable::Row> PeakTable::rows(const SpectrumSettings& model, int band) {
    std::vector<Row> out;
    const BandSweepBuffers& buffers = band == 1 ? model.band5 : model.band24;
    const int points = std::min(buffers.processedPointCount, buffers.pointsPerSweep());
    if (points <= 1)
        return out;
    const SpectrumViewSettings& view = model.spectrum_settings;
    const float offset = model.amplitudeOffset();
    bool listed[6] = {};
    for (uint8_t kind : view.traceModes) {
        if (kind < 1 || kind > 5 || listed[kind])
            continue;
        listed[kind] = true;
        // The peak lists run in kind order: raw, decay, average, maximum, minimum.
        const PeakList& peaks = buffers.peaks(kind - 1);
        const int markers = view.peakCounts[kind - 1];
        int rank = 0;
        for (const PeakEntry& entry : peaks) {
            if (entry.index < 0 || entry.index >= points || !std::isfinite(entry.value))
                continue;
            ++rank;
            out.push_back(Row{kind, rank, entry.index, frequencyMHz(band, entry.index, points),
                              entry.value + offset, rank <= markers});
        }
    }
    return out;
}

std::string PeakTable::frequencyText(float mhz) {
    char out[32];
    std::snprintf(out, sizeof out, "%.1f MHz", mhz);
    return out;
}

std::string PeakTable::levelText(float dbm, bool watts) {
    if (!std::isfinite(dbm))
        return "--";
    if (watts)
        return formatEngineering(dbmToMilliwatts(dbm) * 0.001f, 2) + "W";
    char out[32];
    std::snprintf(out, sizeof out, "%.1f dBm", dbm);
    return out;
}

ExportTable PeakTable::exportTable(const std::vector<Row>& rows, int band) {
    ExportTable table;
    table.kind = "Peaks";
    table.columns = {"Band (GHz)", "Trace", "Rank", "Frequency (MHz)", "Level (dBm)", "Marked"};
    for (const Row& row : rows) {
        table.rows.push_back({
            ExportCell{band == 1 ? "5" : "2.4", false},
            ExportCell{kindName(row.kind), false},
            AccessPointTableExport::number(row.rank, 0),
            AccessPointTableExport::number(row.frequencyMHz, 2),
            AccessPointTableExport::number(row.levelDbm, 2),
            ExportCell{row.marked ? "yes" : "no", false},
        });
    }
    return table;
}
