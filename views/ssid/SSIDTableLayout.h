#pragma once

#include <vector>

#include "views/ssid/SSIDTableColumns.h"

// Where the SSID table's columns sit and how big its rows and text are, by display class:
// class 0 rows of 52 with 16-point text in the compact layout, class 1 rows of 26 with 16-point
// text, classes 2 and 3 rows of 26 with 14-point text.
struct SSIDTableLayout {
    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr const char* kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
    static constexpr float kColumnGap = 12.0f;
    static constexpr float kMargin = 8.0f;

    std::vector<SSIDTableColumn> columns;
    std::vector<float> x;  // left edge of each column
    std::vector<float> width;
    float fontSize = 16.0f;
    float rowHeight = 26.0f;
    float rowWidth = 0.0f;
    bool compact = false;
    int generation = 0;  // changes with every new layout, so cells know to rebuild

    static float rowHeightFor(int displayClass) { return displayClass == 0 ? 52.0f : 26.0f; }
    static float fontSizeFor(int displayClass) { return displayClass >= 2 ? 14.0f : 16.0f; }

    // Measures the sizing texts and header names (with a direction mark) in the font.
    static SSIDTableLayout measure(const std::vector<SSIDTableColumn>& columns, int displayClass,
                                   float rowWidth, int generation);
};
