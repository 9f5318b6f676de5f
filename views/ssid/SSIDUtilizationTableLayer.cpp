#include "views/ssid/SSIDUtilizationTableLayer.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/TableView.h"
#include "instrument/Instrument.h"
#include "model/AccessPointSelection.h"
#include "model/AccessPointTableExport.h"
#include "model/AccessPointTexts.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/TableExportAction.h"
#include "views/ssid/TableSortHeader.h"
#include "views/ssid/UtilizationTableViewCell.h"

using engine::Size;
using engine::Vec2;
using engine::ui::Button;
using engine::ui::Widget;

SSIDUtilizationTableLayer* SSIDUtilizationTableLayer::create(const Size& size) {
    return createWithModel(SpectrumSettings::getInstance(), size);
}

SSIDUtilizationTableLayer* SSIDUtilizationTableLayer::createWithModel(SpectrumSettings* model,
                                                                      const Size& size) {
    if (!model) {
        return nullptr;
    }
    auto own = std::make_unique<Instrument>(*model);
    SSIDUtilizationTableLayer* layer = createWithInstrument(own.get(), size);
    if (layer) {
        layer->ownInstrument_ = std::move(own);
    }
    return layer;
}

SSIDUtilizationTableLayer* SSIDUtilizationTableLayer::createWithInstrument(Instrument* instrument,
                                                                           const Size& size) {
    if (!instrument) {
        return nullptr;
    }
    auto* layer = new (std::nothrow) SSIDUtilizationTableLayer();
    if (!layer) {
        return nullptr;
    }
    layer->instrument_ = instrument;
    layer->model_ = &instrument->model();
    layer->setContentSize(size);
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

SSIDUtilizationTableLayer::~SSIDUtilizationTableLayer() {
    if (self_) {
        *self_ = nullptr;
    }
    endEditing();
}

bool SSIDUtilizationTableLayer::init() {
    const Size size = _contentSize;
    if (!Layer::init() || !model_) {
        return false;
    }
    setContentSize(size);
    self_ = std::make_shared<SSIDUtilizationTableLayer*>(this);
    // The panel takes every touch its controls leave, so nothing below it moves.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event*) {
        const Vec2 at = convertTouchToNodeSpace(touch);
        return isVisible() && at.x >= 0 && at.y >= 0 && at.x <= _contentSize.width &&
               at.y <= _contentSize.height;
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    if (auto* background = engine::ui::Scale9Sprite::create(kBackground)) {
        background->setAnchorPoint(Vec2(0.0f, 0.0f));
        background->setContentSize(size);
        addChild(background, -1);
    }
    const float barY = size.height - kTopBarHeight / 2.0f;
    edit_ = Button::create("ButtonUnselected.png", "ButtonSelected.png", "ButtonDisabled.png");
    if (edit_) {
        edit_->setScale9Enabled(true);
        edit_->setContentSize(Size(100.0f, 34.0f));
        edit_->setTitleFontName(SSIDTableLayout::kBoldFont);
        edit_->setTitleFontSize(14.0f);
        edit_->setTitleText("EDIT");
        edit_->setPosition(Vec2(SSIDTableLayout::kMargin + 50.0f, barY));
        edit_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED) {
                editReleased();
            }
        });
        addChild(edit_, 2);
    }
    export_ = Button::create("ButtonUnselected.png", "ButtonSelected.png", "ButtonDisabled.png");
    if (export_) {
        export_->setScale9Enabled(true);
        export_->setContentSize(Size(100.0f, 34.0f));
        export_->setTitleFontName(SSIDTableLayout::kBoldFont);
        export_->setTitleFontSize(14.0f);
        export_->setTitleText("EXPORT");
        export_->setPosition(Vec2(SSIDTableLayout::kMargin + 50.0f + 108.0f, barY));
        export_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED)
                exportTable();
        });
        addChild(export_, 2);
    }
    if (auto* title = engine::Label::createWithTTF(kTitle, SSIDTableLayout::kBoldFont, 18.0f)) {
        title->setPosition(size.width / 2.0f, barY);
        // Between EXPORT and the close button; a window too narrow for it goes without.
        const float room = 2.0f * (size.width / 2.0f - (SSIDTableLayout::kMargin + 216.0f));
        const float natural = title->getContentSize().width;
        if (natural > room)
            title->setScale(room > natural * 0.6f ? room / natural : 0.0f);
        title->setVisible(natural <= room || room > natural * 0.6f);
        addChild(title, 2);
    }
    close_ = Button::create(kCloseIcon);
    if (close_) {
        close_->setPosition(Vec2(size.width - 24.0f, barY));
        close_->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) {
            if (type == Widget::TouchEventType::ENDED && onClose) {
                // The handler usually removes us; stay alive until this touch is handled.
                retain();
                autorelease();
                onClose();
            }
        });
        addChild(close_, 2);
    }
    buildHeaders();
    return true;
}

void SSIDUtilizationTableLayer::exportTable() {
    ExportTable table;
    { table = AccessPointTableExport::utilization(model_->accessPoints, model_->scanStatistics); }
    TableExportAction::run(*model_, table);
}

void SSIDUtilizationTableLayer::onExit() {
    endEditing();
    Layer::onExit();
}

void SSIDUtilizationTableLayer::endEditing() {
    if (!editing_ || !model_) {
        return;
    }
    editing_ = false;
    model_->runtime.scanPaused = false;
}

void SSIDUtilizationTableLayer::buildHeaders() {
    displayClass_ = model_->runtime.displayClass;
    layout_ = SSIDTableLayout::measure(SSIDTableColumns::utilization(displayClass_ == 0),
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
    if (table_) {
        table_->removeFromParent();
        table_ = nullptr;
    }
    const float tableHeight = headerY - headerHeight / 2.0f - SSIDTableLayout::kMargin;
    table_ = engine::ui::TableView::create(this, Size(_contentSize.width, tableHeight));
    if (table_) {
        table_->setDelegate(this);
        table_->setPosition(Vec2(0.0f, SSIDTableLayout::kMargin));
        addChild(table_, 1);
    }
}

Size SSIDUtilizationTableLayer::cellSizeForTable(engine::ui::TableView*) {
    return Size(layout_.rowWidth, layout_.rowHeight);
}

ssize_t SSIDUtilizationTableLayer::numberOfCellsInTableView(engine::ui::TableView*) {
    rows_.rebuild(model_->accessPoints, model_->scanStatistics);
    return static_cast<ssize_t>(rows_.rowCount());
}

engine::ui::TableViewCell* SSIDUtilizationTableLayer::tableCellAtIndex(engine::ui::TableView* table,
                                                                       ssize_t idx) {
    auto* cell = static_cast<UtilizationTableViewCell*>(table->dequeueCell());
    if (!cell) {
        cell = UtilizationTableViewCell::create();
        if (!cell) {
            return nullptr;
        }
    }
    cell->build(layout_);
    using Kind = UtilizationTableRows::Kind;
    const UtilizationTableRows::Row row = rows_.row(static_cast<long>(idx));
    switch (row.kind) {
        case Kind::kHeader:
            cell->showText(row.selectedSection ? UtilizationTableRows::kSelectedHeader
                                               : UtilizationTableRows::kListHeader,
                           true);
            break;
        case Kind::kEmpty:
            cell->showText(row.selectedSection ? UtilizationTableRows::kSelectedEmpty
                                               : UtilizationTableRows::kListEmpty,
                           false);
            break;
        case Kind::kInvalid:
            cell->showText("!", false);
            break;
        case Kind::kAccessPoint: {
            if (row.index < model_->accessPoints.size() && model_->accessPoints[row.index]) {
                cell->showAccessPoint(*model_->accessPoints[row.index], row.selectedSection);
            } else {
                cell->showText("", false);
            }
            break;
        }
    }
    return cell;
}

void SSIDUtilizationTableLayer::refresh() {
    if (model_->runtime.displayClass != displayClass_) {
        buildHeaders();
    }
    if (table_) {
        table_->reloadData();
    }
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const TableSortHeader::Order order{view.utilizationSortCriterion,
                                       view.utilizationSortDescending != 0};
    for (size_t i = 0; i < headers_.size() && i < layout_.columns.size(); ++i) {
        headers_[i]->setTitleText(
            TableSortHeader::title(layout_.columns[i].name, layout_.columns[i].criterion, order));
    }
    if (edit_) {
        edit_->setTitleText(editing_ ? "DONE" : "EDIT");
    }
}

void SSIDUtilizationTableLayer::headerReleased(int criterion) {
    instrument_->edit(SettingChange::kDisplay, [criterion](SpectrumSettings& s) {
        SpectrumViewSettings& view = s.spectrum_settings;
        const TableSortHeader::Order next =
            TableSortHeader::pressed(TableSortHeader::Order{view.utilizationSortCriterion,
                                                            view.utilizationSortDescending != 0},
                                     criterion);
        const auto sortCriterion = static_cast<uint8_t>(next.criterion);
        const uint8_t descending = next.descending ? 1 : 0;
        if (view.utilizationSortCriterion == sortCriterion &&
            view.utilizationSortDescending == descending)
            return false;
        view.utilizationSortCriterion = sortCriterion;
        view.utilizationSortDescending = descending;
        return true;
    });
    model_->runtime.utilizationChanged = true;
}

void SSIDUtilizationTableLayer::editReleased() {
    {
        editing_ = !editing_;
        model_->runtime.scanPaused = editing_;
    }
    refresh();
}

void SSIDUtilizationTableLayer::tableCellTouched(engine::ui::TableView*,
                                                 engine::ui::TableViewCell* cell) {
    if (!editing_ || !cell) {
        return;
    }
    const UtilizationTableRows::Row row = rows_.row(static_cast<long>(cell->getIdx()));
    if (row.kind != UtilizationTableRows::Kind::kAccessPoint) {
        return;
    }
    std::string name;
    {
        if (row.index >= model_->accessPoints.size() || !model_->accessPoints[row.index]) {
            return;
        }
        const AccessPoint& ap = *model_->accessPoints[row.index];
        std::memcpy(pendingBssid_.data(), ap.bssid, 6);
        name = AccessPointTexts::name(ap);
    }
    pendingAdd_ = !row.selectedSection;
    if (pendingAdd_) {
        alert("Add Access Point!", "Do you want to optimize \"" + name + "\"?", {"Add", "Cancel"},
              true);
    } else {
        alert("Remove Access Point!", "Do you want to remove \"" + name + "\"?",
              {"Remove", "Cancel"}, true);
    }
}

void SSIDUtilizationTableLayer::alert(const std::string& title, const std::string& message,
                                      const std::vector<std::string>& buttons, bool answerable) {
    if (!presentAlert) {
        return;
    }
    std::function<void(int)> answer = [](int) {};
    if (answerable) {
        std::weak_ptr<SSIDUtilizationTableLayer*> weak = self_;
        answer = [weak](int index) {
            if (auto self = weak.lock(); self && *self) {
                (*self)->alertButtonPressed(index);
            }
        };
    }
    presentAlert(title, message, buttons, answer);
}

void SSIDUtilizationTableLayer::alertButtonPressed(int index) {
    if (index != 0) {
        return;
    }
    bool done = false;
    {
        done = pendingAdd_
                   ? AccessPointSelection::add(model_->scanStatistics, pendingBssid_.data())
                   : AccessPointSelection::remove(model_->scanStatistics, pendingBssid_.data());
    }
    if (!done) {
        alert(pendingAdd_ ? "Unable to add SSID!" : "Unable to remove SSID!", "", {"OK"}, false);
        return;
    }
    model_->runtime.utilizationChanged = true;
    refresh();
}
