#include "views/spectrum/PeakLabelsLayer.h"

#include <algorithm>
#include <new>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "model/PeakTable.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/RssiLayer.h"

using engine::Label;
using engine::Rect;
using engine::Vec2;

PeakLabelsLayer* PeakLabelsLayer::createWithModel(SpectrumSettings* model, int band) {
    auto* layer = new (std::nothrow) PeakLabelsLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    layer->band_ = band;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

PeakLabelsLayer::~PeakLabelsLayer() {
    for (Label* label : labels_)
        label->release();
}

bool PeakLabelsLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    // The trace layer shows its markers at half the icon's size.
    if (engine::Sprite* icon = engine::Sprite::create(RssiLayer::kPeakIcon))
        markerHeight_ = icon->getContentSize().height * 0.5f;
    scheduleUpdate();
    return true;
}

void PeakLabelsLayer::update(float) {
    std::vector<PeakTable::Row> rows;
    int points = 0;
    {
        rows = PeakTable::rows(*model_, band_);
        const BandSweepBuffers& buffers = band_ == 1 ? model_->band5 : model_->band24;
        points = std::min(buffers.processedPointCount, buffers.pointsPerSweep());
    }
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const AccessoryDescription& d = model_->accessory;
    const float bottom = band_ == 1 ? d.levelMin5 : d.levelMin24;
    const float top = band_ == 1 ? d.levelMax5 : d.levelMax24;
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const float offset = model_->amplitudeOffset();
    const bool watts = model_->common_settings.powerUnitsWatts == 1;
    std::vector<Wanted> wanted;
    std::string key = std::to_string(w) + "x" + std::to_string(h);
    if (points > 1 && top > bottom) {
        const float scaleY = h / (top - bottom);
        for (const PeakTable::Row& row : rows) {
            if (!row.marked)
                continue;
            Wanted label;
            label.text = PeakTable::frequencyText(row.frequencyMHz) + "\n" +
                         PeakTable::levelText(row.levelDbm, watts);
            label.x = static_cast<float>(row.index) * w / static_cast<float>(points - 1);
            label.markerY = (row.levelDbm - offset - bottom) * scaleY;
            label.hanging = view.peaksOnTop == row.kind || label.markerY + markerHeight_ >= h;
            std::copy(view.traceColors[row.kind - 1], view.traceColors[row.kind - 1] + 3,
                      label.rgb);
            key += label.text + std::to_string(static_cast<int>(label.x)) + "," +
                   std::to_string(static_cast<int>(label.markerY)) + (label.hanging ? "h" : "") +
                   std::to_string(label.rgb[0]) + std::to_string(label.rgb[1]) +
                   std::to_string(label.rgb[2]) + ";";
            wanted.push_back(std::move(label));
        }
    }
    // The traces move with every sweep, but an unchanged text and place is no change.
    if (key == lastKey_)
        return;
    lastKey_ = key;
    place(wanted);
}

void PeakLabelsLayer::place(const std::vector<Wanted>& wanted) {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const float fontSize = model_->runtime.displayClass == 0 ? 10.f : 12.f;
    std::vector<Rect> taken;
    size_t used = 0;
    for (const Wanted& want : wanted) {
        if (used >= labels_.size()) {
            Label* label = Label::createWithTTF("", kFont, fontSize, engine::Size::ZERO,
                                                engine::TextHAlignment::CENTER);
            if (!label)
                break;
            label->retain();
            label->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
            addChild(label, 1);
            labels_.push_back(label);
        }
        Label* label = labels_[used];
        label->setString(want.text);
        label->setTextColor(engine::Color4B(want.rgb[0], want.rgb[1], want.rgb[2], 255));
        const engine::Size size = label->getContentSize();
        const float left = std::max(0.f, std::min(want.x - size.width * 0.5f, w - size.width));
        float y = want.hanging ? h - markerHeight_ - 1.f - size.height
                               : want.markerY + markerHeight_ + 1.f;
        y = std::max(0.f, std::min(y, h - size.height));
        const Rect box(left, y, size.width, size.height);
        const bool covers = std::any_of(taken.begin(), taken.end(), [&](const Rect& other) {
            return other.intersectsRect(box);
        });
        if (covers)
            continue;
        taken.push_back(box);
        label->setPosition(left, y);
        label->setVisible(true);
        ++used;
    }
    while (labels_.size() > used) {
        labels_.back()->removeFromParent();
        labels_.back()->release();
        labels_.pop_back();
    }
}
