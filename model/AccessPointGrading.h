#pragma once

#include <cstdint>

// What the utilization grading found for one access point. Recomputed by every grading except the
// recommendation history, which spans gradings: the channel shown is the most frequent of the
// newest recommendations, so keeping only the latest would let it flip with every scan.
struct AccessPointGrading {
    static constexpr int kHistoryLength = 10;

    bool graded = false;       // false until a grading covered this access point: tables show "--"
    float utilization = 0.0f;  // % of the occupied bins' level over the newest sweeps
    int32_t coChannelCount = 0;
    int32_t adjacentChannelCount = 0;
    float coChannelSum = 0.0f;
    float adjacentChannelSum = 0.0f;
    float bestAlternativeGrade = 0.0f;
    int32_t bestAlternativeChannel = 0;            // 0: none
    uint8_t recommendations[kHistoryLength] = {};  // oldest first
    uint8_t recommendationCount = 0;

    // Everything but the recommendation history back to zero.
    void resetFigures();

    // Appends a recommended channel, dropping the oldest beyond kHistoryLength.
    void addRecommendation(uint8_t channel);

    // The most frequent channel 1..13 of the history (ties: the lower channel); 0 for none.
    int recommendedChannel() const;

    // "A" from 90, "B" from 80, "C" from 70, "D" from 60, else "F" (of the grade clamped to
    // 0..100).
    static const char* letter(float grade);
};
