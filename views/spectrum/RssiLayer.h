#pragma once

#include <cstdint>
#include <vector>

#include "engine/2d/Layer.h"
#include "model/PeakList.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Sprite;
class Texture2D;
}  // namespace engine

class BandSweepBuffers;
struct HeatMap;
class SpectrumSettings;

// The "REAL WAVE" display of one band: draws the raw, decay, average, maximum and minimum traces
// the three slots ask for with their peak markers, colours the persistence heat map and writes
// the cursor readouts. The traces, peaks and heat-map counts are derived as each sweep arrives
// (SpectrumAcquisition); this layer only reads them. Band peak lists are kept in the order raw,
// decay, average, maximum, minimum.
class RssiLayer : public engine::Layer {
  public:
    static constexpr const char* kWaterfallProgram = "Waterfall";
    static constexpr const char* kPeakIcon = "PeakIcon.png";

    static RssiLayer* create();
    // A layer over another model (tests); create() uses the process-wide one.
    static RssiLayer* createWithModel(SpectrumSettings* model);
    ~RssiLayer() override;

    bool init() override;
    void update(float dt) override;
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Colours and uploads the heat maps of the shown bands that changed.
    void uploadHeatMaps();
    // Trace drawing and cursor readouts of the shown bands.
    void drawTraces();
    // Positions, scales and shows or hides the two heat-map sprites.
    void placeHeatMapSprites();

    // Places markers for the first markerCount entries; returns the next free marker index.
    int placePeakMarkers(const PeakList& peaks, int markerCount, int firstMarker, float dx,
                         float scaleY, float offsetY, const engine::Color3B& colour, bool onTop);

    // The "Waterfall" program from the cache, built from its shader files on first use;
    // nullptr when the files are missing or do not compile.
    static engine::GLProgram* waterfallProgram();

    bool showBand24 = true;
    bool showBand5 = true;

    uint8_t getTraceMask() const { return traceMask_; }
    engine::DrawNode* getTraceNode() const { return traceNode_; }
    const std::vector<engine::Sprite*>& getPeakMarkers() const { return peakMarkers_; }
    engine::Sprite* getHeatMapSpriteSmooth() const { return heatMapSpriteSmooth_; }
    engine::Sprite* getHeatMapSpriteCrisp() const { return heatMapSpriteCrisp_; }
    const uint8_t* getHeatMapPixelsSmooth() const { return heatMapPixelsSmooth_.data(); }
    const uint8_t* getHeatMapPixelsCrisp() const { return heatMapPixelsCrisp_.data(); }

  private:
    RssiLayer() = default;
    void updateHeatMap(BandSweepBuffers& band);
    // Uploads the texels that differ from shown (what the texture holds), the changed rows of
    // each of at most kUploadChunks blocks of columns, and keeps them as shown; all of them
    // when the grid's size changed.
    static constexpr int kUploadChunks = 16;
    static void uploadChangedRows(engine::Texture2D* texture, const std::vector<uint8_t>& pixels,
                                  std::vector<uint8_t>& shown, const HeatMap& grid, bool sameSize);
    bool updateTraceMask();
    void drawBand(BandSweepBuffers& band, bool band24, bool maskChanged);
    void trimMarkers(size_t keep);
    // The height from the plot's bottom that the heat map can colour.
    float heatMapContentHeight() const;

    SpectrumSettings* model_ = nullptr;
    engine::DrawNode* traceNode_ = nullptr;     // retained
    std::vector<engine::Sprite*> peakMarkers_;  // retained
    bool traceModesDirty_ = false;
    uint8_t cachedTraceModes_[3] = {0, 0, 0};
    bool cachedDotsMode_ = false;
    uint8_t traceMask_ = 0;
    std::vector<uint8_t> heatMapPixelsSmooth_;
    std::vector<uint8_t> heatMapPixelsCrisp_;
    size_t heatMapBufferBytes_ = 0;
    std::vector<uint16_t> heatMapSums_;  // cumulative counts, scratch of the heat-map build
    engine::Texture2D* heatMapTextureSmooth_ = nullptr;  // retained
    engine::Texture2D* heatMapTextureCrisp_ = nullptr;   // retained
    engine::Sprite* heatMapSpriteSmooth_ = nullptr;      // retained
    engine::Sprite* heatMapSpriteCrisp_ = nullptr;       // retained
    std::vector<uint8_t> shownSmooth_;                   // what each texture holds, columns x rows
    std::vector<uint8_t> shownCrisp_;
    int shownColumns_ = 0;
    int shownRows_ = 0;
    int heatMapRows_ = 0;
    int heatMapTopRow_ = -1;  // highest grid row with hits in the uploaded pictures; -1: none
    float lastDelta_ = 0;
    ScissorClip clip_;
    ScissorClip heatMapClip_;  // narrows the clip for the heat map ...
    ScissorClip plotClip_;     // ... and widens it again for the traces
};
