#pragma once

#include <memory>

#include <cstdint>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/base/EventKeyboard.h"
#include "model/StoredSettings.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Event;
class Touch;
}  // namespace engine

class SpectrumSettings;

class Instrument;

// The two measurement cursor pairs over the plotting rectangle: vertical cursors (frequency or
// time) and horizontal ones (level). The selected cursor of a pair is solid, the other dashed;
// in the spectrum's trace view the vertical cursors carry ticks where they cross the shown
// traces. Cursors are dragged by touch or with the left mouse button; the arrow keys move the
// selected cursor by one pixel, ten with Shift. Positions live in the model, so they survive
// a rebuilt view.
class CursorsLayer : public engine::Layer {
  public:
    static constexpr float kGrabInches = 0.123f;
    static constexpr int kVerticalDashes = 40;
    static constexpr int kHorizontalDashes = 50;

    static CursorsLayer* create();
    // A layer with an instrument of its own over another model (tests); create() uses the
    // process-wide one.
    static CursorsLayer* createWithModel(SpectrumSettings* model);
    // A layer that moves and selects cursors through `instrument`, which outlives it.
    static CursorsLayer* createWithInstrument(Instrument* instrument);
    ~CursorsLayer() override;

    bool init() override;
    void onExit() override;
    // Rebuilds the lines when an input changed; the frame is drawn only then.
    void update(float dt) override;
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Rebuilds the cursor lines from the model. draw() calls it every frame; it rebuilds only
    // when something the lines depend on changed, so an idle scene stays unchanged.
    void drawCursors();

    // True when a point in layer units lies within the grab radius of a shown cursor; the power
    // view's touch layer asks before it handles a touch itself.
    bool hitsCursor(const engine::Vec2& point) const;
    // 0.123 inch in design units: DPI x 0.123 window pixels, scaled from the window's frame to
    // the design resolution.
    static float grabRadiusFor(float dpi, float designWidth, float frameWidth);
    float grabRadius() const;

    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onTouchMoved(engine::Touch* touch, engine::Event* event);
    void onTouchEnded(engine::Touch* touch, engine::Event* event);
    void onKeyPressed(engine::EventKeyboard::KeyCode code, engine::Event* event);
    void onKeyReleased(engine::EventKeyboard::KeyCode code, engine::Event* event);

    // Moves the selected cursor of a pair (and, when tracking, the other one with it, keeping
    // their distance at the edges).
    void moveVertical(float dx);
    void moveHorizontal(float dy);

    engine::Color3B cursorColour{0, 255, 0};
    bool grabbingHorizontal = false;
    bool grabbingVertical = false;

    engine::DrawNode* getCursorNode() const { return cursorNode_; }
    const CursorSettings& getDrawnCursors() const { return drawn_; }
    engine::Touch* getHeldTouch() const { return touch_; }

  private:
    CursorsLayer() = default;
    bool spectrumView() const;
    bool waterfallView() const;
    bool verticalShown() const;
    bool horizontalShown() const;
    engine::Color4F lineColour() const;
    void drawTicks(float x, int cursor, const engine::Color4F& lineColour);
    void releaseTouch();
    void repairPositions();
    std::vector<uint8_t> drawInputs() const;

    SpectrumSettings* model_ = nullptr;
    Instrument* instrument_ = nullptr;  // how cursors change; never null once created
    std::unique_ptr<Instrument> ownInstrument_;
    engine::DrawNode* cursorNode_ = nullptr;  // child
    CursorSettings drawn_;                    // the model's cursors as last drawn
    std::vector<uint8_t> drawnInputs_;        // what the lines were last built from
    engine::Touch* touch_ = nullptr;          // the touch dragging a cursor, retained
    bool shiftHeld_ = false;
    ScissorClip clip_;
};
