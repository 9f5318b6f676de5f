#include "model/AccessPointGrading.h"

#include <algorithm>
#include <cmath>

void AccessPointGrading::resetFigures() {
    const AccessPointGrading fresh;
    graded = fresh.graded;
    utilization = fresh.utilization;
    coChannelCount = fresh.coChannelCount;
    adjacentChannelCount = fresh.adjacentChannelCount;
    coChannelSum = fresh.coChannelSum;
    adjacentChannelSum = fresh.adjacentChannelSum;
    bestAlternativeGrade = fresh.bestAlternativeGrade;
    bestAlternativeChannel = fresh.bestAlternativeChannel;
}

void AccessPointGrading::addRecommendation(uint8_t channel) {
    if (recommendationCount >= kHistoryLength) {
        std::copy(recommendations + 1, recommendations + kHistoryLength, recommendations);
        recommendationCount = kHistoryLength - 1;
    }
    recommendations[recommendationCount++] = channel;
}

int AccessPointGrading::recommendedChannel() const {
    int tally[14] = {};
    const int count = std::min<int>(recommendationCount, kHistoryLength);
    for (int i = 0; i < count; ++i) {
        const int channel = recommendations[i];
        if (channel >= 1 && channel <= 13) {
            ++tally[channel];
        }
    }
    int best = 0;
    for (int channel = 1; channel <= 13; ++channel) {
        if (tally[channel] > tally[best]) {
            best = channel;
        }
    }
    return best;
}

const char* AccessPointGrading::letter(float grade) {
    const float g = std::isfinite(grade) ? std::clamp(grade, 0.0f, 100.0f) : 0.0f;
    if (g >= 90.0f) {
        return "A";
    }
    if (g >= 80.0f) {
        return "B";
    }
    if (g >= 70.0f) {
        return "C";
    }
    if (g >= 60.0f) {
        return "D";
    }
    return "F";
}
