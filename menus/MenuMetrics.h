#pragma once

// Sizes a menu lays its rows out with, chosen by display-size class: the text size (a row is
// twice as tall), the gap between rows, the margin inside the panel and half the gap between
// neighbouring controls of a row.
struct MenuMetrics {
    float fontSize = 16.f;
    float rowGap = 5.f;
    float margin = 5.f;
    float inset = 2.5f;

    float rowHeight() const { return fontSize * 2.f; }

    static MenuMetrics forDisplayClass(int displayClass) {
        switch (displayClass) {
            case 1:
                return {20.f, 5.f, 5.f, 2.5f};
            case 2:
                return {18.f, 8.f, 5.f, 2.5f};
            case 3:
                return {16.f, 8.f, 5.f, 2.5f};
            default:
                return {16.f, 5.f, 5.f, 2.5f};
        }
    }
};
