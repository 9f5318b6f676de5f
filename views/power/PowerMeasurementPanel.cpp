#include "views/power/PowerMeasurementPanel.h"

#include <cmath>
#include <string>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "model/PowerMeasurementStatistics.h"
#include "model/PowerMeasurementText.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"

using engine::Color4B;
using engine::Label;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color4B kHeaderColour(160, 160, 160, 255);
const char* const kHeaders[] = {"Current", "Mean", "Min", "Max"};

Label* makeLabel(engine::Node& box, const char* sizing, float fontSize) {
    Label* label = Label::createWithTTF(sizing, kFont, fontSize);
    if (label) {
        label->setAnchorPoint(Vec2(0.f, 0.5f));
        box.addChild(label);
    }
    return label;
}

std::string capturesText(uint32_t count) {
    return "Captures: " + std::to_string(count);
}

}  // namespace

bool PowerMeasurementPanel::create(engine::Node& parent, float fontSize) {
    box_ = engine::LayerColor::create(Color4B(26, 26, 26, 166));
    if (!box_) {
        return false;
    }
    for (int i = 0; i < kRows; ++i) {
        names_[i] = makeLabel(*box_, "Overshoot (+):", fontSize);
        values_[i] = makeLabel(*box_, "-00.00 dBm", fontSize);
        for (Label*& label : statistics_[i]) {
            label = makeLabel(*box_, "-00.00 dBm", fontSize);
        }
    }
    for (size_t i = 0; i < headers_.size(); ++i) {
        headers_[i] = makeLabel(*box_, kHeaders[i], fontSize);
        if (headers_[i]) {
            headers_[i]->setTextColor(kHeaderColour);
        }
    }
    captures_ = makeLabel(*box_, "Captures: 0", fontSize);
    if (captures_) {
        captures_->setTextColor(kHeaderColour);
    }
    parent.addChild(box_);
    return true;
}

void PowerMeasurementPanel::refresh(engine::Node& parent, SpectrumSettings& model, float fontSize,
                                    float left, float top) {
    const uint8_t* slots = model.power_setting.measureSlots;
    int rows = 0;
    for (int i = 0; i < kRows; ++i) {
        rows += PowerMeasurementText::isMeasurement(slots[i]) ? 1 : 0;
    }
    if (rows == 0) {
        if (box_) {
            box_->setVisible(false);
        }
        return;
    }
    if (!box_ && !create(parent, fontSize)) {
        return;
    }
    PulseMeasurement::Results results;
    PowerMeasurementStatistics statistics;
    {
        results = model.live.pulseMeasurements;
        statistics = model.pulseStatistics;
    }
    // One capture of a steady signal that lacks a cycle-based value does not blank the row.
    for (size_t id = 0; id < results.size(); ++id) {
        if (!std::isfinite(results[id])) {
            results[id] = statistics.figure(static_cast<int>(id)).steady();
        }
    }
    const float offset = model.amplitudeOffset();
    const bool watts = model.common_settings.powerUnitsWatts != 0;
    const Color4B valueColour(model.power_channel.color[0], model.power_channel.color[1],
                              model.power_channel.color[2], 255);
    const float lineHeight = fontSize * 1.4f;
    const float nameWidth = fontSize * 7.5f;
    const float valueWidth = fontSize * 5.6f;
    const float padding = 6.f;
    const int lines = rows + 2;  // the header and the capture count
    const Size size(nameWidth + (1 + kStatisticColumns) * valueWidth + 2.f * padding,
                    static_cast<float>(lines) * lineHeight + 2.f * padding);
    box_->setVisible(true);
    box_->setContentSize(size);
    box_->setPosition(left, top - size.height);
    auto lineY = [&](int line) {
        return size.height - padding - (static_cast<float>(line) + 0.5f) * lineHeight;
    };
    auto columnX = [&](int column) {
        return padding + nameWidth + static_cast<float>(column) * valueWidth;
    };
    for (size_t i = 0; i < headers_.size(); ++i) {
        if (headers_[i]) {
            headers_[i]->setPosition(columnX(static_cast<int>(i)), lineY(0));
        }
    }
    if (captures_) {
        captures_->setString(capturesText(statistics.captures()));
        captures_->setPosition(padding, lineY(lines - 1));
    }
    const PowerMeasurementStatistics::Figure& peakToPeakMilliwatts =
        statistics.figure(PowerMeasurementStatistics::kPeakToPeakMilliwatts);
    int row = 0;
    for (int i = 0; i < kRows; ++i) {
        Label* name = names_[i];
        Label* value = values_[i];
        if (!name || !value) {
            continue;
        }
        const int id = slots[i];
        const bool used = PowerMeasurementText::isMeasurement(id);
        name->setVisible(used);
        value->setVisible(used);
        for (Label* label : statistics_[i]) {
            if (label) {
                label->setVisible(used);
            }
        }
        if (!used) {
            continue;
        }
        const float y = lineY(row + 1);
        name->setString(std::string(PowerMeasurementText::name(id)) + ":");
        name->setPosition(padding, y);
        value->setString(PowerMeasurementText::value(id, results, offset, watts));
        value->setTextColor(valueColour);
        value->setPosition(columnX(0), y);
        const PowerMeasurementStatistics::Figure& f = statistics.figure(id);
        const float figures[kStatisticColumns][2] = {
            {f.mean(), peakToPeakMilliwatts.mean()},
            {f.min, peakToPeakMilliwatts.min},
            {f.max, peakToPeakMilliwatts.max},
        };
        for (int c = 0; c < kStatisticColumns; ++c) {
            Label* label = statistics_[i][c];
            if (!label) {
                continue;
            }
            label->setString(
                PowerMeasurementText::figure(id, figures[c][0], figures[c][1], offset, watts));
            label->setTextColor(valueColour);
            label->setPosition(columnX(1 + c), y);
        }
        ++row;
    }
}
