// The cursor layer in a real window: what it draws (solid, dashed, ticks per trace slot, none in
// the waterfall), which cursor a touch grabs, drags in both modes against the edges, the arrow
// keys, and gestures that other layers own or that a rebuilt view cuts short.
#include <cmath>
#include <limits>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "instrument/Instrument.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/CursorsLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

namespace {

using namespace spectrumtest;
using KeyCode = engine::EventKeyboard::KeyCode;

// The layer covers 400 x 260 at (20, 20), leaving room for touches just outside it.
constexpr float kX = 20, kY = 20, kW = 400, kH = 260;
constexpr int kLeftShift = 0x400000E1;
const Rgb kGrey{192, 192, 192};

class CursorsLayerTest : public SpectrumLayerTest {
  protected:
    void SetUp() override {
        SpectrumLayerTest::SetUp();
        CursorSettings& c = model->cursors;
        c.cursorsShown = 1;
        c.verticalShown = 1;
        c.horizontalShown = 0;
        layer = CursorsLayer::createWithModel(model.get());
        ASSERT_NE(layer, nullptr);
        layer->setPosition(kX, kY);
        layer->setContentSize(engine::Size(kW, kH));
        scene->addChild(layer);
        step(1);
        r = layer->grabRadius();
    }
    // Touches in layer units.
    void down(float x, float y) { touchBegan(1, kX + x, kY + y); }
    void move(float x, float y) { touchMoved(1, kX + x, kY + y); }
    void up(float x, float y) { touchEnded(1, kX + x, kY + y); }
    void drag(float x0, float y0, float x1, float y1) {
        down(x0, y0);
        move(x1, y1);
        up(x1, y1);
    }
    void key(KeyCode code, bool pressed, int raw = 0) {
        engine::EventKeyboard event(code, pressed, raw);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&event);
    }
    // Whether any pixel of the two columns a 2-unit line at layer x covers has the colour.
    bool lineColourAt(const engine::Image& image, float x, float y, const Rgb& colour) {
        for (int dx = -1; dx <= 1; ++dx)
            if (pixelAt(image, static_cast<int>(kX + x) + dx, static_cast<int>(kY + y)) == colour)
                return true;
        return false;
    }
    int litRows(const engine::Image& image, float x) {
        int lit = 0;
        for (int y = 0; y < static_cast<int>(kH); ++y)
            lit += countLit(image, static_cast<int>(kX + x) - 1, static_cast<int>(kY) + y,
                            static_cast<int>(kX + x) + 2, static_cast<int>(kY) + y + 1) > 0;
        return lit;
    }
    float* x() { return model->cursors.verticalX; }
    float* y() { return model->cursors.horizontalY; }

    CursorsLayer* layer = nullptr;
    float r = 0;
};

TEST_F(CursorsLayerTest, SelectedSolidOtherDashedWithTicksPerTraceSlot) {
    SpectrumViewSettings& view = model->spectrum_settings;
    view.traceModes[0] = SpectrumSettings::kTraceRaw;      // blue
    view.traceModes[1] = SpectrumSettings::kTraceMaxHold;  // green
    view.traceModes[2] = SpectrumSettings::kTraceHeatMap;  // no readout, no tick
    CursorReadouts& readouts = model->cursorReadouts;
    readouts.screenY[CursorReadouts::kRaw][0] = 50;
    readouts.screenY[CursorReadouts::kMaximum][0] = 150;
    readouts.screenY[CursorReadouts::kRaw][1] = 70;
    readouts.screenY[CursorReadouts::kMaximum][1] = 170;
    const engine::Image image = renderFrame();
    EXPECT_TRUE(lineColourAt(image, 100, 120, kGrey));
    EXPECT_EQ(litRows(image, 100), static_cast<int>(kH));
    // 40 dashes, each 0.66 of its step: about two thirds of the rows.
    const int dashed = litRows(image, 200);
    EXPECT_GT(dashed, kH * 0.55);
    EXPECT_LT(dashed, kH * 0.8);
    // Ticks 4 units (W / 100) to each side, in the slot's colour, on both cursors.
    EXPECT_EQ(pixelAt(image, kX + 103, kY + 50), (Rgb{0, 0, 255}));
    EXPECT_EQ(pixelAt(image, kX + 97, kY + 150), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(image, kX + 203, kY + 70), (Rgb{0, 0, 255}));
    EXPECT_EQ(pixelAt(image, kX + 197, kY + 170), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(image, kX + 106, kY + 50), (Rgb{0, 0, 0}));
    EXPECT_FALSE(lineColourAt(image, 150, 100, kGrey));  // no horizontal pair

    // Selecting the other cursor swaps solid and dashed.
    model->cursors.selectedCursor = 1;
    const engine::Image swapped = renderFrame();
    EXPECT_EQ(litRows(swapped, 200), static_cast<int>(kH));
    EXPECT_LT(litRows(swapped, 100), kH * 0.8);
}

// In the power view the lines take the colour of the trace the readouts measure, with one tick
// at its readout.
TEST_F(CursorsLayerTest, PowerViewDrawsInTheSelectedTracesColour) {
    model->common_settings.spectrumMode = 0;
    model->power_channel.color[0] = 255;  // yellow live trace
    model->cursorReadouts.screenY[0][0] = 40;
    engine::Image image = renderFrame();
    EXPECT_TRUE(lineColourAt(image, 100, 120, (Rgb{255, 255, 0})));
    EXPECT_EQ(pixelAt(image, kX + 103, kY + 40), (Rgb{255, 255, 0}));
    model->power_setting.selectedTrace = 1;  // the white reference
    image = renderFrame();
    EXPECT_TRUE(lineColourAt(image, 100, 120, (Rgb{255, 255, 255})));
    model->power_setting.selectedTrace = 2;
    layer->cursorColour = engine::Color3B(255, 0, 255);
    image = renderFrame();
    EXPECT_TRUE(lineColourAt(image, 100, 120, (Rgb{255, 0, 255})));
}

TEST_F(CursorsLayerTest, SwitchedOffDrawsAndGrabsNothing) {
    model->cursors.cursorsShown = 0;
    const engine::Image image = renderFrame();
    EXPECT_EQ(countLit(image, 0, 0, kWidth, kHeight), 0);
    EXPECT_FALSE(layer->hitsCursor(engine::Vec2(100, 50)));
    down(100, 50);
    EXPECT_EQ(layer->getHeldTouch(), nullptr);
    move(150, 50);
    up(150, 50);
    EXPECT_FLOAT_EQ(x()[0], 100.f);
}

TEST_F(CursorsLayerTest, WaterfallShowsBothPairsWithoutTicks) {
    model->spectrum_settings.viewMode = 1;
    model->spectrum_settings.traceModes[0] = SpectrumSettings::kTraceRaw;
    model->cursorReadouts.screenY[CursorReadouts::kRaw][0] = 50;
    const engine::Image image = renderFrame();
    EXPECT_TRUE(lineColourAt(image, 100, 120, kGrey));
    // The horizontal pair is drawn although its switch is off: solid at 100, dashed at 200.
    EXPECT_EQ(pixelAt(image, kX + 150, kY + 100), kGrey);
    EXPECT_EQ(pixelAt(image, kX + 103, kY + 50), (Rgb{0, 0, 0}));
    // ... and draggable.
    drag(300, 200, 300, 180);
    EXPECT_FLOAT_EQ(y()[1], 180.f);
    EXPECT_EQ(model->cursors.selectedCursor, 1);
}

TEST_F(CursorsLayerTest, TrackingAgainstTheEdgesKeepsTheDistance) {
    model->cursors.tracking = 1;
    x()[0] = 300;
    x()[1] = 350;
    down(350, 100);
    EXPECT_EQ(model->cursors.selectedCursor, 1);
    move(450, 100);  // the leading cursor stops at W
    EXPECT_FLOAT_EQ(x()[1], kW);
    EXPECT_FLOAT_EQ(x()[0], kW - 50);
    move(400, 100);
    EXPECT_FLOAT_EQ(x()[1], kW - 50);
    EXPECT_FLOAT_EQ(x()[0], kW - 100);
    move(-500, 100);  // and the trailing one at 0
    EXPECT_FLOAT_EQ(x()[0], 0.f);
    EXPECT_FLOAT_EQ(x()[1], 50.f);
    up(-500, 100);

    // Independent: only the selected cursor moves, clamped.
    model->cursors.tracking = 0;
    drag(50, 100, 500, 100);
    EXPECT_FLOAT_EQ(x()[1], kW);
    EXPECT_FLOAT_EQ(x()[0], 0.f);
}

TEST_F(CursorsLayerTest, TheNearestCursorIsGrabbedAndATieGoesToTheSelected) {
    x()[0] = 100;
    x()[1] = 110;
    model->cursors.selectedCursor = 1;
    drag(105, 100, 115, 100);  // exactly between: the selected one
    EXPECT_EQ(model->cursors.selectedCursor, 1);
    EXPECT_FLOAT_EQ(x()[1], 120.f);
    EXPECT_FLOAT_EQ(x()[0], 100.f);
    drag(103, 100, 93, 100);  // nearer to cursor 0
    EXPECT_EQ(model->cursors.selectedCursor, 0);
    EXPECT_FLOAT_EQ(x()[0], 90.f);
    // Beyond the grab radius nothing is taken.
    down(90 + r + 2, 100);
    EXPECT_EQ(layer->getHeldTouch(), nullptr);
    up(90 + r + 2, 100);
}

TEST_F(CursorsLayerTest, ATouchJustOutsideTheRectangleGrabsACursorAtTheEdge) {
    x()[0] = 0;
    x()[1] = 200;
    model->cursors.selectedCursor = 1;
    EXPECT_TRUE(layer->hitsCursor(engine::Vec2(-r + 1, 100)));
    EXPECT_FALSE(layer->hitsCursor(engine::Vec2(-r - 1, 100)));
    EXPECT_FALSE(layer->hitsCursor(engine::Vec2(0, kH + r + 1)));
    drag(-r + 1, 100, 30, 100);
    EXPECT_EQ(model->cursors.selectedCursor, 0);
    EXPECT_NEAR(x()[0], 30 + r - 1, 1e-3);
}

TEST_F(CursorsLayerTest, BothPairsGrabbedWithDifferentChoicesKeepTheSelection) {
    model->cursors.horizontalShown = 1;
    x()[0] = 100;
    x()[1] = 300;
    y()[0] = 50;
    y()[1] = 200;
    // Near vertical 1 and horizontal 0 (the selected): only the horizontal cursor 0 moves.
    drag(300, 52, 320, 62);
    EXPECT_EQ(model->cursors.selectedCursor, 0);
    EXPECT_FLOAT_EQ(y()[0], 60.f);
    EXPECT_FLOAT_EQ(x()[1], 300.f);
    EXPECT_FLOAT_EQ(x()[0], 100.f);
    // Near vertical 0 (the selected) and horizontal 1: only the vertical cursor 0 moves.
    drag(100, 200, 110, 220);
    EXPECT_EQ(model->cursors.selectedCursor, 0);
    EXPECT_FLOAT_EQ(x()[0], 110.f);
    EXPECT_FLOAT_EQ(y()[1], 200.f);
    // Both choices agree: both move and the selection follows.
    drag(300, 200, 290, 190);
    EXPECT_EQ(model->cursors.selectedCursor, 1);
    EXPECT_FLOAT_EQ(x()[1], 290.f);
    EXPECT_FLOAT_EQ(y()[1], 190.f);
}

TEST_F(CursorsLayerTest, ArrowKeysMoveTheSelectedCursor) {
    model->cursors.horizontalShown = 1;
    key(KeyCode::KEY_RIGHT_ARROW, true);
    key(KeyCode::KEY_RIGHT_ARROW, false);
    EXPECT_FLOAT_EQ(x()[0], 101.f);
    key(KeyCode::KEY_NONE, true, kLeftShift);
    key(KeyCode::KEY_UP_ARROW, true);
    EXPECT_FLOAT_EQ(y()[0], 110.f);
    key(KeyCode::KEY_LEFT_ARROW, true);
    EXPECT_FLOAT_EQ(x()[0], 91.f);
    key(KeyCode::KEY_NONE, false, kLeftShift);
    key(KeyCode::KEY_DOWN_ARROW, true);
    EXPECT_FLOAT_EQ(y()[0], 109.f);
    // Tracking moves the pair; the edge stops it with the distance kept.
    model->cursors.tracking = 1;
    model->cursors.selectedCursor = 1;
    x()[1] = kW - 0.5f;
    key(KeyCode::KEY_RIGHT_ARROW, true);
    EXPECT_FLOAT_EQ(x()[1], kW);
    EXPECT_FLOAT_EQ(x()[0], 91.5f);
    // Nothing moves while the cursors are off.
    model->cursors.cursorsShown = 0;
    key(KeyCode::KEY_LEFT_ARROW, true);
    EXPECT_FLOAT_EQ(x()[1], kW);
}

TEST_F(CursorsLayerTest, MovesAndSelectionsGoThroughTheInstrument) {
    layer->removeFromParent();
    Instrument instrument(*model);
    CursorsLayer* through = CursorsLayer::createWithInstrument(&instrument);
    ASSERT_NE(through, nullptr);
    through->setPosition(kX, kY);
    through->setContentSize(engine::Size(kW, kH));
    scene->addChild(through);
    step(1);
    EXPECT_FALSE(instrument.isStoreDirty());
    key(KeyCode::KEY_RIGHT_ARROW, true);
    key(KeyCode::KEY_RIGHT_ARROW, false);
    EXPECT_FLOAT_EQ(x()[0], 101.f);  // one layer moved it, once
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(instrument.changeCount(), 1u);
    // A grab of the other cursor selects it; the drag moves it: two changes.
    drag(x()[1], 100, x()[1] - 30, 100);
    EXPECT_EQ(model->cursors.selectedCursor, 1);
    EXPECT_EQ(instrument.changeCount(), 3u);
    // A key against the edge changes nothing and counts nothing.
    x()[1] = kW;
    key(KeyCode::KEY_RIGHT_ARROW, true);
    EXPECT_EQ(instrument.changeCount(), 3u);
    // A damaged position put back to its default is a change too, made once.
    x()[0] = std::numeric_limits<float>::quiet_NaN();
    step(2);
    EXPECT_FLOAT_EQ(x()[0], 100.f);
    EXPECT_EQ(instrument.changeCount(), 4u);
}

TEST_F(CursorsLayerTest, AnotherLayersGestureKeepsTheCursorsStill) {
    model->runtime.touchActive = true;
    down(100, 100);
    EXPECT_EQ(layer->getHeldTouch(), nullptr);
    up(100, 100);
    model->runtime.touchActive = false;
    down(100, 100);
    move(120, 100);
    model->runtime.touchActive = true;  // a pinch started meanwhile
    move(160, 100);
    EXPECT_FLOAT_EQ(x()[0], 120.f);
    model->runtime.touchActive = false;
    up(160, 100);
}

// A view rebuilt in the middle of a drag: the layers that go let go of their touches and of
// touchActive, so the new layers answer the next touch.
TEST_F(CursorsLayerTest, LayersLeavingMidDragReleaseTheirGestures) {
    down(100, 100);
    ASSERT_NE(layer->getHeldTouch(), nullptr);
    layer->retain();
    layer->removeFromParent();
    EXPECT_EQ(layer->getHeldTouch(), nullptr);
    EXPECT_FALSE(layer->grabbingVertical);
    layer->release();
    up(100, 100);

    // The waterfall's threshold handle drag holds touchActive until its layer goes.
    model->spectrum_settings.viewMode = 1;
    auto* thresholds = WaterfallThresholdAndTouchLayer::createWithModel(model.get());
    ASSERT_NE(thresholds, nullptr);
    thresholds->setPosition(kX, kY);
    thresholds->setContentSize(engine::Size(kW, kH));
    thresholds->showBand5 = false;
    scene->addChild(thresholds);
    auto* cursors = CursorsLayer::createWithModel(model.get());
    ASSERT_NE(cursors, nullptr);
    cursors->setPosition(kX, kY);
    cursors->setContentSize(engine::Size(kW, kH));
    scene->addChild(cursors, -1);  // below the threshold handles, as in the scene
    step(1);
    // The low handle straddles the bottom edge; touch its part inside the layer.
    const engine::Rect box = thresholds->getLowHandle()->getBoundingBox();
    const engine::Vec2 handle(box.getMidX(), box.getMaxY() - 4);
    touchBegan(2, kX + handle.x, kY + handle.y);
    ASSERT_TRUE(model->runtime.touchActive);
    thresholds->removeFromParent();
    EXPECT_FALSE(model->runtime.touchActive);
    touchEnded(2, kX + handle.x, kY + handle.y);
    down(100, 100);
    EXPECT_NE(cursors->getHeldTouch(), nullptr);
    up(100, 100);
}

TEST_F(CursorsLayerTest, DamagedStoredCursorsAreDrawnSafely) {
    model->cursors.selectedCursor = 9;  // reads as cursor 1
    x()[1] = std::numeric_limits<float>::quiet_NaN();
    const engine::Image image = renderFrame();
    EXPECT_FLOAT_EQ(x()[1], 200.f);
    EXPECT_EQ(litRows(image, 200), static_cast<int>(kH));  // cursor 1 solid
    EXPECT_LT(litRows(image, 100), kH * 0.8);
    drag(200, 50, 210, 50);
    EXPECT_FLOAT_EQ(x()[1], 210.f);
    EXPECT_EQ(model->cursors.selectedCursor, 1);
}

TEST(CursorsGrabRadiusTest, InchesInDesignUnits) {
    EXPECT_NEAR(CursorsLayer::grabRadiusFor(96, 960, 960), 11.808f, 1e-4);
    // A window twice the design size: half as many design units.
    EXPECT_NEAR(CursorsLayer::grabRadiusFor(96, 960, 1920), 5.904f, 1e-4);
    EXPECT_NEAR(CursorsLayer::grabRadiusFor(200, 960, 0), 24.6f, 1e-4);
}

}  // namespace
