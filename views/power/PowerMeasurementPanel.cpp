#include "views/power/PowerMeasurementPanel.h"

#include <string>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "model/PowerMeasurementText.h"
#include "model/PulseMeasurement.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"

using engine::Color4B;
using engine::Label;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";

}  // namespace

bool PowerMeasurementPanel::create(engine::Node& parent, float fontSize) {
    box_ = engine::LayerColor::create(Color4B(26, 26, 26, 166));
    if (!box_) {
        return false;
    }
    for (int i = 0; i < kRows; ++i) {
        names_[i] = Label::createWithTTF("Overshoot (+):", kFont, fontSize);
        values_[i] = Label::createWithTTF("-00.00 dBm", kFont, fontSize);
        for (Label* label : {names_[i], values_[i]}) {
            if (label) {
                label->setAnchorPoint(Vec2(0.f, 0.5f));
                box_->addChild(label);
            }
        }
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
    {
        ScopedModelLocks lock(model, ScopedModelLocks::kTrace);
        results = model.live.pulseMeasurements;
    }
    const float offset = model.amplitudeOffset();
    const bool watts = model.common_settings.powerUnitsWatts != 0;
    const Color4B valueColour(model.power_channel.color[0], model.power_channel.color[1],
                              model.power_channel.color[2], 255);
    const float lineHeight = fontSize * 1.4f;
    const float nameWidth = fontSize * 7.5f;
    const float valueWidth = fontSize * 6.f;
    const float padding = 6.f;
    const Size size(nameWidth + valueWidth + 2.f * padding, rows * lineHeight + 2.f * padding);
    box_->setVisible(true);
    box_->setContentSize(size);
    box_->setPosition(left, top - size.height);
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
        if (!used) {
            continue;
        }
        const float y = size.height - padding - (static_cast<float>(row) + 0.5f) * lineHeight;
        name->setString(std::string(PowerMeasurementText::name(id)) + ":");
        name->setPosition(padding, y);
        value->setString(PowerMeasurementText::value(id, results, offset, watts));
        value->setTextColor(valueColour);
        value->setPosition(padding + nameWidth, y);
        ++row;
    }
}
