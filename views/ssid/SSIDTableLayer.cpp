#include "views/ssid/SSIDTableLayer.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/TableView.h"
#include "instrument/Instrument.h"
#include "model/AccessPointHighlight.h"
#include "model/AccessPointTableExport.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/SSIDTableTexts.h"
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
constexpr int kRssiCriterion = 3;

struct ClassMetrics {
    float rowHeight;
    float fontSize;
    bool compact;
};

// Small screens get tall rows with fewer columns; large ones a smaller font.
ClassMetrics metricsFor(int displayClass) {
    if (displayClass <= 0)
        return {52, 16, true};
    if (displayClass == 1)
        return {26, 16, false};
    return {26, 14, false};
}

}  // namespace

SSIDTableLayer* SSIDTableLayer::createWithModel(SpectrumSettings* model, const engine::Rect& area) {
    if (!model)
        return nullptr;
    auto own = std::make_unique<Instrument>(*model);
    SSIDTableLayer* layer = createWithInstrument(own.get(), area);
    if (layer)
        layer->ownInstrument_ = std::move(own);
    return layer;
}

SSIDTableLayer* SSIDTableLayer::createWithInstrument(Instrument* instrument,
                                                     const engine::Rect& area) {
    if (!instrument)
        return nullptr;
    auto* layer = new (std::nothrow) SSIDTableLayer();
    if (!layer)
        return nullptr;
    layer->instrument_ = instrument;
    layer->model_ = &instrument->model();
    layer->area_ = area;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

SSIDTableLayer::~SSIDTableLayer() {
    // The table may outlive us in an autorelease pool; it must not call back into this layer.
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

Button* SSIDTableLayer::makeButton(const std::string& text, float fontSize) {
    Button* button = Button::create(kButtonImage, kButtonSelectedImage, kButtonDisabledImage);
    if (!button)
        return nullptr;
    button->setScale9Enabled(true);
    button->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    button->setTitleFontName(SSIDTableViewCell::kBoldFont);
    button->setTitleFontSize(fontSize);
    button->setTitleText(text);
    addChild(button, 2);
    return button;
}

bool SSIDTableLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    setPosition(area_.origin);
    setContentSize(area_.size);
    const float width = area_.size.width;
    const float height = area_.size.height;
    const ClassMetrics metrics = metricsFor(model_->runtime.displayClass);
    const float fontSize = metrics.fontSize;

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* t, engine::Event* e) {
        return onTouchBegan(t, e);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    // Over the views, so Up and Down pick rows here before the cursors would move.
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode key, engine::Event* e) {
        onKeyPressed(key, e);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);

    panel_ = engine::ui::Scale9Sprite::create(kPanelImage);
    if (panel_) {
        panel_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        panel_->setContentSize(area_.size);
        panel_->setPosition(0, 0);
        addChild(panel_, -1);
    }

    // Top strip: title, "CLEAR TABLE", close.
    const float topHeight = std::max(fontSize * 2.4f, 34.f);
    const float buttonHeight = topHeight - 8;
    const float topY = height - kMargin - buttonHeight;
    close_ = Button::create(kCloseImage);
    if (close_) {
        const Size image = close_->getContentSize();
        if (image.height > 0)
            close_->setScale(buttonHeight / image.height);
        close_->setAnchorPoint(Vec2::ANCHOR_TOP_RIGHT);
        close_->setPosition(Vec2(width - kMargin, height - kMargin));
        close_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type != Widget::TouchEventType::ENDED)
                return;
            // The handler usually removes us; stay alive until this touch is handled.
            retain();
            autorelease();
            if (closeHandler_)
                closeHandler_();
        });
        addChild(close_, 2);
    }
    const float closeWidth = close_ ? close_->getBoundingBox().size.width : buttonHeight;
    clear_ = makeButton(kClearText, fontSize);
    if (clear_) {
        Label* probe = Label::createWithTTF(kClearText, SSIDTableViewCell::kBoldFont, fontSize);
        const float textWidth = probe ? probe->getContentSize().width : 10 * fontSize;
        const float clearWidth = textWidth + 2 * fontSize;
        clear_->setContentSize(Size(clearWidth, buttonHeight));
        clear_->setPosition(Vec2(width - 2 * kMargin - closeWidth - clearWidth, topY));
        clear_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED)
                clearTable();
        });
    }
    export_ = makeButton(kExportText, fontSize);
    if (export_) {
        Label* probe = Label::createWithTTF(kExportText, SSIDTableViewCell::kBoldFont, fontSize);
        const float exportWidth =
            (probe ? probe->getContentSize().width : 6 * fontSize) + 2 * fontSize;
        const float clearLeft = clear_ ? clear_->getPositionX() : width - kMargin - closeWidth;
        export_->setContentSize(Size(exportWidth, buttonHeight));
        export_->setPosition(Vec2(clearLeft - kMargin - exportWidth, topY));
        export_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED)
                exportTable();
        });
    }
    title_ = Label::createWithTTF(kInitialTitle, SSIDTableViewCell::kBoldFont, fontSize + 2);
    if (!title_)
        return false;
    title_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    title_->setTextColor(engine::Color4B(255, 255, 255, 255));
    title_->setPosition(kMargin + fontSize * 0.5f, topY + buttonHeight * 0.5f);
    addChild(title_, 2);
    // Narrow windows: the title keeps to the room left of the buttons.
    titleRoom_ = (export_ ? export_->getPositionX() : width) - title_->getPositionX() - kMargin;

    // Column headers over the table, in the table's own column boxes.
    const float tableWidth = width - 2 * kMargin;
    cellLayout_ =
        SSIDTableViewCell::measure(fontSize, metrics.rowHeight, metrics.compact, tableWidth);
    const float headerHeight = fontSize * 1.9f;
    const float headerY = topY - 4 - headerHeight;
    for (int c = 0; c < SSIDTableViewCell::kColumnCount; ++c) {
        if (!cellLayout_.shown[c])
            continue;
        const SSIDTableViewCell::ColumnInfo& info = SSIDTableViewCell::kColumns[c];
        Button* button = makeButton(info.name, fontSize);
        if (!button)
            continue;
        button->setContentSize(Size(cellLayout_.columnWidth[c] - 2, headerHeight));
        button->setPosition(Vec2(kMargin + cellLayout_.x[c] + 1, headerY));
        const int criterion = info.criterion;
        button->addTouchEventListener([this, criterion](engine::Ref*, Widget::TouchEventType t) {
            if (t == Widget::TouchEventType::ENDED)
                pressHeader(criterion);
        });
        headers_[c] = button;
    }

    const float tableHeight = std::max(headerY - 2 - kMargin, metrics.rowHeight);
    table_ = TableView::create(this, Size(tableWidth, tableHeight));
    if (!table_)
        return false;
    table_->setDelegate(this);
    table_->setPosition(kMargin, kMargin);
    addChild(table_, 1);
    updateHeaderButtons();
    return true;
}

Size SSIDTableLayer::cellSizeForTable(TableView* table) {
    return Size(table->getContentSize().width, cellLayout_.rowHeight);
}

ssize_t SSIDTableLayer::numberOfCellsInTableView(TableView*) {
    sections_.rebuild(model_->accessPoints, model_->spectrum_settings.band);
    return sections_.rowCount();
}

TableViewCell* SSIDTableLayer::tableCellAtIndex(TableView* table, ssize_t idx) {
    auto* cell = dynamic_cast<SSIDTableViewCell*>(table->dequeueCell());
    if (cell)
        cell->applyLayout(cellLayout_);
    else
        cell = SSIDTableViewCell::create(cellLayout_);
    if (cell)
        fillCell(cell, idx);
    return cell;
}

void SSIDTableLayer::fillCell(SSIDTableViewCell* cell, ssize_t idx) {
    using Kind = SSIDTableSections::RowKind;
    const SSIDTableSections::Row row = sections_.row(idx);
    switch (row.kind) {
        case Kind::kHeader:
            cell->showMessage(row.band5 ? SSIDTableTexts::kHeader5 : SSIDTableTexts::kHeader24,
                              true);
            return;
        case Kind::kEmpty:
            cell->showMessage(SSIDTableTexts::kNoSsid, false);
            return;
        case Kind::kInvalid:
            cell->showMessage(SSIDTableTexts::kBadRow, false);
            return;
        case Kind::kAccessPoint:
            break;
    }
    // The list may have shrunk since the sections were taken (a clear before the next refresh).
    const auto& list = model_->accessPoints;
    if (row.index < list.size() && list[row.index])
        cell->showAccessPoint(*list[row.index],
                              AccessPointHighlight::matches(model_->runtime.highlightedBssid,
                                                            list[row.index]->bssid));
    else
        cell->showMessage("", false);
}

void SSIDTableLayer::refresh() {
    const Vec2 oldOffset = table_->getContentOffset();
    const Vec2 oldMin = table_->minContainerOffset();
    size_t count = 0;
    uint32_t scans = 0;
    table_->reloadData();
    count = model_->accessPoints.size();
    scans = static_cast<uint32_t>(model_->runtime.scanCount);
    title_->setString(SSIDTableTexts::titleText(count, scans));
    const float natural = title_->getContentSize().width;
    title_->setScale(natural > titleRoom_ && titleRoom_ > 0 ? titleRoom_ / natural : 1.f);
    updateHeaderButtons();
    restorePlace(table_, oldOffset, oldMin);
    scrollToHighlight();
}

void SSIDTableLayer::scrollToHighlight() {
    const uint8_t(&highlighted)[6] = model_->runtime.highlightedBssid;
    if (std::equal(highlighted, highlighted + 6, shownHighlight_.begin()))
        return;
    std::copy(highlighted, highlighted + 6, shownHighlight_.begin());
    // A highlight picked on the spectrum brings its row into view, unless it is in view already.
    for (ssize_t idx = 0; idx < sections_.rowCount(); ++idx) {
        const SSIDTableSections::Row row = sections_.row(idx);
        if (row.kind != SSIDTableSections::RowKind::kAccessPoint ||
            row.index >= model_->accessPoints.size() || !model_->accessPoints[row.index] ||
            !AccessPointHighlight::matches(highlighted, model_->accessPoints[row.index]->bssid))
            continue;
        const float rowHeight = cellLayout_.rowHeight;
        const float viewHeight = table_->getContentSize().height;
        const float minY = table_->minContainerOffset().y;
        // Row idx (from the top) is shown when the offset lies in this window.
        const float rowTop = minY + static_cast<float>(idx) * rowHeight;
        const Vec2 offset = table_->getContentOffset();
        if (offset.y > rowTop || offset.y + viewHeight < rowTop + rowHeight)
            table_->setContentOffset(Vec2(offset.x, std::clamp(rowTop, minY, 0.f)));
        return;
    }
}

void SSIDTableLayer::tableCellTouched(TableView*, TableViewCell* cell) {
    if (cell)
        pickRow(cell->getIdx());
}

void SSIDTableLayer::pickRow(ssize_t idx) {
    {
        const SSIDTableSections::Row row = sections_.row(idx);
        if (row.kind != SSIDTableSections::RowKind::kAccessPoint ||
            row.index >= model_->accessPoints.size() || !model_->accessPoints[row.index])
            return;
        AccessPointHighlight::toggle(model_->runtime.highlightedBssid,
                                     model_->accessPoints[row.index]->bssid);
        // The row is in view already: no scrolling for a pick made here.
        std::copy(model_->runtime.highlightedBssid, model_->runtime.highlightedBssid + 6,
                  shownHighlight_.begin());
    }
    model_->runtime.ssidTableChanged = true;
}

void SSIDTableLayer::highlightRow(ssize_t idx) {
    {
        sections_.rebuild(model_->accessPoints, model_->spectrum_settings.band);
        if (idx < 0 || idx >= sections_.rowCount())
            return;
        const SSIDTableSections::Row row = sections_.row(idx);
        if (row.kind != SSIDTableSections::RowKind::kAccessPoint ||
            row.index >= model_->accessPoints.size() || !model_->accessPoints[row.index])
            return;
        std::copy(model_->accessPoints[row.index]->bssid,
                  model_->accessPoints[row.index]->bssid + 6, model_->runtime.highlightedBssid);
        std::copy(model_->runtime.highlightedBssid, model_->runtime.highlightedBssid + 6,
                  shownHighlight_.begin());
    }
    model_->runtime.ssidTableChanged = true;
}

ssize_t SSIDTableLayer::highlightedRow() {
    sections_.rebuild(model_->accessPoints, model_->spectrum_settings.band);
    for (ssize_t idx = 0; idx < sections_.rowCount(); ++idx) {
        const SSIDTableSections::Row row = sections_.row(idx);
        if (row.kind == SSIDTableSections::RowKind::kAccessPoint &&
            row.index < model_->accessPoints.size() && model_->accessPoints[row.index] &&
            AccessPointHighlight::matches(model_->runtime.highlightedBssid,
                                          model_->accessPoints[row.index]->bssid))
            return idx;
    }
    return -1;
}

void SSIDTableLayer::moveHighlight(int step) {
    std::vector<ssize_t> rows;
    ssize_t current = -1;
    {
        sections_.rebuild(model_->accessPoints, model_->spectrum_settings.band);
        for (ssize_t idx = 0; idx < sections_.rowCount(); ++idx) {
            const SSIDTableSections::Row row = sections_.row(idx);
            if (row.kind != SSIDTableSections::RowKind::kAccessPoint ||
                row.index >= model_->accessPoints.size() || !model_->accessPoints[row.index])
                continue;
            if (AccessPointHighlight::matches(model_->runtime.highlightedBssid,
                                              model_->accessPoints[row.index]->bssid))
                current = static_cast<ssize_t>(rows.size());
            rows.push_back(idx);
        }
        if (rows.empty())
            return;
        const ssize_t next =
            current < 0
                ? (step > 0 ? 0 : static_cast<ssize_t>(rows.size()) - 1)
                : std::clamp<ssize_t>(current + step, 0, static_cast<ssize_t>(rows.size()) - 1);
        const SSIDTableSections::Row row = sections_.row(rows[static_cast<size_t>(next)]);
        std::copy(model_->accessPoints[row.index]->bssid,
                  model_->accessPoints[row.index]->bssid + 6, model_->runtime.highlightedBssid);
    }
    model_->runtime.ssidTableChanged = true;
}

void SSIDTableLayer::exportTable() {
    ExportTable table;
    { table = AccessPointTableExport::ssid(model_->accessPoints); }
    TableExportAction::run(*model_, table);
}

void SSIDTableLayer::onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event) {
    using K = engine::EventKeyboard::KeyCode;
    if ((key != K::KEY_UP_ARROW && key != K::KEY_DOWN_ARROW) || (keyGate_ && !keyGate_()))
        return;
    moveHighlight(key == K::KEY_DOWN_ARROW ? 1 : -1);
    event->stopPropagation();
}

void SSIDTableLayer::restorePlace(TableView* table, const Vec2& oldOffset, const Vec2& oldMin) {
    const Vec2 newMin = table->minContainerOffset();
    if (table->getInnerContainerSize().height > 0 && oldOffset.y <= 0 && newMin.y < 0) {
        const float y = std::clamp(oldOffset.y - oldMin.y + newMin.y, newMin.y, 0.f);
        table->setContentOffset(Vec2(oldOffset.x, y));
    }
}

void SSIDTableLayer::updateHeaderButtons() {
    const SpectrumViewSettings& view = model_->spectrum_settings;
    for (int c = 0; c < SSIDTableViewCell::kColumnCount; ++c) {
        if (!headers_[c])
            continue;
        const SSIDTableViewCell::ColumnInfo& info = SSIDTableViewCell::kColumns[c];
        headers_[c]->setTitleText(SSIDTableTexts::headerText(
            info.name, info.criterion == view.ssidSortCriterion, view.ssidSortDescending != 0));
    }
}

void SSIDTableLayer::chooseSort(uint8_t& criterion, uint8_t& descending, int pressed) {
    if (pressed == criterion) {
        descending = descending ? 0 : 1;
        return;
    }
    criterion = static_cast<uint8_t>(pressed);
    descending = pressed == kRssiCriterion ? 1 : 0;
}

void SSIDTableLayer::pressHeader(int criterion) {
    instrument_->edit(SettingChange::kDisplay, [criterion](SpectrumSettings& s) {
        SpectrumViewSettings& view = s.spectrum_settings;
        const uint8_t criterionBefore = view.ssidSortCriterion;
        const uint8_t descendingBefore = view.ssidSortDescending;
        chooseSort(view.ssidSortCriterion, view.ssidSortDescending, criterion);
        return view.ssidSortCriterion != criterionBefore ||
               view.ssidSortDescending != descendingBefore;
    });
    model_->runtime.ssidTableChanged = true;
}

void SSIDTableLayer::clearTable() {
    model_->clearAccessPoints();
}

bool SSIDTableLayer::onTouchBegan(engine::Touch* touch, engine::Event*) {
    const Vec2 at = convertTouchToNodeSpace(touch);
    return at.x >= 0 && at.y >= 0 && at.x <= _contentSize.width && at.y <= _contentSize.height;
}
