#include "views/ssid/SSIDTableViewCell.h"

#include <algorithm>
#include <new>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/LoadingBar.h"
#include "views/ssid/SSIDTableTexts.h"

using engine::Color3B;
using engine::Color4B;
using engine::Label;
using engine::Vec2;

namespace {

const Color4B kTextColor(255, 255, 255, 255);
const Color4B kHeaderColor(0, 200, 255, 255);
const Color4B kMessageColor(170, 170, 170, 255);

float textWidth(const std::string& text, const char* font, float size) {
    Label* label = Label::createWithTTF(text, font, size);
    return label ? label->getContentSize().width : static_cast<float>(text.size()) * size * 0.6f;
}

// Room between a column's edge and its text.
float inset(float fontSize) {
    return fontSize * 0.3f;
}

}  // namespace

SSIDTableViewCell::Layout SSIDTableViewCell::measure(float fontSize, float rowHeight, bool compact,
                                                     float tableWidth) {
    Layout layout;
    layout.fontSize = fontSize;
    layout.rowHeight = rowHeight;
    layout.compact = compact;
    layout.width = tableWidth;
    layout.iconSize = fontSize * 1.1f;
    layout.swatchSize = fontSize * 0.8f;
    layout.barWidth = fontSize * 3.5f;
    const float gap = inset(fontSize);
    const float securityText = textWidth("WPA2", kFont, fontSize);
    const float rssiText = textWidth(kColumns[kRssi].sizingText, kFont, fontSize);
    float used = 0;
    int shownCount = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        const ColumnInfo& info = kColumns[static_cast<size_t>(c)];
        layout.shown[c] = !compact || info.compact;
        if (!layout.shown[c])
            continue;
        // Header buttons carry an arrow-sized mark after the name when they sort.
        const float header = textWidth(std::string(info.name) + "\u2191", kBoldFont, fontSize);
        float body = info.sizingText ? textWidth(info.sizingText, kFont, fontSize) : 0;
        if (c == kSecurity)
            body = securityText + gap + layout.iconSize;
        if (c == kRssi)
            body = rssiText + gap + layout.barWidth;
        if (c == kSsid)
            body += layout.swatchSize + gap;
        layout.columnWidth[c] = std::max(header, body) + 3 * gap;
        used += layout.columnWidth[c];
        ++shownCount;
    }
    const float extra = shownCount ? std::max(0.f, tableWidth - used) / shownCount : 0;
    float x = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!layout.shown[c])
            continue;
        layout.columnWidth[c] += extra;
        layout.x[c] = x;
        x += layout.columnWidth[c];
    }
    // Icon and bar stay beside their texts however wide the columns grew.
    layout.lockX = layout.x[kSecurity] + 2 * gap + securityText;
    layout.barX = layout.x[kRssi] + 2 * gap + rssiText;
    return layout;
}

SSIDTableViewCell* SSIDTableViewCell::create(const Layout& layout) {
    auto* cell = new (std::nothrow) SSIDTableViewCell();
    if (!cell)
        return nullptr;
    if (cell->initWithLayout(layout)) {
        cell->autorelease();
        return cell;
    }
    delete cell;
    return nullptr;
}

bool SSIDTableViewCell::initWithLayout(const Layout& layout) {
    if (!TableViewCell::init())
        return false;
    layout_ = layout;
    separator_ = engine::Sprite::create(kSeparatorImage);
    if (separator_) {
        separator_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        addChild(separator_, 0);
    }
    lock_ = engine::Sprite::create(kLockImage);
    if (lock_) {
        lock_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        addChild(lock_, 1);
    }
    swatch_ = engine::DrawNode::create(1.0f);
    if (swatch_)
        addChild(swatch_, 0);  // under the icon, bar and texts
    bar_ = engine::ui::LoadingBar::create(kBarImage, 0);
    if (bar_) {
        bar_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        addChild(bar_, 1);
    }
    buildLabels();
    return message_ != nullptr;
}

void SSIDTableViewCell::buildLabels() {
    for (Label*& label : labels_) {
        if (label)
            label->removeFromParentAndCleanup(true);
        label = Label::createWithTTF("", kFont, layout_.fontSize);
        if (label) {
            label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
            label->setTextColor(kTextColor);
            addChild(label, 2);
        }
    }
    if (message_)
        message_->removeFromParentAndCleanup(true);
    message_ = Label::createWithTTF("", kBoldFont, layout_.fontSize);
    if (message_) {
        message_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        addChild(message_, 2);
    }
    placeChildren();
}

void SSIDTableViewCell::applyLayout(const Layout& layout) {
    const bool rebuild = layout.fontSize != layout_.fontSize;
    layout_ = layout;
    if (rebuild)
        buildLabels();
    else
        placeChildren();
}

void SSIDTableViewCell::placeChildren() {
    const float mid = layout_.rowHeight * 0.5f;
    const float gap = inset(layout_.fontSize);
    setContentSize(engine::Size(layout_.width, layout_.rowHeight));
    if (separator_) {
        separator_->setPosition(0, 0);
        const float w = separator_->getContentSize().width;
        if (w > 0)
            separator_->setScaleX(layout_.width / w);
    }
    for (int c = 0; c < kColumnCount; ++c) {
        const float swatch = c == kSsid ? layout_.swatchSize + gap : 0.0f;
        if (labels_[c])
            labels_[c]->setPosition(layout_.x[c] + gap + swatch, mid);
    }
    if (message_)
        message_->setPosition(gap, mid);
    if (lock_) {
        const float h = lock_->getContentSize().height;
        if (h > 0)
            lock_->setScale(layout_.iconSize / h);
        lock_->setPosition(layout_.lockX, mid);
    }
    if (bar_) {
        const engine::Size image = bar_->getContentSize();
        const float barHeight = std::min(layout_.rowHeight * 0.35f, 10.f);
        if (image.width > 0 && image.height > 0)
            bar_->setScale(layout_.barWidth / image.width, barHeight / image.height);
        bar_->setPosition(layout_.barX, mid);
    }
}

void SSIDTableViewCell::setRowVisible(bool visible) {
    for (int c = 0; c < kColumnCount; ++c) {
        if (labels_[c])
            labels_[c]->setVisible(visible && layout_.shown[c]);
    }
    if (bar_)
        bar_->setVisible(visible);
    if (swatch_)
        swatch_->setVisible(visible);
    if (lock_)
        lock_->setVisible(visible);
    if (message_)
        message_->setVisible(!visible);
}

void SSIDTableViewCell::fitLabel(Label* label, float width) {
    label->setScaleX(1);
    const float natural = label->getContentSize().width;
    if (natural > width && natural > 0)
        label->setScaleX(width / natural);
}

void SSIDTableViewCell::showAccessPoint(const AccessPoint& ap, bool highlighted) {
    using namespace SSIDTableTexts;
    setRowVisible(true);
    highlighted_ = highlighted;
    if (swatch_) {
        swatch_->clear();
        if (highlighted)
            swatch_->drawSolidRect(Vec2(0, 1), Vec2(layout_.width, layout_.rowHeight),
                                   engine::Color4F(0.15f, 0.3f, 0.55f, 0.8f));
        const float x = layout_.x[kSsid] + inset(layout_.fontSize);
        const float y = (layout_.rowHeight - layout_.swatchSize) * 0.5f;
        swatch_->drawSolidRect(
            Vec2(x, y), Vec2(x + layout_.swatchSize, y + layout_.swatchSize),
            engine::Color4F(ap.color[0] / 255.f, ap.color[1] / 255.f, ap.color[2] / 255.f, 1.f));
    }
    const std::string texts[kColumnCount] = {
        securityText(ap.security), modeText(ap.standards),  nameText(ap),
        rssiText(ap.rssi),         bssidText(ap.bssid),     channelText(ap),
        frequencyText(ap),         countText(ap.seenCount),
    };
    const float gap = inset(layout_.fontSize);
    for (int c = 0; c < kColumnCount; ++c) {
        Label* label = labels_[c];
        if (!label)
            continue;
        label->setString(texts[c]);
        float room = layout_.columnWidth[c] - 2 * gap;
        if (c == kSecurity)
            room = layout_.lockX - layout_.x[c] - 2 * gap;
        if (c == kRssi)
            room = layout_.barX - layout_.x[c] - 2 * gap;
        if (c == kSsid)
            room -= layout_.swatchSize + gap;
        fitLabel(label, std::max(room, 1.f));
    }
    if (lock_)
        lock_->setVisible(showsLock(ap.security, ap.cipher));
    if (bar_) {
        const LevelBar level = levelBar(ap.rssi);
        bar_->setPercent(level.percent);
        bar_->setColor(Color3B(level.r, level.g, level.b));
    }
}

void SSIDTableViewCell::showMessage(const std::string& text, bool header) {
    setRowVisible(false);
    if (!message_)
        return;
    message_->setString(text);
    message_->setTextColor(header ? kHeaderColor : kMessageColor);
}
