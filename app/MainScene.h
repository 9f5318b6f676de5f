#pragma once

#include <memory>

#include <cstdint>
#include <utility>
#include <vector>

#include "app/AccessPointTablePresenter.h"
#include "app/StatusStrip.h"
#include "app/TableKeyboard.h"
#include "app/ViewFactories.h"
#include "app/ViewKeyboard.h"
#include "app/ViewLayout.h"
#include "engine/2d/Scene.h"
#include "engine/base/EventKeyboard.h"
#include "menus/AccessPointTables.h"
#include "menus/AlertAnswers.h"

namespace engine {
class Event;
class Label;
class Layer;
class Sprite;
}  // namespace engine

class AccessoryControl;
class AcquiringIndicatorLayer;
class Instrument;
class PointerReadoutLayer;
class GridLayer;
class MillisecondClock;
class PeakTableLayer;
class ScalingPopoverLayer;
class SpectrumSettings;
class SSIDTableLayer;
class SSIDUtilizationTableLayer;

// The application's only scene: it builds the view layers from the rebuild table (ViewLayout)
// through one factory per kind when the mode, view, band or access-point scan changes, and
// every frame keeps the menu bar, the grid, the status strip, the access-point list and the
// "Acquiring SSID" indicator in step with the model.
class MainScene : public engine::Scene, public AccessPointTables {
  public:
    static constexpr int kStatusZOrder = 60;
    static constexpr int kTableZOrder = 60;
    static constexpr int kIndicatorZOrder = 59;
    static constexpr int kPointerReadoutZOrder = 58;
    static constexpr int kDemoBadgeZOrder = 65;
    static constexpr int kAlertZOrder = 90;
    static constexpr int kPopoverZOrder = 100;

    static MainScene* create();
    // A scene over another model (tests); create() uses the process-wide one.
    static MainScene* createWithModel(SpectrumSettings* model);
    ~MainScene() override;

    void onEnter() override;
    void onExit() override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;
    void update(float dt) override;
    bool init() override;

    // The controller's interface that the views are built with; null (the start, and tests)
    // builds them without one. A new one rebuilds the views at the next frame.
    void setAccessoryControl(AccessoryControl* control);
    AccessoryControl* getAccessoryControl() const { return control_; }
    // How the views and keys change settings: the menus' own instrument when the scene shows the
    // process-wide model, so there is one funnel; a scene over another model has its own.
    Instrument& getInstrument() const { return *instrument_; }
    // The clock access points age by; null reads the process clock (nowMilliseconds()).
    void setClock(const MillisecondClock* clock) { clock_ = clock; }
    // Replaces (or with an empty function removes) the factory of one kind; the next rebuild
    // uses it.
    void setViewFactory(ViewLayer kind, ViewFactory factory);

    void rebuildViews();

    // The access-point tables over the view area (AccessPointTablePresenter says how they
    // behave).
    void showSsidTable() override;
    void hideSsidTable() override;
    // The T key: shows the SSID table in spectrum mode, or hides it.
    void toggleSsidTable();
    void showUtilizationTable() override;
    void hideUtilizationTable() override;
    // The U key: shows the utilization table in spectrum mode, or hides it.
    void toggleUtilizationTable();
    // The peak table (K, and the measure menu's row): the peaks of the shown traces, in the
    // spectrum real-wave view only.
    bool isPeakTableShown() const override { return peakTable_ != nullptr; }
    void togglePeakTable() override;
    void hidePeakTable();
    PeakTableLayer* getPeakTable() const { return peakTable_; }
    // The E key: exports the table on screen (SSID, utilization or peaks); false with none.
    bool exportShownTable();
    // What --stats files the drawn frames under.
    const char* shownViewName() const;
    bool isSsidTableShown() const override { return tables_ && tables_->ssidShown(); }
    bool isUtilizationTableShown() const override { return tables_ && tables_->utilizationShown(); }
    SSIDTableLayer* getSsidTable() const { return tables_ ? tables_->ssidTable() : nullptr; }
    SSIDUtilizationTableLayer* getUtilizationTable() const {
        return tables_ ? tables_->utilizationTable() : nullptr;
    }
    // The answers of the alerts the scene's own layers ask (the utilization table's).
    AlertAnswers& getAlertAnswers() { return alertAnswers_; }

    // The view area (visible area less the menu bar) and the inset plotting area.
    engine::Rect viewArea() const;
    engine::Rect innerArea() const;

    // The layer of one kind in the current views, or null.
    engine::Layer* getViewLayer(ViewLayer kind) const;
    GridLayer* getGridLayer() const;
    engine::Sprite* getDemoBadge() const { return demoBadge_; }
    AcquiringIndicatorLayer* getAcquiringIndicator() const { return acquiringIndicator_; }
    StatusStrip* getStatusStrip() const { return statusStrip_; }
    PointerReadoutLayer* getPointerReadout() const { return pointerReadout_; }
    engine::Label* getAmplitudeLabel() const {
        return statusStrip_ ? statusStrip_->getAmplitudeLabel() : nullptr;
    }
    engine::Label* getDivisionLabel() const {
        return statusStrip_ ? statusStrip_->getDivisionLabel() : nullptr;
    }
    engine::Label* getTriggerLabel() const {
        return statusStrip_ ? statusStrip_->getTriggerLabel() : nullptr;
    }
    ScalingPopoverLayer* getScalingPopover() const { return scalingPopover_; }
    int getRebuildCount() const { return rebuildCount_; }
    SpectrumSettings* getModel() const { return model_; }
    const TableKeyboard& getTableKeyboard() const { return tableKeys_; }
    const ViewKeyboard& getViewKeyboard() const { return viewKeys_; }

  private:
    MainScene() = default;
    ViewContext viewContext() const;
    void removeViews();
    void checkBand();
    void updateAcquiringIndicator();
    void handleResize();
    void keyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);
    bool tableKeyPressed(engine::EventKeyboard::KeyCode key, int modifiers);

    SpectrumSettings* model_ = nullptr;
    AccessoryControl* control_ = nullptr;
    Instrument* instrument_ = nullptr;
    std::unique_ptr<Instrument> ownInstrument_;
    const MillisecondClock* clock_ = nullptr;
    ViewFactoryTable factories_;

    // The current views in drawing order, retained.
    std::vector<std::pair<ViewLayer, engine::Layer*>> views_;
    ScalingPopoverLayer* scalingPopover_ = nullptr;  // retained; lives with the scene

    engine::Sprite* demoBadge_ = nullptr;
    StatusStrip* statusStrip_ = nullptr;
    PointerReadoutLayer* pointerReadout_ = nullptr;
    AcquiringIndicatorLayer* acquiringIndicator_ = nullptr;  // only while shown
    PeakTableLayer* peakTable_ = nullptr;                    // only while shown
    AlertAnswers alertAnswers_;
    std::unique_ptr<AccessPointTablePresenter> tables_;  // made by init()
    TableKeyboard tableKeys_{*this};
    ViewKeyboard viewKeys_{*this};

    bool needsRebuild_ = true;
    int lastSpectrumMode_ = -1;
    int lastViewMode_ = -1;
    int lastBand_ = -1;
    int lastSsidScanOn_ = -1;
    float lastDelta_ = 0;
    int rebuildCount_ = 0;
};
