#include "views/ssid/UtilizationTableViewCell.h"

#include <new>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/LoadingBar.h"
#include "model/AccessPoint.h"
#include "model/AccessPointTexts.h"

using engine::Color3B;
using engine::Vec2;

UtilizationTableViewCell* UtilizationTableViewCell::create() {
    auto* cell = new (std::nothrow) UtilizationTableViewCell();
    if (cell && cell->init()) {
        cell->autorelease();
        return cell;
    }
    delete cell;
    return nullptr;
}

void UtilizationTableViewCell::clearChildren() {
    removeAllChildren();
    labels_.clear();
    widths_.clear();
    ids_.clear();
    text_ = nullptr;
    lock_ = nullptr;
    bar_ = nullptr;
    separator_ = nullptr;
}

void UtilizationTableViewCell::build(const SSIDTableLayout& layout) {
    if (generation_ == layout.generation) {
        return;
    }
    clearChildren();
    generation_ = layout.generation;
    setContentSize(engine::Size(layout.rowWidth, layout.rowHeight));
    const float middle = layout.rowHeight / 2.0f;
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        engine::Label* label =
            engine::Label::createWithTTF("", SSIDTableLayout::kFont, layout.fontSize);
        if (!label) {
            continue;
        }
        label->setAnchorPoint(Vec2(0.0f, 0.5f));
        label->setPosition(layout.x[i], middle);
        addChild(label, 1);
        labels_.push_back(label);
        ids_.push_back(layout.columns[i].id);
        widths_.push_back(layout.width[i]);
        if (layout.columns[i].id == SSIDTableColumn::kSecurity) {
            lock_ = engine::Sprite::create(kLockIcon);
            if (lock_) {
                const float side = layout.fontSize;
                lock_->setScale(side / lock_->getContentSize().height);
                lock_->setPosition(layout.x[i] + layout.width[i] - side / 2.0f, middle);
                addChild(lock_, 1);
            }
        }
        if (layout.columns[i].id == SSIDTableColumn::kRssi) {
            bar_ = engine::ui::LoadingBar::create(kLevelBar, 0.0f);
            if (bar_) {
                const engine::Size size = bar_->getContentSize();
                bar_->setAnchorPoint(Vec2(0.0f, 0.5f));
                bar_->setScaleX(layout.width[i] / size.width);
                bar_->setScaleY(4.0f / size.height);
                bar_->setPosition(layout.x[i], middle - layout.fontSize * 0.7f);
                addChild(bar_, 0);
            }
        }
    }
    text_ = engine::Label::createWithTTF("", SSIDTableLayout::kBoldFont, layout.fontSize);
    if (text_) {
        text_->setAnchorPoint(Vec2(0.0f, 0.5f));
        text_->setPosition(SSIDTableLayout::kMargin, middle);
        addChild(text_, 1);
    }
    separator_ = engine::Sprite::create(kSeparator);
    if (separator_) {
        separator_->setAnchorPoint(Vec2(0.0f, 0.0f));
        separator_->setScaleX(layout.rowWidth / separator_->getContentSize().width);
        addChild(separator_, 0);
    }
}

engine::Label* UtilizationTableViewCell::labelFor(SSIDTableColumn::Id id) const {
    for (size_t i = 0; i < ids_.size(); ++i) {
        if (ids_[i] == id) {
            return labels_[i];
        }
    }
    return nullptr;
}

void UtilizationTableViewCell::showAccessPoint(const AccessPoint& ap, bool selected) {
    for (size_t i = 0; i < ids_.size(); ++i) {
        std::string text;
        switch (ids_[i]) {
            case SSIDTableColumn::kSecurity:
                text = AccessPointTexts::security(ap.security);
                break;
            case SSIDTableColumn::kMode:
                text = AccessPointTexts::mode(ap.standards);
                break;
            case SSIDTableColumn::kSsid:
                text = AccessPointTexts::name(ap);
                break;
            case SSIDTableColumn::kRssi:
                text = AccessPointTexts::rssi(ap.rssi);
                break;
            case SSIDTableColumn::kBssid:
                text = AccessPointTexts::bssid(ap);
                break;
            case SSIDTableColumn::kChannel:
                text = AccessPointTexts::channel(ap);
                break;
            case SSIDTableColumn::kFrequency:
                text = AccessPointTexts::frequency(ap);
                break;
            case SSIDTableColumn::kSeen:
                text = AccessPointTexts::seenCount(ap);
                break;
            case SSIDTableColumn::kRecommendedChannel:
                text = AccessPointTexts::utilizationChannel(ap, selected);
                break;
            case SSIDTableColumn::kGradePercent:
                text = AccessPointTexts::gradePercent(ap);
                break;
            case SSIDTableColumn::kGradeLetter:
                text = AccessPointTexts::gradeLetter(ap);
                break;
            case SSIDTableColumn::kGradeCompact:
                text = AccessPointTexts::gradeCompact(ap);
                break;
        }
        labels_[i]->setString(text);
        labels_[i]->setVisible(true);
        // A long name squeezes into its column instead of running over the next.
        const float width = labels_[i]->getContentSize().width;
        labels_[i]->setScaleX(width > widths_[i] ? widths_[i] / width : 1.0f);
    }
    if (lock_) {
        lock_->setVisible(AccessPointTexts::showsLock(ap));
    }
    if (bar_) {
        const AccessPointTexts::LevelBar level = AccessPointTexts::levelBar(ap.rssi);
        bar_->setPercent(level.percent);
        bar_->setColor(Color3B(level.red, level.green, level.blue));
        bar_->setVisible(true);
    }
    if (text_) {
        text_->setVisible(false);
    }
}

void UtilizationTableViewCell::showText(const std::string& text, bool header) {
    for (engine::Label* label : labels_) {
        label->setVisible(false);
    }
    if (lock_) {
        lock_->setVisible(false);
    }
    if (bar_) {
        bar_->setVisible(false);
    }
    if (text_) {
        text_->setString(text);
        text_->setColor(header ? Color3B(255, 255, 255) : Color3B(180, 180, 180));
        text_->setVisible(true);
    }
}
