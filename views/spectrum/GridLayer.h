#pragma once

#include "engine/2d/Layer.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
}

// The graticule of the plotting area: frame, crosshair, tick marks and grid lines over fixed
// divisions (10 x 8 major, 50 x 40 minor) that the trace, cursor and label layers share. Purely
// geometric; it knows nothing of frequencies or levels. Callers set a switch, then rebuildGrid().
class GridLayer : public engine::Layer {
  public:
    static constexpr int kMajorX = 10;
    static constexpr int kMajorY = 8;
    static constexpr int kMinorX = 50;
    static constexpr int kMinorY = 40;
    static constexpr float kInset = 2.f;

    static GridLayer* create();

    bool init() override;
    void rebuildGrid();
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Sets the switches from a graticule mask (1 crosshair, 2 major ticks, 4 minor ticks,
    // 8 major grid, 16 minor grid) and rebuilds once per switch that changed. Returns how many
    // switches changed.
    int applyGraticule(uint32_t mask);

    engine::DrawNode* getDrawNode() const { return drawNode_; }

    bool showCrosshair = true;
    bool showMajorTicks = true;
    bool showMinorTicks = true;
    bool showMajorGrid = true;
    bool showMinorGrid = true;

  protected:
    GridLayer() = default;

  private:
    void drawGridLines(int divisionsX, int divisionsY, const engine::Color4F& colour);
    void drawTicks(int divisionsX, int divisionsY, float length, const engine::Color4F& colour);

    engine::DrawNode* drawNode_ = nullptr;  // a child; the layer's children list keeps it
    ScissorClip clip_;
};
