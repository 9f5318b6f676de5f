#include "app/StatusStrip.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"

using engine::Color3B;
using engine::Color4B;
using engine::Label;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";

float measure(const std::string& text, float fontSize) {
    Label* label = Label::createWithTTF(text, kRegularFont, fontSize);
    return label ? label->getContentSize().width : 0.f;
}

void setShown(Label* label, bool shown, uint8_t opacity) {
    if (label)
        label->setOpacity(shown ? opacity : 0);
}

}  // namespace

StatusStrip* StatusStrip::createWithModel(SpectrumSettings* model) {
    auto* strip = new (std::nothrow) StatusStrip();
    if (strip && strip->initWithModel(model)) {
        strip->autorelease();
        return strip;
    }
    delete strip;
    return nullptr;
}

bool StatusStrip::initWithModel(SpectrumSettings* model) {
    if (!model || !Node::init())
        return false;
    model_ = model;
    const float fontSize = MenuController::barHeight(model_->runtime.displayClass) / 5.f;
    auto make = [&](const char* text, const Color3B& colour) {
        Label* label = Label::createWithTTF(text, kRegularFont, fontSize);
        if (!label)
            return label;
        label->setAnchorPoint(Vec2(0.5f, 0.5f));
        label->setTextColor(Color4B(colour, 255));
        label->setOpacity(0);
        addChild(label);
        return label;
    };
    const Color3B white(255, 255, 255);
    amplitudeLabel_ = make("A:10.00dBm/div", white);
    divisionLabel_ = make("Hz:10.00GHz/div", white);
    cursorXLabel_ = make("@Hz: 2500 MHz", Color3B(255, 0, 0));
    cursorDeltaXLabel_ = make("ΔHz: 2500 MHz", Color3B(255, 0, 0));
    const Color3B pairColours[3] = {{255, 165, 0}, {255, 0, 255}, {255, 255, 0}};
    for (int n = 0; n < 3; ++n) {
        readoutAtLabels_[n] = make("@dBm: -100.00dBm", pairColours[n]);
        readoutDeltaLabels_[n] = make("ΔdBm: -100.00dBm", pairColours[n]);
    }
    triggerLabel_ = make("TRIG?", Color3B(0, 255, 255));

    amplitudeWidth_ = measure("A:XX.XXdBm/div", fontSize);
    divisionWidth_ = measure("Hz:XX.XXGHz/div", fontSize);
    triggerWidth_ = measure("TRIG?", fontSize);
    positionWidth_ =
        std::max(measure("@Hz: 2500 MHz", fontSize), measure("ΔHz: 2500 MHz", fontSize));
    readoutWidth_ =
        std::max(measure("@dBm: -XXX.XX0dBm", fontSize), measure("ΔdBm: -XXX.XXdBm", fontSize));
    return amplitudeLabel_ != nullptr;
}

void StatusStrip::updateLabels() {
    const Size visible = engine::Director::getInstance()->getVisibleSize();
    const float bar = MenuController::barHeight(model_->runtime.displayClass);
    { texts_ = StatusReadouts::compute(*model_, visible.width - 2, visible.height - bar - 2); }
    auto write = [](Label* label, const std::string& text) {
        if (label && label->isVisible() && label->getString() != text)
            label->setString(text);
    };
    write(amplitudeLabel_, texts_.amplitude);
    write(divisionLabel_, texts_.division);
    write(triggerLabel_, texts_.trigger);
    if (!model_->cursors.cursorsShown)
        return;
    write(cursorXLabel_, texts_.cursorX);
    write(cursorDeltaXLabel_, texts_.cursorDeltaX);
    for (int n = 0; n < 3; ++n) {
        const StatusTexts::Pair& pair = texts_.pairs[n];
        if (!pair.used || !readoutAtLabels_[n] || !readoutDeltaLabels_[n])
            continue;
        const Color4B colour(pair.colour[0], pair.colour[1], pair.colour[2], 255);
        write(readoutAtLabels_[n], pair.at);
        write(readoutDeltaLabels_[n], pair.delta);
        readoutAtLabels_[n]->setTextColor(colour);
        readoutDeltaLabels_[n]->setTextColor(colour);
    }
}

void StatusStrip::layoutLabels(float shown) {
    const engine::Director* director = engine::Director::getInstance();
    const Size visible = director->getVisibleSize();
    const float bar = MenuController::barHeight(model_->runtime.displayClass);
    // The strip is the menu bar's: along the bottom of the visible area, as high as the bar.
    setPosition(director->getVisibleOrigin());
    setContentSize(Size(visible.width, bar));

    const uint8_t opacity = static_cast<uint8_t>(std::clamp(shown, 0.f, 1.f) * 255.f);
    const bool spectrum = model_->common_settings.spectrumMode != CommonSettings::kPowerMode;
    const bool cursors = model_->cursors.cursorsShown != 0;

    struct Column {
        float width;
        Label* middle;
        Label* upper;
        Label* lower;
    };
    std::vector<Column> columns;
    columns.push_back({amplitudeWidth_, amplitudeLabel_, nullptr, nullptr});
    columns.push_back({divisionWidth_, divisionLabel_, nullptr, nullptr});
    if (!spectrum)
        columns.push_back({triggerWidth_, triggerLabel_, nullptr, nullptr});
    if (cursors) {
        columns.push_back({positionWidth_, nullptr, cursorXLabel_, cursorDeltaXLabel_});
        for (int n = 0; n < 3; ++n) {
            if (texts_.pairs[n].used)
                columns.push_back(
                    {readoutWidth_, nullptr, readoutAtLabels_[n], readoutDeltaLabels_[n]});
        }
    }

    // Everything not in a column is made fully transparent.
    setShown(triggerLabel_, !spectrum, opacity);
    setShown(cursorXLabel_, cursors, opacity);
    setShown(cursorDeltaXLabel_, cursors, opacity);
    for (int n = 0; n < 3; ++n) {
        const bool used = cursors && texts_.pairs[n].used;
        setShown(readoutAtLabels_[n], used, opacity);
        setShown(readoutDeltaLabels_[n], used, opacity);
    }
    setShown(amplitudeLabel_, true, opacity);
    setShown(divisionLabel_, true, opacity);

    // Equal gaps between and around the columns, over the strip less the fly button.
    const float stripWidth = visible.width - MenuBar::kFlyButtonWidth;
    float total = 0;
    for (const Column& column : columns)
        total += column.width;
    const float gap = std::max(0.f, (stripWidth - total) / (columns.size() + 1));
    float x = gap;
    for (const Column& column : columns) {
        const float centre = std::round(x + column.width * 0.5f);
        if (column.middle)
            column.middle->setPosition(centre, std::round(bar * 0.5f));
        if (column.upper)
            column.upper->setPosition(centre, std::round(bar * 0.75f));
        if (column.lower)
            column.lower->setPosition(centre, std::round(bar * 0.25f));
        x += column.width + gap;
    }
}
