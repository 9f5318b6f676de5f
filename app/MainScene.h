#pragma once

#include <array>
#include <cstdint>

#include "app/StatusReadouts.h"
#include "app/ViewLayout.h"
#include "engine/2d/Scene.h"

namespace engine {
class Label;
class Layer;
class LayerColor;
class Sprite;
}  // namespace engine

class GridLayer;
class OverlayLayer;
class RssiLayer;
class ScalingPopoverLayer;
class WaterfallLayer;
class WaterfallThresholdAndTouchLayer;
class SpectrumSettings;

// The application's only scene: it owns the view layers and rebuilds them when the mode, view,
// band or access-point scan changes, and every frame keeps the menu bar, the grid, the status
// labels, the access-point list and the "Acquiring SSID" indicator in step with the model.
class MainScene : public engine::Scene {
  public:
    static constexpr int kStatusZOrder = 60;
    static constexpr int kIndicatorZOrder = 59;
    static constexpr int kDemoBadgeZOrder = 65;
    static constexpr int kAlertZOrder = 90;
    static constexpr float kAgeingPeriod = 10.f;  // s between access-point ageing checks
    static constexpr uint64_t kAccessPointLifetimeMs = 180000;

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

    void rebuildViews();
    void updateStatusLabels();
    void layoutStatusLabels(float shown, float hidden);

    // The access-point tables join with their views; until then these only keep the flags.
    void showSsidTable();
    void hideSsidTable();
    void showUtilizationTable();
    void hideUtilizationTable();

    // The view area (visible area less the menu bar) and the inset plotting area.
    engine::Rect viewArea() const;
    engine::Rect innerArea() const;

    GridLayer* getGridLayer() const { return gridLayer_; }
    engine::Sprite* getDemoBadge() const { return demoBadge_; }
    engine::LayerColor* getAcquiringIndicator() const { return acquiringShade_; }
    engine::Label* getAmplitudeLabel() const { return amplitudeLabel_; }
    engine::Label* getDivisionLabel() const { return divisionLabel_; }
    engine::Label* getTriggerLabel() const { return triggerLabel_; }
    ScalingPopoverLayer* getScalingPopover() const { return scalingPopover_; }
    int getRebuildCount() const { return rebuildCount_; }

  private:
    MainScene() = default;
    void removeViews();
    void addViewLayer(ViewLayer layer);
    // Retains the layer and adds it over the plotting (inner) area at z-order 0.
    void placeInInnerArea(engine::Layer* layer);
    template <typename BandLayer>
    BandLayer* addBandLayer(BandLayer* layer);
    void checkBand();
    void ageAccessPoints(float dt);
    void sortAccessPoints();
    void updateAcquiringIndicator();
    void createStatusLabels();
    void handleResize();

    SpectrumSettings* model_ = nullptr;

    // View layers, retained; the later views fill the other members of the rebuild table.
    GridLayer* gridLayer_ = nullptr;
    RssiLayer* rssiLayer_ = nullptr;  // of the selected band, as are the waterfall layers
    WaterfallLayer* waterfallLayer_ = nullptr;
    WaterfallThresholdAndTouchLayer* waterfallTouchLayer_ = nullptr;
    OverlayLayer* overlayLayer_ = nullptr;
    ScalingPopoverLayer* scalingPopover_ = nullptr;  // lives with the scene, not the views

    engine::Sprite* demoBadge_ = nullptr;  // children of the scene from here on
    engine::LayerColor* acquiringShade_ = nullptr;
    engine::Sprite* outerWheel_ = nullptr;
    engine::Sprite* innerWheel_ = nullptr;
    engine::Label* acquiringLabel_ = nullptr;

    engine::Label* amplitudeLabel_ = nullptr;
    engine::Label* divisionLabel_ = nullptr;
    engine::Label* cursorXLabel_ = nullptr;
    engine::Label* cursorDeltaXLabel_ = nullptr;
    std::array<engine::Label*, 3> readoutAtLabels_{};
    std::array<engine::Label*, 3> readoutDeltaLabels_{};
    engine::Label* triggerLabel_ = nullptr;
    // Column widths measured from the placeholder texts.
    float amplitudeWidth_ = 0;
    float divisionWidth_ = 0;
    float triggerWidth_ = 0;
    float positionWidth_ = 0;
    float readoutWidth_ = 0;
    StatusTexts texts_;

    bool needsRebuild_ = true;
    int lastSpectrumMode_ = -1;
    int lastViewMode_ = -1;
    int lastBand_ = -1;
    int lastSsidScanOn_ = -1;
    float lastDelta_ = 0;
    float ageingTimer_ = 0;
    bool ssidTableShown_ = false;
    bool utilizationTableShown_ = false;
    int rebuildCount_ = 0;
};
