#include "views/ssid/SSIDTableLayer.h"

#include <cstdio>
#include <mutex>
#include <new>

#include "engine/2d/Label.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/TableView.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/SSIDTableViewCell.h"
#include "views/ssid/TableSortHeader.h"

using engine::Size;
using engine::Vec2;
using engine::ui::Button;
using engine::ui::Widget;

SSIDTableLayer* SSIDTableLayer::create(const Size& size) {
    return createWithModel(SpectrumSettings::getInstance(), size);
}

SSIDTableLayer* SSIDTableLayer::createWithModel(SpectrumSettings* model, const Size& size) {
    auto* layer = new (std::nothrow) SSIDTableLayer();
    if (!layer) {
        return nullptr;
    }
    layer->model_ = model;
    layer->setContentSize(size);
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool SSIDTableLayer::init() {
    const Size size = _contentSize;
    if (!Layer::init() || !model_) {
        return false;
    }
    setContentSize(size);
    if (auto* background = engine::ui::Scale9Sprite::create(kBackground)) {
        background->setAnchorPoint(Vec2(0.0f, 0.0f));
        background->setContentSize(size);
        addChild(background, -1);
    }
    const float barY = size.height - kTopBarHeight / 2.0f;
    clear_ = Button::create("ButtonUnselected.png", "ButtonSelected.png", "ButtonDisabled.png");
    if (clear_) {
        clear_->setScale9Enabled(true);
        clear_->setContentSize(Size(130.0f, 34.0f));
        clear_->setTitleFontName(SSIDTableLayout::kBoldFont);
        clear_->setTitleFontSize(14.0f);
        clear_->setTitleText(kClearTitle);
        clear_->setPosition(Vec2(SSIDTableLayout::kMargin + 65.0f, barY));
        clear_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED) {
                clearReleased();
            }
        });
        addChild(clear_, 2);
    }
    title_ = engine::Label::createWithTTF("Total Scans: 0", SSIDTableLayout::kBoldFont, 18.0f);
    if (title_) {
        title_->setPosition(size.width / 2.0f, barY);
        addChild(title_, 2);
    }
    close_ = Button::create(kCloseIcon);
    if (close_) {
        close_->setPosition(Vec2(size.width - 24.0f, barY));
        close_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED && onClose) {
                onClose();
            }
        });
        addChild(close_, 2);
    }
    buildHeaders();
    return true;
}

void SSIDTableLayer::buildHeaders() {
    displayClass_ = model_->runtime.displayClass;
    layout_ = SSIDTableLayout::measure(SSIDTableColumns::forLayout(displayClass_ == 0),
                                       displayClass_, _contentSize.width, layout_.generation + 1);
    for (Button* button : headers_) {
        button->removeFromParent();
    }
    headers_.clear();
    const float headerHeight = layout_.fontSize + 10.0f;
    const float headerY = _contentSize.height - kTopBarHeight - headerHeight / 2.0f;
    for (size_t i = 0; i < layout_.columns.size(); ++i) {
        Button* button = Button::create();
        if (!button) {
            continue;
        }
        const int criterion = layout_.columns[i].criterion;
        button->setContentSize(Size(layout_.width[i], headerHeight));
        button->setTitleFontName(SSIDTableLayout::kBoldFont);
        button->setTitleFontSize(layout_.fontSize);
        button->setTitleText(layout_.columns[i].name);
        button->setAnchorPoint(Vec2(0.0f, 0.5f));
        button->setPosition(Vec2(layout_.x[i], headerY));
        button->addTouchEventListener([this, criterion](engine::Ref*, Widget::TouchEventType t) {
            if (t == Widget::TouchEventType::ENDED) {
                headerReleased(criterion);
            }
        });
        addChild(button, 2);
        headers_.push_back(button);
    }
    const float tableHeight = headerY - headerHeight / 2.0f - SSIDTableLayout::kMargin;
    if (table_) {
        table_->removeFromParent();
        table_ = nullptr;
    }
    table_ = engine::ui::TableView::create(this, Size(_contentSize.width, tableHeight));
    if (table_) {
        table_->setDelegate(this);
        table_->setPosition(Vec2(0.0f, SSIDTableLayout::kMargin));
        addChild(table_, 1);
    }
}

Size SSIDTableLayer::cellSizeForTable(engine::ui::TableView*) {
    return Size(layout_.rowWidth, layout_.rowHeight);
}

ssize_t SSIDTableLayer::numberOfCellsInTableView(engine::ui::TableView*) {
    ModelLockUnlessHeld guard(model_->apListLock);
    rows_.rebuild(model_->accessPoints, model_->spectrum_settings.band);
    return static_cast<ssize_t>(rows_.rowCount());
}

engine::ui::TableViewCell* SSIDTableLayer::tableCellAtIndex(engine::ui::TableView* table,
                                                            ssize_t idx) {
    auto* cell = static_cast<SSIDTableViewCell*>(table->dequeueCell());
    if (!cell) {
        cell = SSIDTableViewCell::create();
        if (!cell) {
            return nullptr;
        }
    }
    cell->build(layout_);
    const SSIDTableRows::Row row = rows_.row(static_cast<long>(idx));
    switch (row.kind) {
        case SSIDTableRows::Kind::kHeader:
            cell->showText(row.band5 ? SSIDTableRows::kHeader5 : SSIDTableRows::kHeader24, true);
            break;
        case SSIDTableRows::Kind::kEmpty:
            cell->showText(SSIDTableRows::kEmptyText, false);
            break;
        case SSIDTableRows::Kind::kInvalid:
            cell->showText(SSIDTableRows::kInvalidText, false);
            break;
        case SSIDTableRows::Kind::kAccessPoint: {
            ModelLockUnlessHeld guard(model_->apListLock);
            if (row.index < model_->accessPoints.size() && model_->accessPoints[row.index]) {
                cell->showAccessPoint(*model_->accessPoints[row.index]);
            } else {
                cell->showText("", false);
            }
            break;
        }
    }
    return cell;
}

void SSIDTableLayer::refresh() {
    if (model_->runtime.displayClass != displayClass_) {
        buildHeaders();
    }
    if (table_) {
        table_->reloadData();
    }
    updateTitleAndHeaders();
}

void SSIDTableLayer::updateTitleAndHeaders() {
    size_t count = 0;
    int scans = 0;
    {
        ModelLockUnlessHeld guard(model_->apListLock);
        count = model_->accessPoints.size();
        scans = model_->runtime.scanCount;
    }
    if (title_) {
        char text[64];
        std::snprintf(text, sizeof text, "Total AP: %d Total Scan: %u", static_cast<int>(count),
                      static_cast<unsigned>(scans));
        title_->setString(text);
    }
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const TableSortHeader::Order order{view.ssidSortCriterion, view.ssidSortDescending != 0};
    for (size_t i = 0; i < headers_.size() && i < layout_.columns.size(); ++i) {
        headers_[i]->setTitleText(
            TableSortHeader::title(layout_.columns[i].name, layout_.columns[i].criterion, order));
    }
}

void SSIDTableLayer::headerReleased(int criterion) {
    SpectrumViewSettings& view = model_->spectrum_settings;
    const TableSortHeader::Order next = TableSortHeader::pressed(
        TableSortHeader::Order{view.ssidSortCriterion, view.ssidSortDescending != 0}, criterion);
    view.ssidSortCriterion = static_cast<uint8_t>(next.criterion);
    view.ssidSortDescending = next.descending ? 1 : 0;
    model_->runtime.ssidTableChanged = true;
}

void SSIDTableLayer::clearReleased() {
    ModelLockUnlessHeld guard(model_->apListLock);
    model_->clearAccessPoints();
}
