#pragma once

#include <cstddef>
#include <vector>

// The smoothed curve of a short power capture: a natural cubic spline through the samples
// (j, y_j) with chord-length knot spacing h_j = sqrt(1 + (y_{j+1} - y_j)^2), evaluated at four
// points per segment. A segment whose cubic overshoots its end values by more than a tenth of
// their difference is drawn straight, so that a sharp edge does not ring. Pure arithmetic.
class PowerSpline {
  public:
    // Captures up to this many samples are smoothed; longer ones are drawn point by point.
    static constexpr size_t kMaxSmoothedSamples = 400;
    static constexpr int kPointsPerSegment = 4;

    // Cubic of one segment in t in [0, 1]: c0 + c1 t + c2 t^2 + c3 t^3.
    struct Segment {
        double c0 = 0, c1 = 0, c2 = 0, c3 = 0;
        double at(double t) const { return c0 + t * (c1 + t * (c2 + t * c3)); }
    };

    // Second derivatives M_j at the knots (M_0 = M_{n-1} = 0), by forward elimination and back
    // substitution of the tridiagonal system. Empty for fewer than 2 samples.
    static std::vector<double> secondDerivatives(const float* y, size_t count);

    // Segment k (1..count-1) between samples k-1 and k, with the overshoot guard applied.
    static Segment segment(const float* y, const std::vector<double>& m, size_t k);

    // Appends 4 (count - 1) + 1 interleaved (x, y) pairs spanning [0, width] to `out`; nothing
    // for fewer than 2 samples.
    static void appendCurve(const float* y, size_t count, float width, std::vector<float>& out);
};
