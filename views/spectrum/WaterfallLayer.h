#pragma once

#include <cstdint>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/spectrum/ScissorClip.h"
#include "views/spectrum/WaterfallPicture.h"

namespace engine {
class Sprite;
class Texture2D;
}  // namespace engine

class BandSweepBuffers;
class Palette;
class SpectrumSettings;

// The "WATERFALL" display of one band: the sweep history as a picture scrolling downwards, the
// newest sweep at the top edge, stretched by the time scale; with the cursors on, the five
// strongest levels along each horizontal (time) and vertical (frequency) cursor are marked.
class WaterfallLayer : public engine::Layer {
  public:
    static WaterfallLayer* create();
    // A layer over another model (tests); create() uses the process-wide one.
    static WaterfallLayer* createWithModel(SpectrumSettings* model);
    ~WaterfallLayer() override;

    bool init() override;
    void update(float dt) override;
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Repaints the texture of each shown band whose history changed.
    void rebuildWaterfall();

    // The time-scale factor of a waterfallTimeScaleIndex: 1, 2 or 5 (1 for unknown values).
    static int timeScaleFactor(int index);

    bool showBand24 = true;
    bool showBand5 = true;

    engine::Sprite* getWaterfallSprite() const { return waterfallSprite_; }
    const uint8_t* getWaterfallPixels() const { return picture_.data(); }
    const std::vector<engine::Sprite*>& getPeakMarkers() const { return peakMarkers_; }

  private:
    WaterfallLayer() = default;
    void placeSprite(int timeScale);
    void rebuildBand(BandSweepBuffers& band, bool band24);
    void markCursorPeaks(BandSweepBuffers& band, bool band24, int timeScale, const Palette& palette,
                         size_t& nextMarker);
    engine::Sprite* markerAt(size_t index);

    SpectrumSettings* model_ = nullptr;
    WaterfallPicture picture_;
    engine::Texture2D* waterfallTexture_ = nullptr;  // retained
    engine::Sprite* waterfallSprite_ = nullptr;      // retained
    std::vector<engine::Sprite*> peakMarkers_;       // retained
    float lastDelta_ = 0;
    ScissorClip clip_;
};
