#include "views/spectrum/PeakTableViewCell.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"

using engine::Label;
using engine::Vec2;

namespace {

float textWidth(const char* text, float size) {
    Label* label = Label::createWithTTF(text, PeakTableViewCell::kFont, size);
    return label ? label->getContentSize().width : 0.6f * size * static_cast<float>(strlen(text));
}

}  // namespace

PeakTableViewCell::Layout PeakTableViewCell::measure(float fontSize, float rowHeight, float width) {
    Layout layout;
    layout.fontSize = fontSize;
    layout.rowHeight = rowHeight;
    layout.width = width;
    layout.swatchSize = fontSize * 0.8f;
    const float gap = fontSize * 0.6f;
    const float widths[kColumns] = {textWidth("DECAY", fontSize), textWidth("5", fontSize),
                                    textWidth("5860.0 MHz", fontSize),
                                    textWidth("-100.0 dBm", fontSize)};
    float used = gap + layout.swatchSize + gap;
    for (float w : widths)
        used += w + gap;
    const float extra = std::max(0.f, width - used) / kColumns;
    float x = gap + layout.swatchSize + gap;
    for (int c = 0; c < kColumns; ++c) {
        layout.x[static_cast<size_t>(c)] = x;
        x += widths[c] + gap + extra;
    }
    return layout;
}

PeakTableViewCell* PeakTableViewCell::create(const Layout& layout) {
    auto* cell = new (std::nothrow) PeakTableViewCell();
    if (cell && cell->initWithLayout(layout)) {
        cell->autorelease();
        return cell;
    }
    delete cell;
    return nullptr;
}

bool PeakTableViewCell::initWithLayout(const Layout& layout) {
    if (!TableViewCell::init())
        return false;
    layout_ = layout;
    setContentSize(engine::Size(layout.width, layout.rowHeight));
    separator_ = engine::Sprite::create(kSeparatorImage);
    if (separator_) {
        separator_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        separator_->setPosition(0, 0);
        const float w = separator_->getContentSize().width;
        if (w > 0)
            separator_->setScaleX(layout.width / w);
        addChild(separator_, 0);
    }
    swatch_ = engine::DrawNode::create(1.0f);
    if (!swatch_)
        return false;
    addChild(swatch_, 1);
    for (size_t c = 0; c < labels_.size(); ++c) {
        labels_[c] = Label::createWithTTF("", kFont, layout.fontSize);
        if (!labels_[c])
            return false;
        labels_[c]->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        labels_[c]->setPosition(layout.x[c], layout.rowHeight * 0.5f);
        addChild(labels_[c], 2);
    }
    return true;
}

void PeakTableViewCell::show(const std::array<std::string, kColumns>& texts,
                             const uint8_t (&rgb)[3]) {
    for (size_t c = 0; c < labels_.size(); ++c) {
        labels_[c]->setString(texts[c]);
        labels_[c]->setTextColor(engine::Color4B(255, 255, 255, 255));
    }
    swatch_->clear();
    const float x = layout_.fontSize * 0.6f;
    const float y = (layout_.rowHeight - layout_.swatchSize) * 0.5f;
    swatch_->drawSolidRect(Vec2(x, y), Vec2(x + layout_.swatchSize, y + layout_.swatchSize),
                           engine::Color4F(rgb[0] / 255.f, rgb[1] / 255.f, rgb[2] / 255.f, 1.f));
}

void PeakTableViewCell::showMessage(const std::string& text) {
    swatch_->clear();
    labels_[0]->setString(text);
    labels_[0]->setTextColor(engine::Color4B(170, 170, 170, 255));
    for (size_t c = 1; c < labels_.size(); ++c)
        labels_[c]->setString("");
}
