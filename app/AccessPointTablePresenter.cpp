#include "app/AccessPointTablePresenter.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/2d/Node.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "instrument/Instrument.h"
#include "menus/AlertAnswers.h"
#include "menus/InputRanks.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"

AccessPointTablePresenter::AccessPointTablePresenter(engine::Node& parent, Instrument& instrument,
                                                     AlertAnswers& alerts, int tableZOrder,
                                                     int alertZOrder)
    : parent_(parent),
      instrument_(instrument),
      model_(instrument.model()),
      alerts_(alerts),
      tableZOrder_(tableZOrder),
      alertZOrder_(alertZOrder) {}

engine::Rect AccessPointTablePresenter::ssidTableArea(const engine::Rect& view) {
    if (view.size.height < kSharedViewHeight)
        return view;
    const float table = std::floor(view.size.height * kSsidTableShare);
    return engine::Rect(view.origin.x, view.getMaxY() - table, view.size.width, table);
}

void AccessPointTablePresenter::showSsidTable(const engine::Rect& area, engine::Node* outlines) {
    hideUtilizationTable();
    ssidShown_ = true;
    if (ssidTable_) {
        parent_.removeChild(ssidTable_, true);
        ssidTable_ = nullptr;
    }
    ssidTable_ = SSIDTableLayer::createWithInstrument(&instrument_, ssidTableArea(area));
    if (!ssidTable_)
        return;
    ssidTable_->setCloseHandler([this] { hideSsidTable(); });
    // Up and Down are the table keyboard's: its row ring highlights what it lands on.
    ssidTable_->setKeyGate([] { return false; });
    parent_.addChild(ssidTable_, tableZOrder_);
    // Where the table leaves the spectrum in sight, a click on an outline picks its row.
    const bool shared = ssidTableArea(area).size.height < area.size.height;
    takeInput(ssidTable_, shared ? outlines : nullptr);
    // Sorted and filled at once, not a frame later.
    model_.runtime.ssidTableChanged = true;
    AccessPointAgeing::sortForTables(model_, true, utilizationShown_);
    ssidTable_->refresh();
}

void AccessPointTablePresenter::hideSsidTable() {
    if (ssidShown_) {
        model_.runtime.scanPaused = false;
        // The user's own access points stay selected; only the figures start over.
        ScanStatistics& statistics = model_.scanStatistics;
        uint8_t selection[sizeof statistics.selection];
        std::memcpy(selection, statistics.selection, sizeof selection);
        statistics.clear();
        std::memcpy(statistics.selection, selection, sizeof selection);
    }
    ssidShown_ = false;
    if (ssidTable_) {
        parent_.removeChild(ssidTable_, true);
        ssidTable_ = nullptr;
    }
}

void AccessPointTablePresenter::showUtilizationTable(const engine::Rect& area) {
    hideSsidTable();
    // A rebuild (after a resize) starts outside edit mode, as a new table does.
    hideUtilizationTable();
    utilizationShown_ = true;
    utilizationTable_ = SSIDUtilizationTableLayer::createWithInstrument(&instrument_, area.size);
    if (!utilizationTable_)
        return;
    utilizationTable_->setPosition(area.origin);
    utilizationTable_->onClose = [this] { hideUtilizationTable(); };
    // The answer goes through the table's own guard: once the table is gone it does nothing.
    utilizationTable_->presentAlert = [this](const std::string& title, const std::string& message,
                                             const std::vector<std::string>& buttons,
                                             const std::function<void(int)>& answer) {
        alerts_.show(&parent_, alertZOrder_, title, message, buttons, answer);
    };
    parent_.addChild(utilizationTable_, tableZOrder_);
    takeInput(utilizationTable_);
    model_.runtime.utilizationChanged = true;
    AccessPointAgeing::sortForTables(model_, ssidShown_, true);
    utilizationTable_->refresh();
}

void AccessPointTablePresenter::hideUtilizationTable() {
    if (utilizationShown_) {
        // Editing froze the list; a closed table must not leave it frozen.
        model_.runtime.scanPaused = false;
    }
    utilizationShown_ = false;
    if (utilizationTable_) {
        parent_.removeChild(utilizationTable_, true);
        utilizationTable_ = nullptr;
    }
}

void AccessPointTablePresenter::takeInput(engine::Node* table, engine::Node* alsoPointed) {
    engine::EventDispatcher* dispatcher = table->getEventDispatcher();
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode key, engine::Event* event) {
        // Called through the listener: the table may go away inside the handler.
        event->stopPropagation();
        if (keys_)
            keys_(key, static_cast<engine::EventKeyboard*>(event)->getModifiers());
    };
    dispatcher->addEventListenerWithSceneGraphPriority(keys, table);
    dispatcher->pushModal(table, InputRanks::kTable, MenuController::getInstance()->getMenuBar(),
                          alsoPointed);
}

void AccessPointTablePresenter::update(float dt, uint64_t now) {
    ageing_.advance(model_, dt, ssidShown_ || utilizationShown_, now);
    if (AccessPointAgeing::sortForTables(model_, ssidShown_, utilizationShown_)) {
        if (ssidTable_)
            ssidTable_->refresh();
        if (utilizationTable_)
            utilizationTable_->refresh();
    }
}
