#include "views/power/PowerTraceVertices.h"

#include <algorithm>
#include <cmath>

#include "model/MeasurementRecords.h"
#include "views/power/PowerSpline.h"

void PowerTraceVertices::buildRoll(const std::vector<float>& samples, int rollPoints, float width,
                                   std::vector<float>& out) {
    out.clear();
    if (samples.size() < 2 || rollPoints < 2) {
        return;
    }
    const size_t points = static_cast<size_t>(rollPoints);
    const size_t n = std::min(points, samples.size());
    const size_t first = samples.size() - n;
    const float spacing = width / static_cast<float>(points - 1);
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(static_cast<float>(i + points - n) * spacing);
        out.push_back(samples[first + i]);
    }
}

void PowerTraceVertices::buildCapture(const std::vector<float>& capture, float width,
                                      std::vector<float>& out) {
    out.clear();
    const size_t count = capture.size();
    if (count < 2) {
        return;
    }
    if (count <= PowerSpline::kMaxSmoothedSamples) {
        PowerSpline::appendCurve(capture.data(), count, width, out);
        return;
    }
    const float spacing = width / static_cast<float>(count - 1);
    out.reserve(2 * count);
    for (size_t j = 0; j < count; ++j) {
        out.push_back(static_cast<float>(j) * spacing);
        out.push_back(capture[j]);
    }
}

size_t PowerTraceVertices::convertNewCaptures(PowerTraceLists& set, float width) {
    if (set.processedHistory.size() > set.history.size()) {
        const size_t extra = set.processedHistory.size() - set.history.size();
        set.processedHistory.erase(set.processedHistory.begin(),
                                   set.processedHistory.begin() + static_cast<long>(extra));
        set.alpha.erase(set.alpha.begin(),
                        set.alpha.begin() + static_cast<long>(std::min(extra, set.alpha.size())));
    }
    size_t converted = 0;
    for (size_t j = set.processedHistory.size(); j < set.history.size(); ++j) {
        std::vector<float> vertices;
        buildCapture(set.history[j], width, vertices);
        set.processedHistory.push_back(std::move(vertices));
        set.alpha.push_back(1.0f);
        ++converted;
    }
    return converted;
}

float PowerTraceVertices::fadeStep(float dt, float persistTime, float captureInterval) {
    float persistence = persistTime;
    if (captureInterval > persistTime) {
        persistence = captureInterval + 0.00001f;
    }
    if (!(persistence > 0.0f) || !std::isfinite(persistence)) {
        return 1.0f;
    }
    return std::max(dt, 0.0f) / persistence;
}

size_t PowerTraceVertices::fade(PowerTraceLists& set, float step) {
    std::vector<float>& alpha = set.alpha;
    alpha.resize(set.processedHistory.size(), 1.0f);
    size_t expired = 0;  // captures up to and including the newest expired one
    for (size_t j = 0; j < alpha.size(); ++j) {
        if (!(alpha[j] > 0.0f)) {
            expired = j + 1;
        }
    }
    if (expired > 0) {
        set.dropOldestCaptures(expired);
    }
    if (alpha.empty()) {
        return expired;
    }
    alpha.back() = 1.0f;
    if (alpha.size() >= 2 && std::isfinite(step)) {
        for (size_t j = 0; j + 1 < alpha.size(); ++j) {
            alpha[j] -= step;
        }
    }
    return expired;
}

void PowerTraceVertices::appendDrawnLevels(const PowerTraceLists& set, std::vector<uint8_t>& out) {
    for (size_t j = 0; j < set.processedHistory.size(); ++j) {
        const float brightness = j < set.alpha.size() ? set.alpha[j] : 1.0f;
        const float level = brightness > 0.0f ? std::min(brightness, 1.0f) * 255.0f : 0.0f;
        out.push_back(static_cast<uint8_t>(std::lround(level)));
    }
}

float PowerTraceVertices::pointUnder(float x, float firstX, float spacing, size_t count) {
    if (count < 2 || !(spacing > 0.0f) || !std::isfinite(x) || !std::isfinite(firstX) ||
        !std::isfinite(spacing)) {
        return -1.0f;
    }
    const float u = (x - firstX) / spacing;
    return std::clamp(u, 0.0f, static_cast<float>(count - 1));
}

float PowerTraceVertices::valueAt(const std::vector<float>& vertices, float index) {
    const size_t count = vertices.size() / 2;
    if (count == 0 || !(index >= 0.0f)) {
        return NAN;
    }
    const size_t a = std::min(static_cast<size_t>(index), count - 1);
    if (a + 1 >= count) {
        return vertices[2 * (count - 1) + 1];
    }
    const float t = index - static_cast<float>(a);
    return (1.0f - t) * vertices[2 * a + 1] + t * vertices[2 * a + 3];
}
