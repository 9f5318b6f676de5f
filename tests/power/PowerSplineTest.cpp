#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "views/power/PowerSpline.h"
#include "views/power/PowerTraceVertices.h"

namespace {

// The tridiagonal system solved densely by Gaussian elimination, for comparison.
std::vector<double> directSolve(const std::vector<float>& y) {
    const size_t n = y.size();
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    auto h = [&](size_t j) { return std::sqrt(1.0 + std::pow(double(y[j + 1]) - y[j], 2)); };
    a[0][0] = 1.0;
    a[n - 1][n - 1] = 1.0;
    for (size_t j = 1; j + 1 < n; ++j) {
        const double h0 = h(j - 1), h1 = h(j);
        const double lambda = h1 / (h0 + h1);
        a[j][j - 1] = 1.0 - lambda;
        a[j][j] = 2.0;
        a[j][j + 1] = lambda;
        a[j][n] = 6.0 * ((double(y[j + 1]) - y[j]) / (h1 * (h0 + h1)) -
                         (double(y[j]) - y[j - 1]) / (h0 * (h0 + h1)));
    }
    for (size_t c = 0; c < n; ++c) {
        for (size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (size_t k = c; k <= n; ++k) {
                a[r][k] -= f * a[c][k];
            }
        }
    }
    std::vector<double> m(n);
    for (size_t r = n; r-- > 0;) {
        double s = a[r][n];
        for (size_t k = r + 1; k < n; ++k) {
            s -= a[r][k] * m[k];
        }
        m[r] = s / a[r][r];
    }
    return m;
}

TEST(PowerSpline, SecondDerivativesMatchADirectSolve) {
    const std::vector<float> peak = {0, 1, 0};
    std::vector<double> m = PowerSpline::secondDerivatives(peak.data(), peak.size());
    ASSERT_EQ(m.size(), 3u);
    EXPECT_DOUBLE_EQ(m[0], 0.0);
    EXPECT_DOUBLE_EQ(m[1], -1.5);
    EXPECT_DOUBLE_EQ(m[2], 0.0);

    const std::vector<float> wave = {-40, -38, -20, -5, -4, -6, -22, -39, -41, -40, -30, -12};
    std::vector<double> fast = PowerSpline::secondDerivatives(wave.data(), wave.size());
    std::vector<double> dense = directSolve(wave);
    ASSERT_EQ(fast.size(), dense.size());
    for (size_t j = 0; j < fast.size(); ++j) {
        EXPECT_NEAR(fast[j], dense[j], 1e-9) << j;
    }
    EXPECT_TRUE(PowerSpline::secondDerivatives(wave.data(), 1).empty());
}

TEST(PowerSpline, CurvePassesThroughTheSamples) {
    const std::vector<float> y = {-30, -10, -25, -20};
    std::vector<float> out;
    PowerSpline::appendCurve(y.data(), y.size(), 300.0f, out);
    ASSERT_EQ(out.size(), 2u * (4 * 3 + 1));
    for (size_t j = 0; j < y.size(); ++j) {
        EXPECT_FLOAT_EQ(out[2 * 4 * j], 100.0f * j);
        EXPECT_FLOAT_EQ(out[2 * 4 * j + 1], y[j]);
    }
    // Between 0 and 1 the curve for 0, 1, 0 bulges above the straight line.
    const std::vector<float> peak = {0, 1, 0};
    out.clear();
    PowerSpline::appendCurve(peak.data(), peak.size(), 2.0f, out);
    EXPECT_GT(out[2 * 2 + 1], 0.5f);  // t = 0.5 of the first segment
    EXPECT_FLOAT_EQ(out[2 * 2], 0.5f);
}

TEST(PowerSpline, OvershootGuardPerSegment) {
    // Before a large step a small one (0 to 0.01) bends down to about -0.009: far more than a
    // tenth of its difference, so it is drawn straight. The large step itself stays curved.
    const std::vector<float> y = {0, 0, 0.01f, 10};
    std::vector<double> m = PowerSpline::secondDerivatives(y.data(), y.size());
    const PowerSpline::Segment small = PowerSpline::segment(y.data(), m, 2);
    EXPECT_NEAR(small.c1, 0.01, 1e-7);
    EXPECT_EQ(small.c2, 0.0);
    EXPECT_EQ(small.c3, 0.0);
    EXPECT_NE(PowerSpline::segment(y.data(), m, 3).c3, 0.0);

    // Equal end values (difference not above 0.000001) keep their cubic although it dips.
    const std::vector<float> z = {-40, -40, -39.9f, -10, -10};
    std::vector<double> mz = PowerSpline::secondDerivatives(z.data(), z.size());
    const PowerSpline::Segment flat = PowerSpline::segment(z.data(), mz, 1);
    EXPECT_LT(flat.at(0.75), -40.0);
    EXPECT_NE(flat.c3, 0.0);

    // In the drawn curve the guarded segment's quarter points lie on the straight line.
    std::vector<float> out;
    PowerSpline::appendCurve(y.data(), y.size(), 3.0f, out);
    EXPECT_NEAR(out[2 * 6 + 1], 0.005f, 1e-6);  // segment 2, t = 0.5
}

TEST(PowerSpline, FourHundredSamplesSmoothedFourHundredAndOneStraight) {
    std::vector<float> capture(400);
    for (size_t j = 0; j < capture.size(); ++j) {
        capture[j] = (j / 20) % 2 ? -10.0f : -40.0f;
    }
    std::vector<float> out;
    PowerTraceVertices::buildCapture(capture, 400.0f, out);
    EXPECT_EQ(out.size() / 2, 1597u);
    capture.push_back(-40.0f);
    PowerTraceVertices::buildCapture(capture, 400.0f, out);
    ASSERT_EQ(out.size() / 2, 401u);
    EXPECT_FLOAT_EQ(out[2 * 20], 20.0f);
    EXPECT_FLOAT_EQ(out[2 * 20 + 1], -10.0f);
    capture.resize(1);
    PowerTraceVertices::buildCapture(capture, 400.0f, out);
    EXPECT_TRUE(out.empty());
}

}  // namespace
