#include "views/spectrum/PeakTableLayer.h"

#include <algorithm>
#include <new>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/TableView.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/TableExportAction.h"

using engine::Label;
using engine::Size;
using engine::Vec2;
using engine::ui::Button;
using engine::ui::TableView;
using engine::ui::TableViewCell;
using engine::ui::Widget;

namespace {

constexpr float kMargin = 6;
constexpr int kShownRows = 15;  // three traces of five peaks
const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";

}  // namespace

PeakTableLayer* PeakTableLayer::createWithModel(SpectrumSettings* model, const engine::Rect& area,
                                                int band) {
    auto* layer = new (std::nothrow) PeakTableLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    layer->area_ = area;
    layer->band_ = band;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

PeakTableLayer::~PeakTableLayer() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

bool PeakTableLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    const float fontSize = model_->runtime.displayClass <= 0 ? 13.f : 14.f;
    const float rowHeight = fontSize * 1.8f;
    const float buttonHeight = std::max(fontSize * 2.4f, 30.f);
    const float width = std::min(area_.size.width, fontSize * 24.f);
    const float height =
        std::min(area_.size.height, 3 * kMargin + buttonHeight + rowHeight * kShownRows);
    setContentSize(Size(width, height));
    setPosition(area_.getMaxX() - width, area_.getMaxY() - height);

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event*) {
        const Vec2 at = convertTouchToNodeSpace(touch);
        return at.x >= 0 && at.y >= 0 && at.x <= _contentSize.width && at.y <= _contentSize.height;
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);

    if (auto* panel = engine::ui::Scale9Sprite::create(SSIDTableLayer::kPanelImage)) {
        panel->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        panel->setContentSize(getContentSize());
        addChild(panel, -1);
    }
    const float topY = height - kMargin - buttonHeight;
    close_ = Button::create(SSIDTableLayer::kCloseImage);
    float closeWidth = buttonHeight;
    if (close_) {
        const Size image = close_->getContentSize();
        if (image.height > 0)
            close_->setScale(buttonHeight / image.height);
        close_->setAnchorPoint(Vec2::ANCHOR_TOP_RIGHT);
        close_->setPosition(Vec2(width - kMargin, height - kMargin));
        close_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type != Widget::TouchEventType::ENDED)
                return;
            retain();
            autorelease();
            if (closeHandler_)
                closeHandler_();
        });
        addChild(close_, 2);
        closeWidth = close_->getBoundingBox().size.width;
    }
    export_ = Button::create(SSIDTableLayer::kButtonImage, SSIDTableLayer::kButtonSelectedImage,
                             SSIDTableLayer::kButtonDisabledImage);
    if (export_) {
        export_->setScale9Enabled(true);
        export_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        export_->setTitleFontName(kBoldFont);
        export_->setTitleFontSize(fontSize);
        export_->setTitleText(kExportText);
        const float exportWidth = fontSize * 6.5f;
        export_->setContentSize(Size(exportWidth, buttonHeight));
        export_->setPosition(Vec2(width - 2 * kMargin - closeWidth - exportWidth, topY));
        export_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED)
                exportTable();
        });
        addChild(export_, 2);
    }
    title_ =
        Label::createWithTTF(band_ == 1 ? "Peaks 5 GHz" : "Peaks 2.4 GHz", kBoldFont, fontSize + 1);
    if (!title_)
        return false;
    title_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    title_->setPosition(kMargin + 4, topY + buttonHeight * 0.5f);
    addChild(title_, 2);

    const float tableWidth = width - 2 * kMargin;
    cellLayout_ = PeakTableViewCell::measure(fontSize, rowHeight, tableWidth);
    table_ = TableView::create(this, Size(tableWidth, std::max(topY - 2 * kMargin, rowHeight)));
    if (!table_)
        return false;
    table_->setDelegate(this);
    table_->setPosition(kMargin, kMargin);
    addChild(table_, 1);
    refresh();
    scheduleUpdate();
    return true;
}

void PeakTableLayer::update(float dt) {
    sinceRefresh_ += dt;
    if (sinceRefresh_ < kRefreshSeconds)
        return;
    sinceRefresh_ = 0;
    refresh();
}

std::string PeakTableLayer::rowsKey() const {
    std::string key = std::to_string(model_->common_settings.powerUnitsWatts);
    for (const PeakTable::Row& row : rows_) {
        key += PeakTable::kindName(row.kind) + std::to_string(row.rank) +
               PeakTable::frequencyText(row.frequencyMHz) +
               PeakTable::levelText(row.levelDbm, false) + ";";
    }
    return key;
}

void PeakTableLayer::refresh() {
    { rows_ = PeakTable::rows(*model_, band_); }
    const std::string key = rowsKey();
    if (key == shownKey_)
        return;
    shownKey_ = key;
    const Vec2 offset = table_->getContentOffset();
    const Vec2 oldMin = table_->minContainerOffset();
    table_->reloadData();
    SSIDTableLayer::restorePlace(table_, offset, oldMin);
}

void PeakTableLayer::exportTable() {
    refresh();
    TableExportAction::run(*model_, PeakTable::exportTable(rows_, band_));
}

Size PeakTableLayer::cellSizeForTable(TableView* table) {
    return Size(table->getContentSize().width, cellLayout_.rowHeight);
}

ssize_t PeakTableLayer::numberOfCellsInTableView(TableView*) {
    return std::max<ssize_t>(1, static_cast<ssize_t>(rows_.size()));
}

TableViewCell* PeakTableLayer::tableCellAtIndex(TableView* table, ssize_t idx) {
    auto* cell = dynamic_cast<PeakTableViewCell*>(table->dequeueCell());
    if (!cell)
        cell = PeakTableViewCell::create(cellLayout_);
    if (!cell)
        return nullptr;
    if (idx < 0 || static_cast<size_t>(idx) >= rows_.size()) {
        cell->showMessage("No peaks: no trace shown yet");
        return cell;
    }
    const PeakTable::Row& row = rows_[static_cast<size_t>(idx)];
    const bool watts = model_->common_settings.powerUnitsWatts == 1;
    uint8_t rgb[3];
    std::copy(model_->spectrum_settings.traceColors[row.kind - 1],
              model_->spectrum_settings.traceColors[row.kind - 1] + 3, rgb);
    cell->show(
        {PeakTable::kindName(row.kind), std::to_string(row.rank),
         PeakTable::frequencyText(row.frequencyMHz), PeakTable::levelText(row.levelDbm, watts)},
        rgb);
    return cell;
}
