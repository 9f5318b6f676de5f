#include "model/UtilizationGrading.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "model/AccessPointSelection.h"
#include "model/ChannelPlan24.h"
#include "model/SpectrumSettings.h"

namespace {

constexpr float kBandStartMHz = 2400.0f;

float clamp01(float value) {
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
}

// Inclusive bins of a frequency range, clamped to the measured part of a sweep row.
struct BinRange {
    int lo = 0;
    int hi = -1;
    int count() const { return hi - lo + 1; }
};

// The newest sweeps and how to read them.
struct SweepWindow {
    std::vector<const float*> rows;
    int points = 0;        // measured values per row
    float binsPerMHz = 0;  // raw points / 100 MHz
    float floor = 0;

    // Level above the floor; a value that is not a number contributes nothing.
    float above(float level) const { return std::isfinite(level) ? level - floor : 0.0f; }

    // What a level is divided by: never below 1 dB, so a level at or below the floor cannot
    // blow a quotient up or flip its sign.
    float span(float level) const {
        const float d = above(level);
        return d > UtilizationGrading::kMinimumLevelSpan ? d
                                                         : UtilizationGrading::kMinimumLevelSpan;
    }

    BinRange bins(float lowMHz, float highMHz) const {
        BinRange r;
        if (points <= 0 || binsPerMHz <= 0.0f) {
            return r;
        }
        const double lo = std::ceil(static_cast<double>(lowMHz - kBandStartMHz) * binsPerMHz);
        const double hi = std::floor(static_cast<double>(highMHz - kBandStartMHz) * binsPerMHz);
        r.lo = static_cast<int>(std::clamp(lo, 0.0, static_cast<double>(points)));
        r.hi = static_cast<int>(std::clamp(hi, -1.0, static_cast<double>(points - 1)));
        return r;
    }

    // Utilization % of an access point at `rssi` over `range`: the mean level above the floor
    // over the bins and sweeps, relative to the access point's own level.
    float utilization(const std::optional<FrequencySpan>& range, float rssi) const {
        if (!range) {
            return 0.0f;
        }
        const BinRange b = bins(range->lowMHz, range->highMHz);
        const int cells = b.count() * static_cast<int>(rows.size());
        if (cells <= 0) {
            return 0.0f;
        }
        double sum = 0.0;
        for (const float* row : rows) {
            for (int i = b.lo; i <= b.hi; ++i) {
                sum += above(row[i]);
            }
        }
        const double u = sum / span(rssi) * 100.0 / cells;
        return std::isfinite(u) ? static_cast<float>(u) : 0.0f;
    }
};

// An access point as the grading sees it.
struct Station {
    AccessPoint* ap = nullptr;
    int channel = 0;    // 1..14 or anything the record held
    int secondary = 0;  // 0: none
    std::optional<ChannelSpan> overlap;
    bool selected = false;
};

bool onChannel(const Station& s) {
    return ChannelPlan24::isChannel(s.channel);
}

// Co-channel: the primaries or secondaries meet. Symmetric in its arguments.
bool coChannel(int c, int sc, int d, int sd) {
    return d == c || (sc != 0 && d == sc) || (sd != 0 && (sd == c || (sc != 0 && sd == sc)));
}

// Adjacent: either lies in the other's overlap, so the pair counts the same whichever comes
// first in the list.
bool adjacent(int c, const std::optional<ChannelSpan>& overlapC, int d,
              const std::optional<ChannelSpan>& overlapD) {
    return (overlapC && overlapC->contains(d)) || (overlapD && overlapD->contains(c));
}

// Interference term of an access point at `own` from one at `other` (levels above the floor).
float term(float own, float other) {
    const float t = 2.0f * (other - own) / own + 1.0f;
    return std::isfinite(t) ? std::clamp(t, 0.0f, 2.0f) : 0.0f;
}

float candidateGrade(const Station& a, int channel, const std::vector<Station>& stations,
                     const SweepWindow& window) {
    if (!ChannelPlan24::isChannel(channel)) {
        return UtilizationGrading::kNoChannel;
    }
    const AccessPoint& ap = *a.ap;
    const int sc = ChannelPlan24::secondary(channel, ap.bandwidthMHz, ap.secondaryChannel);
    const auto overlap = ChannelPlan24::overlapping(channel, ap.bandwidthMHz, ap.secondaryChannel);
    const float u = window.utilization(
        ChannelPlan24::occupied(channel, ap.bandwidthMHz, ap.secondaryChannel), ap.rssi);
    float coSum = 0.0f;
    float adjacentSum = 0.0f;
    const float own = window.span(ap.rssi);
    for (const Station& b : stations) {
        if (b.ap == a.ap || b.selected || !onChannel(b) ||
            std::memcmp(b.ap->bssid, ap.bssid, 6) == 0) {
            continue;
        }
        if (coChannel(channel, sc, b.channel, b.secondary)) {
            coSum += term(own, window.span(b.ap->rssi));
        } else if (adjacent(channel, overlap, b.channel, b.overlap)) {
            adjacentSum += term(own, window.span(b.ap->rssi));
        }
    }
    return UtilizationGrading::gradeOf(ap.rssi, u, adjacentSum, coSum);
}

void recommend(const Station& a, const std::vector<Station>& stations, const SweepWindow& window) {
    AccessPoint& ap = *a.ap;
    int first = 1;
    int last = 11;
    if (ap.bandwidthMHz == 40 && ap.secondaryChannel == ChannelPlan24::kSecondaryAbove) {
        last = 7;
    } else if (ap.bandwidthMHz == 40 && ap.secondaryChannel == ChannelPlan24::kSecondaryBelow) {
        first = 5;
    }
    const float reference = ap.grade * UtilizationGrading::channelWeight(a.channel);
    AccessPointGrading& g = ap.grading;
    for (int i = first; i <= last; ++i) {
        if (i == a.channel) {
            continue;
        }
        const float value =
            candidateGrade(a, i, stations, window) * UtilizationGrading::channelWeight(i);
        if (value >= reference && value >= g.bestAlternativeGrade) {
            g.bestAlternativeGrade = value;
            g.bestAlternativeChannel = i;
        }
    }
    const int best = g.bestAlternativeChannel != 0 ? g.bestAlternativeChannel : a.channel;
    g.addRecommendation(static_cast<uint8_t>(best));
}

void channelFigures(SpectrumSettings& model, const std::vector<Station>& stations,
                    const SweepWindow& window) {
    ScanStatistics& statistics = model.scanStatistics;
    std::optional<float> strongest;
    for (const Station& s : stations) {
        if (std::isfinite(s.ap->rssi) && (!strongest || s.ap->rssi > *strongest)) {
            strongest = s.ap->rssi;
        }
    }
    for (int n = 1; n <= 14; ++n) {
        std::optional<float> reference;
        for (const Station& s : stations) {
            if (s.channel == n && std::isfinite(s.ap->rssi) &&
                (!reference || s.ap->rssi > *reference)) {
                reference = s.ap->rssi;
            }
        }
        if (!reference) {
            reference = strongest;
        }
        float& figure = statistics.channelUtilization[n - 1];
        figure = 0.0f;
        const float low = n == 14 ? 74.0f : 5.0f * static_cast<float>(n - 1) + 2.0f;
        const BinRange b = window.bins(kBandStartMHz + low, kBandStartMHz + low + 20.0f);
        if (!reference || b.count() <= 0 || window.rows.empty()) {
            continue;
        }
        const float span = window.span(*reference);
        double sum = 0.0;
        for (int i = b.lo; i <= b.hi; ++i) {
            float peak = -INFINITY;
            for (const float* row : window.rows) {
                peak = std::max(peak, window.above(row[i]));
            }
            sum += peak / span * 100.0f;
        }
        const double mean = sum / b.count();
        figure = std::isfinite(mean) ? static_cast<float>(mean) : 0.0f;
    }
}

void addCount(ScanStatistics& statistics, int channel) {
    uint16_t& count = statistics.channelApCount[channel - 1];
    if (count < UINT16_MAX) {
        ++count;
    }
}

}  // namespace

float UtilizationGrading::channelWeight(int channel) {
    return channel == 1 || channel == 6 || channel == 11 ? 1.0f : kOffChannelWeight;
}

float UtilizationGrading::gradeOf(float rssi, float utilization, float adjacentSum,
                                  float coChannelSum) {
    const float s = clamp01((rssi + 100.0f) / 80.0f) * 100.0f;
    const float u = clamp01(utilization / 100.0f) * 100.0f;
    const float j = clamp01(1.0f - adjacentSum / 10.0f) * 100.0f;
    const float k = clamp01(1.0f - coChannelSum / 10.0f) * 100.0f;
    const float grade = 0.5f * s + 20.0f + 0.1f * (100.0f - u) + 0.25f * j + 0.15f * k;
    return std::clamp(grade, 0.0f, 100.0f);
}

bool UtilizationGrading::run(SpectrumSettings& model, bool force) {
    ScanStatistics& statistics = model.scanStatistics;
    const BandSweepBuffers& band = model.band24;
    const float floor = model.accessory.levelMin24;
    if (!std::isfinite(floor) || band.sweepCount() < kSweepsGraded ||
        !(force || statistics.gradingCounter >= kCounterLimit)) {
        if (statistics.gradingCounter < kCounterLimit) {
            ++statistics.gradingCounter;
        }
        statistics.statisticsUpdated = true;
        return false;
    }
    const int next = statistics.gradingCounter + 1;
    statistics.gradingCounter = next < kCounterLimit ? static_cast<uint8_t>(next) : 0;
    std::fill(std::begin(statistics.channelUtilization), std::end(statistics.channelUtilization),
              0.0f);
    std::fill(std::begin(statistics.channelApCount), std::end(statistics.channelApCount), 0);

    SweepWindow window;
    window.floor = floor;
    const int raw = model.accessory.rawPoints24;
    window.points = std::min(raw, band.pointsPerSweep());
    window.binsPerMHz = static_cast<float>(raw) / 100.0f;
    for (int i = band.sweepCount() - kSweepsGraded; i < band.sweepCount(); ++i) {
        window.rows.push_back(band.sweep(i));
    }

    std::vector<Station> stations;
    for (auto& entry : model.accessPoints) {
        if (!entry) {
            continue;
        }
        AccessPoint& ap = *entry;
        ap.grading.resetFigures();
        ap.grade = 0.0f;
        ap.gradePercent = 0.0f;
        if (ap.is5GHz != 0 || ap.channel == 0) {
            continue;
        }
        Station s;
        s.ap = &ap;
        s.channel = ap.channel;
        s.secondary = ChannelPlan24::secondary(s.channel, ap.bandwidthMHz, ap.secondaryChannel);
        s.overlap = ChannelPlan24::overlapping(s.channel, ap.bandwidthMHz, ap.secondaryChannel);
        s.selected = AccessPointSelection::contains(statistics, ap.bssid);
        stations.push_back(s);
    }

    for (Station& s : stations) {
        AccessPoint& ap = *s.ap;
        if (onChannel(s)) {
            bool counted[15] = {};
            counted[s.channel] = true;
            if (s.secondary != 0) {
                counted[s.secondary] = true;
            }
            if (s.overlap) {
                for (int n = s.overlap->low; n <= s.overlap->high; ++n) {
                    counted[n] = true;
                }
            }
            for (int n = 1; n <= 14; ++n) {
                if (counted[n]) {
                    addCount(statistics, n);
                }
            }
        }
        ap.grading.utilization = window.utilization(
            ChannelPlan24::occupied(s.channel, ap.bandwidthMHz, ap.secondaryChannel), ap.rssi);
        ap.gradePercent = ap.grading.utilization;
    }

    // Every pair once; a pair counts unless both are the user's own access points, so the
    // result does not depend on the order of the list.
    for (size_t i = 0; i < stations.size(); ++i) {
        const Station& a = stations[i];
        if (!onChannel(a)) {
            continue;
        }
        for (size_t j = i + 1; j < stations.size(); ++j) {
            const Station& b = stations[j];
            if (!onChannel(b) || (a.selected && b.selected)) {
                continue;
            }
            AccessPointGrading& ga = a.ap->grading;
            AccessPointGrading& gb = b.ap->grading;
            const float la = window.span(a.ap->rssi);
            const float lb = window.span(b.ap->rssi);
            if (coChannel(a.channel, a.secondary, b.channel, b.secondary)) {
                ++ga.coChannelCount;
                ++gb.coChannelCount;
                ga.coChannelSum += term(la, lb);
                gb.coChannelSum += term(lb, la);
            } else if (adjacent(a.channel, a.overlap, b.channel, b.overlap)) {
                ++ga.adjacentChannelCount;
                ++gb.adjacentChannelCount;
                ga.adjacentChannelSum += term(la, lb);
                gb.adjacentChannelSum += term(lb, la);
            }
        }
    }

    for (Station& s : stations) {
        AccessPoint& ap = *s.ap;
        ap.grade = gradeOf(ap.rssi, ap.grading.utilization, ap.grading.adjacentChannelSum,
                           ap.grading.coChannelSum);
        ap.grading.graded = true;
    }
    for (const Station& s : stations) {
        if (s.selected) {
            recommend(s, stations, window);
        }
    }

    channelFigures(model, stations, window);
    statistics.statisticsUpdated = true;
    return true;
}
