#include "views/spectrum/AxisLabelsLayer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/GridLayer.h"

using engine::Label;
using engine::Rect;
using engine::Vec2;

namespace {

const engine::Color4F kPlateColour(0.0f, 0.0f, 0.0f, 0.65f);
const engine::Color4B kTextColour(210, 210, 210, 255);
constexpr float kPad = 2.0f;  // plate margin around a text

// Keeps boxes in order along one direction so that none overlaps the one before by less than
// `gap`; the last box (the far end of the scale) is kept in preference to the one before it.
template <typename Lo, typename Hi>
std::vector<AxisLabelsLayer::Placed> withoutOverlaps(std::vector<AxisLabelsLayer::Placed> boxes,
                                                     float gap, Lo lo, Hi hi) {
    std::vector<AxisLabelsLayer::Placed> kept;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const bool last = i + 1 == boxes.size();
        while (!kept.empty() && lo(boxes[i].box) < hi(kept.back().box) + gap) {
            if (!last || kept.size() == 1)
                break;
            kept.pop_back();
        }
        if (kept.empty() || lo(boxes[i].box) >= hi(kept.back().box) + gap)
            kept.push_back(std::move(boxes[i]));
    }
    return kept;
}

}  // namespace

AxisLabelsLayer* AxisLabelsLayer::createWithModel(SpectrumSettings* model, View view, int band) {
    auto* layer = new (std::nothrow) AxisLabelsLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    layer->view_ = view;
    layer->band_ = band;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

AxisLabelsLayer::~AxisLabelsLayer() {
    for (Label* label : labels_)
        label->release();
    if (probe_)
        probe_->release();
}

bool AxisLabelsLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    probe_ = Label::createWithTTF("0", kFont, kMinFontSize);
    if (!probe_)
        return false;
    probe_->retain();
    plates_ = engine::DrawNode::create(1.0f);
    if (!plates_)
        return false;
    addChild(plates_, 0);
    scheduleUpdate();
    return true;
}

float AxisLabelsLayer::fontSizeFor(const engine::Size& size) {
    return std::clamp(std::min(size.width, size.height) / 36.0f, kMinFontSize, kMaxFontSize);
}

AxisScale::Axis AxisLabelsLayer::horizontalAxis() const {
    if (view_ == View::kPower)
        return AxisScale::powerTime(*model_);
    return AxisScale::spectrumFrequency(band_);
}

AxisScale::Axis AxisLabelsLayer::verticalAxis() const {
    switch (view_) {
        case View::kPower:
            return AxisScale::powerLevel(*model_);
        case View::kWaterfall:
            return AxisScale::waterfallTime(*model_, band_);
        case View::kSpectrum:
            break;
    }
    return AxisScale::spectrumLevel(*model_, band_);
}

void AxisLabelsLayer::update(float) {
    const AxisScale::Axis across = horizontalAxis();
    const AxisScale::Axis up = verticalAxis();
    // The texts decide the picture; a change of scale that prints the same is no change.
    std::string key = std::to_string(_contentSize.width) + "x" +
                      std::to_string(_contentSize.height) + "-" + std::to_string(topLeftReserve_);
    for (const AxisScale::Axis* axis : {&across, &up}) {
        key += '|';
        for (const AxisScale::Tick& tick : AxisScale::ticks(*axis, 1))
            key += tick.text + ';';
    }
    if (key == lastKey_)
        return;
    lastKey_ = key;
    relayout(across, up);
}

float AxisLabelsLayer::measure(const std::string& text, float fontSize) {
    if (probe_->getFontSize() != fontSize) {
        Label* probe = Label::createWithTTF(text, kFont, fontSize);
        if (!probe)
            return static_cast<float>(text.size()) * fontSize * 0.6f;
        probe->retain();
        probe_->release();
        probe_ = probe;
    } else {
        probe_->setString(text);
    }
    return probe_->getContentSize().width;
}

std::vector<AxisLabelsLayer::Placed> AxisLabelsLayer::placeAcross(const AxisScale::Axis& axis,
                                                                  float fontSize) {
    const float w = _contentSize.width;
    const float inset = GridLayer::kInset;
    const float gap = fontSize;
    const std::vector<AxisScale::Tick> all = AxisScale::ticks(axis, 1);
    if (all.empty())
        return {};
    const std::string unit = AxisScale::unit(axis);
    // The unit rides on the last label only; should that one crowd its neighbour, the
    // neighbour goes (below), not every other label.
    float widest = 0.0f;
    for (const AxisScale::Tick& tick : all)
        widest = std::max(widest, measure(tick.text, fontSize));
    const float division = (w - 2 * inset) / static_cast<float>(axis.divisions);
    const int stride = AxisScale::strideFor(axis.divisions, division, widest + 2 * kPad + gap);
    const float height = probe_->getContentSize().height;
    std::vector<Placed> boxes;
    const std::vector<AxisScale::Tick> shown =
        AxisScale::ticks(axis, stride > 0 ? stride : axis.divisions);
    for (size_t i = 0; i < shown.size(); ++i) {
        std::string text = shown[i].text;
        if (i + 1 == shown.size() && !unit.empty())
            text += " " + unit;
        const float textWidth = measure(text, fontSize) + 2 * kPad;
        const float centre = AxisScale::position(w, shown[i].division, axis.divisions, inset);
        // Kept inside the frame: the end labels lean inwards (max after min: a label wider
        // than the plot starts at its left edge).
        const float left = std::max(
            std::min(centre - textWidth * 0.5f, w - inset - 1.0f - textWidth), inset + 1.0f);
        boxes.push_back(Placed{false, shown[i].division, text,
                               Rect(left, inset + 1.0f, textWidth, height + 2 * kPad)});
    }
    return withoutOverlaps(
        std::move(boxes), gap * 0.5f, [](const Rect& r) { return r.getMinX(); },
        [](const Rect& r) { return r.getMaxX(); });
}

std::vector<AxisLabelsLayer::Placed> AxisLabelsLayer::placeUp(const AxisScale::Axis& axis,
                                                              float fontSize, float floor) {
    const float h = _contentSize.height;
    const float inset = GridLayer::kInset;
    const std::string unit = AxisScale::unit(axis);
    measure("0", fontSize);
    const float height = probe_->getContentSize().height + 2 * kPad;
    const float gap = height * 0.25f;
    const float division = (h - 2 * inset) / static_cast<float>(axis.divisions);
    const int stride = AxisScale::strideFor(axis.divisions, division, height + gap);
    const std::vector<AxisScale::Tick> shown =
        AxisScale::ticks(axis, stride > 0 ? stride : axis.divisions);
    std::vector<Placed> boxes;
    const float ceiling = h - inset - 1.0f - height - topLeftReserve_;
    if (ceiling < floor)
        return {};  // no room above the bottom scale at all
    for (const AxisScale::Tick& tick : shown) {
        const float centre = AxisScale::position(h, tick.division, axis.divisions, inset);
        const float bottom = std::clamp(centre - height * 0.5f, floor, ceiling);
        // A label pushed off its line (by the bottom row or the corner button) would name the
        // wrong height: it is left out.
        if (std::fabs(bottom - (centre - height * 0.5f)) > height)
            continue;
        boxes.push_back(
            Placed{true, tick.division, tick.text,
                   Rect(inset + 1.0f, bottom, measure(tick.text, fontSize) + 2 * kPad, height)});
    }
    std::vector<Placed> kept = withoutOverlaps(
        std::move(boxes), gap, [](const Rect& r) { return r.getMinY(); },
        [](const Rect& r) { return r.getMaxY(); });
    // The unit once, on the highest label shown.
    if (!unit.empty() && !kept.empty()) {
        kept.back().text += " " + unit;
        kept.back().box.size.width = measure(kept.back().text, fontSize) + 2 * kPad;
    }
    return kept;
}

Label* AxisLabelsLayer::labelAt(size_t index, float fontSize) {
    if (index < labels_.size() && labels_[index]->getFontSize() == fontSize)
        return labels_[index];
    Label* label = Label::createWithTTF("", kFont, fontSize);
    if (!label)
        return nullptr;
    label->retain();
    label->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    label->setTextColor(kTextColour);
    addChild(label, 1);
    if (index < labels_.size()) {
        labels_[index]->removeFromParent();
        labels_[index]->release();
        labels_[index] = label;
    } else {
        labels_.push_back(label);
    }
    return label;
}

void AxisLabelsLayer::relayout(const AxisScale::Axis& across, const AxisScale::Axis& up) {
    const float fontSize = fontSizeFor(_contentSize);
    placed_ = placeAcross(across, fontSize);
    float floor = GridLayer::kInset + 1.0f;
    for (const Placed& p : placed_)
        floor = std::max(floor, p.box.getMaxY() + 2.0f);
    // The left column starts above the bottom row, so the corner label stays readable.
    std::vector<Placed> vertical = placeUp(up, fontSize, floor);
    placed_.insert(placed_.end(), vertical.begin(), vertical.end());

    plates_->clear();
    size_t used = 0;
    for (const Placed& p : placed_) {
        plates_->drawSolidRect(p.box.origin, Vec2(p.box.getMaxX(), p.box.getMaxY()), kPlateColour);
        Label* label = labelAt(used, fontSize);
        if (!label)
            continue;
        ++used;
        label->setString(p.text);
        label->setPosition(p.box.origin.x + kPad, p.box.origin.y + kPad);
    }
    while (labels_.size() > used) {
        labels_.back()->removeFromParent();
        labels_.back()->release();
        labels_.pop_back();
    }
}
