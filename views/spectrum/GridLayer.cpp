#include "views/spectrum/GridLayer.h"

#include "engine/2d/DrawNode.h"

using engine::Color4F;
using engine::Vec2;

namespace {

const Color4F kMinorGridColour(0.1f, 0.1f, 0.1f, 1.f);
const Color4F kMajorGridColour(0.15f, 0.15f, 0.15f, 1.f);
const Color4F kFrameColour(0.5f, 0.5f, 0.5f, 1.f);  // also ticks and crosshair

}  // namespace

GridLayer* GridLayer::create() {
    auto* layer = new (std::nothrow) GridLayer();
    if (layer && layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool GridLayer::init() {
    if (!Layer::init())
        return false;
    rebuildGrid();
    return true;
}

void GridLayer::drawGridLines(int divisionsX, int divisionsY, const Color4F& colour) {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    for (int j = 0; j <= divisionsY; ++j) {
        float y = (h - 2 * kInset) * j / divisionsY + kInset;
        drawNode_->drawLine(Vec2(kInset, y), Vec2(w - kInset, y), colour);
    }
    for (int i = 0; i <= divisionsX; ++i) {
        float x = (w - 2 * kInset) * i / divisionsX + kInset;
        drawNode_->drawLine(Vec2(x, kInset), Vec2(x, h - kInset), colour);
    }
}

void GridLayer::drawTicks(int divisionsX, int divisionsY, float length, const Color4F& colour) {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    for (int k = 0; k <= 2; ++k) {
        // Bottom and top rows only: the horizontal middle line carries no ticks. Bottom ticks
        // point up into the plot, top ticks point down.
        if (k != 1) {
            float y = (h - 2 * kInset) * k * 0.5f + kInset;
            float below = k != 0 ? length : 0.f;
            float above = k != 2 ? length : 0.f;
            for (int i = 0; i <= divisionsX; ++i) {
                float x = (w - 2 * kInset) * i / divisionsX + kInset;
                drawNode_->drawLine(Vec2(x, y - below), Vec2(x, y + above), colour);
            }
        }
        // Left, middle and right columns; the middle ticks reach to both sides.
        float x = (w - 2 * kInset) * k * 0.5f + kInset;
        float left = k != 0 ? length : 0.f;
        float right = k != 2 ? length : 0.f;
        for (int j = 0; j <= divisionsY; ++j) {
            float y = (h - 2 * kInset) * j / divisionsY + kInset;
            drawNode_->drawLine(Vec2(x - left, y), Vec2(x + right, y), colour);
        }
    }
}

void GridLayer::rebuildGrid() {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    if (!drawNode_) {
        drawNode_ = engine::DrawNode::create(2.f);
        addChild(drawNode_);
    }
    drawNode_->clear();

    // Later elements lie on top: minor grid, major grid, minor ticks, major ticks, crosshair,
    // frame.
    if (showMinorGrid)
        drawGridLines(kMinorX, kMinorY, kMinorGridColour);
    if (showMajorGrid)
        drawGridLines(kMajorX, kMajorY, kMajorGridColour);
    if (showMinorTicks)
        drawTicks(kMinorX, kMinorY, 2.f, kFrameColour);
    if (showMajorTicks)
        drawTicks(kMajorX, kMajorY, 4.f, kFrameColour);
    if (showCrosshair)
        drawNode_->drawLine(Vec2(w * 0.5f, kInset), Vec2(w * 0.5f, h - kInset), kFrameColour);
    drawNode_->drawRect(Vec2(kInset, kInset), Vec2(w - kInset, h - kInset), kFrameColour);
}

int GridLayer::applyGraticule(uint32_t mask) {
    int changed = 0;
    auto apply = [&](bool& flag, uint32_t bit) {
        bool wanted = (mask & bit) != 0;
        if (flag != wanted) {
            flag = wanted;
            rebuildGrid();
            ++changed;
        }
    };
    apply(showCrosshair, 1);
    apply(showMajorTicks, 2);
    apply(showMinorTicks, 4);
    apply(showMajorGrid, 8);
    apply(showMinorGrid, 16);
    return changed;
}

void GridLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                      uint32_t parentFlags) {
    if (!_visible)
        return;
    clip_.begin(renderer, _globalZOrder, engine::Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}
