#include "views/power/PowerSpline.h"

#include <algorithm>
#include <cmath>

namespace {

double knotSpacing(const float* y, size_t j) {
    const double d = static_cast<double>(y[j + 1]) - y[j];
    return std::sqrt(1.0 + d * d);
}

constexpr double kFlatSegment = 0.000001;  // end values closer than this keep their cubic
constexpr double kOvershootShare = 0.1;

}  // namespace

std::vector<double> PowerSpline::secondDerivatives(const float* y, size_t count) {
    if (count < 2) {
        return {};
    }
    std::vector<double> m(count, 0.0);
    if (count == 2) {
        return m;
    }
    // Rows 1..count-2: mu_j M_{j-1} + 2 M_j + lambda_j M_{j+1} = d_j. Forward elimination keeps
    // the modified diagonal and right side; the end rows are the natural conditions M = 0.
    std::vector<double> diagonal(count, 2.0);
    std::vector<double> upper(count, 0.0);
    std::vector<double> rhs(count, 0.0);
    for (size_t j = 1; j + 1 < count; ++j) {
        const double h0 = knotSpacing(y, j - 1);
        const double h1 = knotSpacing(y, j);
        const double lambda = h1 / (h0 + h1);
        const double mu = 1.0 - lambda;
        const double d = 6.0 * ((static_cast<double>(y[j + 1]) - y[j]) / (h1 * (h0 + h1)) -
                                (static_cast<double>(y[j]) - y[j - 1]) / (h0 * (h0 + h1)));
        upper[j] = lambda;
        rhs[j] = d;
        if (j > 1) {
            const double factor = mu / diagonal[j - 1];
            diagonal[j] -= factor * upper[j - 1];
            rhs[j] -= factor * rhs[j - 1];
        }
    }
    for (size_t j = count - 2; j >= 1; --j) {
        m[j] = (rhs[j] - upper[j] * m[j + 1]) / diagonal[j];
    }
    return m;
}

PowerSpline::Segment PowerSpline::segment(const float* y, const std::vector<double>& m, size_t k) {
    const double a = y[k - 1];
    const double b = y[k];
    const double h = knotSpacing(y, k - 1);
    const double h2 = h * h;
    Segment s;
    s.c0 = a;
    s.c1 = (b - a) - h2 * m[k - 1] / 3.0 - h2 * m[k] / 6.0;
    s.c2 = h2 * m[k - 1] / 2.0;
    s.c3 = h2 * (m[k] - m[k - 1]) / 6.0;
    const double difference = std::fabs(a - b);
    if (difference > kFlatSegment) {
        double low = std::min(a, b);
        double high = std::max(a, b);
        double curveLow = low;
        double curveHigh = high;
        for (int i = 0; i < kPointsPerSegment; ++i) {
            const double v = s.at(i / static_cast<double>(kPointsPerSegment));
            curveLow = std::min(curveLow, v);
            curveHigh = std::max(curveHigh, v);
        }
        if (curveLow < low - kOvershootShare * difference ||
            curveHigh > high + kOvershootShare * difference) {
            s.c1 = b - a;
            s.c2 = 0.0;
            s.c3 = 0.0;
        }
    }
    return s;
}

void PowerSpline::appendCurve(const float* y, size_t count, float width, std::vector<float>& out) {
    if (count < 2) {
        return;
    }
    const std::vector<double> m = secondDerivatives(y, count);
    const double step = static_cast<double>(width) / static_cast<double>(count - 1);
    out.reserve(out.size() + 2 * (kPointsPerSegment * (count - 1) + 1));
    for (size_t k = 1; k < count; ++k) {
        const Segment s = segment(y, m, k);
        for (int i = 0; i < kPointsPerSegment; ++i) {
            const double t = i / static_cast<double>(kPointsPerSegment);
            out.push_back(static_cast<float>((static_cast<double>(k - 1) + t) * step));
            out.push_back(static_cast<float>(s.at(t)));
        }
    }
    out.push_back(width);
    out.push_back(y[count - 1]);
}
