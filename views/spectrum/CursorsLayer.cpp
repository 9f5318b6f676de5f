#include "views/spectrum/CursorsLayer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "engine/2d/DrawNode.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/platform/Device.h"
#include "engine/platform/GLView.h"
#include "instrument/Instrument.h"
#include "model/CursorSelection.h"
#include "model/SpectrumSettings.h"

using engine::Color4F;
using engine::Touch;
using engine::Vec2;
using KeyCode = engine::EventKeyboard::KeyCode;

namespace {

const Color4F kSpectrumLineColour(192 / 255.f, 192 / 255.f, 192 / 255.f, 1.f);

// The engine names no modifier keys; they arrive as KEY_NONE with the window system's key
// code (SDL's codes for the two Shift keys).
constexpr int kLeftShiftCode = 0x400000E1;
constexpr int kRightShiftCode = 0x400000E5;

Color4F toColour(const uint8_t (&rgb)[3]) {
    return Color4F(rgb[0] / 255.f, rgb[1] / 255.f, rgb[2] / 255.f, 1.f);
}

// Both cursors of a pair move by d; the pair stops at 0 and `limit` with its distance kept.
void moveTracking(float (&pos)[2], int c, float d, float limit) {
    const int o = 1 - c;
    const float k = pos[c] - pos[o];
    pos[c] += d;
    pos[o] += d;
    if (pos[c] > limit) {
        pos[c] = limit;
        pos[o] = limit - k;
    }
    if (pos[o] > limit) {
        pos[o] = limit;
        pos[c] = limit + k;
    }
    if (pos[c] < 0) {
        pos[c] = 0;
        pos[o] = -k;
    }
    if (pos[o] < 0) {
        pos[o] = 0;
        pos[c] = k;
    }
}

// Window pixels per design unit is frame / design; 1 when there is no view to ask.
float designUnitsPerPixel() {
    if (!engine::Director::hasInstance())
        return 1.f;
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    if (!view || !(view->getFrameSize().width > 0))
        return 1.f;
    return view->getDesignResolutionSize().width / view->getFrameSize().width;
}

}  // namespace

CursorsLayer* CursorsLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

CursorsLayer* CursorsLayer::createWithModel(SpectrumSettings* model) {
    if (!model)
        return nullptr;
    auto own = std::make_unique<Instrument>(*model);
    CursorsLayer* layer = createWithInstrument(own.get());
    if (layer)
        layer->ownInstrument_ = std::move(own);
    return layer;
}

CursorsLayer* CursorsLayer::createWithInstrument(Instrument* instrument) {
    if (!instrument)
        return nullptr;
    auto* layer = new (std::nothrow) CursorsLayer();
    if (!layer)
        return nullptr;
    layer->instrument_ = instrument;
    layer->model_ = &instrument->model();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

CursorsLayer::~CursorsLayer() {
    releaseTouch();
}

bool CursorsLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    cursorNode_ = engine::DrawNode::create(2.f);
    if (!cursorNode_)
        return false;
    addChild(cursorNode_);

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](Touch* t, engine::Event* e) { return onTouchBegan(t, e); };
    listener->onTouchMoved = [this](Touch* t, engine::Event* e) { onTouchMoved(t, e); };
    listener->onTouchEnded = [this](Touch* t, engine::Event* e) { onTouchEnded(t, e); };
    listener->onTouchCancelled = [this](Touch* t, engine::Event* e) { onTouchEnded(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);

    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](KeyCode code, engine::Event* e) { onKeyPressed(code, e); };
    keys->onKeyReleased = [this](KeyCode code, engine::Event* e) { onKeyReleased(code, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);
    // Drags and keys change only model fields: the per-frame check turns them into a redraw.
    scheduleUpdate();
    return true;
}

// A rebuilt view takes this layer away in the middle of a drag: the touch it holds is let go
// and nothing stays grabbed.
void CursorsLayer::onExit() {
    releaseTouch();
    shiftHeld_ = false;
    Layer::onExit();
}

void CursorsLayer::releaseTouch() {
    if (touch_) {
        touch_->release();
        touch_ = nullptr;
    }
    grabbingHorizontal = false;
    grabbingVertical = false;
}

bool CursorsLayer::spectrumView() const {
    return model_->common_settings.spectrumMode != CommonSettings::kPowerMode;
}

bool CursorsLayer::waterfallView() const {
    return spectrumView() &&
           model_->spectrum_settings.viewMode == SpectrumViewSettings::kWaterfallView;
}

// The waterfall shows both pairs whatever the switches say.
bool CursorsLayer::verticalShown() const {
    return waterfallView() || model_->cursors.verticalShown != 0;
}

bool CursorsLayer::horizontalShown() const {
    return waterfallView() || model_->cursors.horizontalShown != 0;
}

float CursorsLayer::grabRadiusFor(float dpi, float designWidth, float frameWidth) {
    const float pixels = dpi * kGrabInches;
    if (!(frameWidth > 0) || !(designWidth > 0))
        return pixels;
    return pixels * designWidth / frameWidth;
}

float CursorsLayer::grabRadius() const {
    return static_cast<float>(engine::Device::getDPI()) * kGrabInches * designUnitsPerPixel();
}

Color4F CursorsLayer::lineColour() const {
    if (spectrumView())
        return kSpectrumLineColour;
    switch (model_->power_setting.selectedTrace) {
        case 0:
            return toColour(model_->power_channel.color);
        case 1:
            return toColour(model_->reference_channel.color);
        default:
            return Color4F(cursorColour.r / 255.f, cursorColour.g / 255.f, cursorColour.b / 255.f,
                           1.f);
    }
}

void CursorsLayer::drawTicks(float x, int cursor, const Color4F& colour) {
    const float half = _contentSize.width / 100.f;
    const CursorReadouts& readouts = model_->cursorReadouts;
    auto tick = [&](float y, const Color4F& c) {
        if (std::isfinite(y))
            cursorNode_->drawLine(Vec2(x - half, y), Vec2(x + half, y), c);
    };
    if (!spectrumView()) {
        tick(readouts.screenY[0][cursor], colour);
        return;
    }
    if (waterfallView())
        return;
    const SpectrumViewSettings& view = model_->spectrum_settings;
    for (uint8_t kind : view.traceModes) {
        if (kind >= SpectrumSettings::kTraceRaw && kind <= SpectrumSettings::kTraceMinHold)
            tick(readouts.screenY[kind - 1][cursor], toColour(view.traceColors[kind - 1]));
    }
}

void CursorsLayer::update(float) {
    drawCursors();
}

void CursorsLayer::draw(engine::Renderer*, const engine::Mat4&, uint32_t) {
    drawCursors();
}

// The bytes of every input of the picture; comparing them field by field would miss one sooner
// or later.
std::vector<uint8_t> CursorsLayer::drawInputs() const {
    std::vector<uint8_t> bytes;
    auto add = [&bytes](const auto& value) {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        bytes.insert(bytes.end(), p, p + sizeof value);
    };
    const SpectrumViewSettings& view = model_->spectrum_settings;
    add(model_->cursors);
    add(model_->cursorReadouts.screenY);
    add(view.traceModes);
    add(view.traceColors);
    add(view.viewMode);
    add(model_->common_settings.spectrumMode);
    add(model_->power_setting.selectedTrace);
    add(model_->power_channel.color);
    add(model_->reference_channel.color);
    add(cursorColour);
    add(_contentSize);
    return bytes;
}

// A damaged stored position goes back to its default like any other change of the cursors;
// the check on a copy keeps the settings lock out of every frame.
void CursorsLayer::repairPositions() {
    CursorSettings probe = model_->cursors;
    if (!resetNonFinitePositions(probe))
        return;
    instrument_->edit(SettingChange::kCursors,
                      [](SpectrumSettings& s) { return resetNonFinitePositions(s.cursors); });
}

void CursorsLayer::drawCursors() {
    const CursorSettings& cursors = model_->cursors;
    repairPositions();
    // The readouts' screen positions are written with the traces.
    std::vector<uint8_t> inputs = drawInputs();
    if (inputs == drawnInputs_)
        return;
    drawnInputs_ = std::move(inputs);
    cursorNode_->clear();
    cursorNode_->setVisible(cursors.cursorsShown != 0);
    if (cursors.cursorsShown) {
        const float w = _contentSize.width;
        const float h = _contentSize.height;
        const int c = selectedCursorIndex(cursors);
        const Color4F colour = lineColour();
        if (verticalShown()) {
            const float x1 = cursors.verticalX[c];
            const float x0 = cursors.verticalX[1 - c];
            cursorNode_->drawLine(Vec2(x1, 0), Vec2(x1, h), colour);
            drawTicks(x1, c, colour);
            const float step = h / kVerticalDashes;
            for (int i = 0; i < kVerticalDashes; ++i)
                cursorNode_->drawLine(Vec2(x0, i * step), Vec2(x0, (i + 0.66f) * step), colour);
            drawTicks(x0, 1 - c, colour);
        }
        if (horizontalShown()) {
            const float y1 = cursors.horizontalY[c];
            const float y0 = cursors.horizontalY[1 - c];
            cursorNode_->drawLine(Vec2(0, y1), Vec2(w, y1), colour);
            const float step = w / kHorizontalDashes;
            for (int i = 0; i < kHorizontalDashes; ++i)
                cursorNode_->drawLine(Vec2(i * step, y0), Vec2((i + 0.66f) * step, y0), colour);
        }
    }
    drawn_ = cursors;
}

void CursorsLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                         uint32_t parentFlags) {
    if (!_visible)
        return;
    clip_.begin(renderer, _globalZOrder, engine::Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}

bool CursorsLayer::hitsCursor(const Vec2& p) const {
    const CursorSettings& cursors = model_->cursors;
    if (!cursors.cursorsShown)
        return false;
    const float r = grabRadius();
    if (p.x < -r || p.y < -r || p.x > _contentSize.width + r || p.y > _contentSize.height + r)
        return false;
    if (verticalShown()) {
        for (float x : cursors.verticalX) {
            if (std::fabs(p.x - x) <= r)
                return true;
        }
    }
    if (horizontalShown()) {
        for (float y : cursors.horizontalY) {
            if (std::fabs(p.y - y) <= r)
                return true;
        }
    }
    return false;
}

bool CursorsLayer::onTouchBegan(Touch* touch, engine::Event*) {
    // One drag at a time; another layer's gesture (touchActive) has the touch.
    if (touch_ || getNumberOfRunningActions() > 0 || model_->runtime.touchActive)
        return false;
    CursorSettings& cursors = model_->cursors;
    if (!cursors.cursorsShown)
        return false;
    repairPositions();
    const Vec2 at = convertTouchToNodeSpace(touch);
    const float r = grabRadius();
    if (at.x < -r || at.y < -r || at.x > _contentSize.width + r || at.y > _contentSize.height + r)
        return false;
    const int c = selectedCursorIndex(cursors);
    // Nearest of the pair within reach; a tie goes to the selected cursor.
    auto choose = [&](float p, const float(&pos)[2], bool& grabbed) {
        const float d1 = std::fabs(p - pos[c]);
        const float d2 = std::fabs(p - pos[1 - c]);
        grabbed = d1 <= r || d2 <= r;
        return d1 <= d2 ? c : 1 - c;
    };
    grabbingVertical = false;
    grabbingHorizontal = false;
    int verticalChoice = c;
    int horizontalChoice = c;
    if (verticalShown())
        verticalChoice = choose(at.x, cursors.verticalX, grabbingVertical);
    if (horizontalShown())
        horizontalChoice = choose(at.y, cursors.horizontalY, grabbingHorizontal);
    if (!grabbingVertical && !grabbingHorizontal)
        return false;
    auto select = [this, &cursors](int choice) {
        instrument_->set(SettingChange::kCursors, cursors.selectedCursor,
                         static_cast<uint8_t>(choice));
    };
    if (grabbingVertical && !grabbingHorizontal) {
        select(verticalChoice);
    } else if (grabbingHorizontal && !grabbingVertical) {
        select(horizontalChoice);
    } else if (verticalChoice == horizontalChoice) {
        select(verticalChoice);
    } else if (verticalChoice == c) {
        grabbingHorizontal = false;  // the selection stays; only its vertical cursor moves
    } else {
        grabbingVertical = false;
    }
    touch->retain();
    touch_ = touch;
    return true;
}

void CursorsLayer::moveVertical(float dx) {
    const float w = _contentSize.width;
    instrument_->edit(SettingChange::kCursors, [dx, w](SpectrumSettings& s) {
        CursorSettings& cursors = s.cursors;
        const float before[2] = {cursors.verticalX[0], cursors.verticalX[1]};
        const int c = selectedCursorIndex(cursors);
        if (cursors.tracking)
            moveTracking(cursors.verticalX, c, dx, w);
        else
            cursors.verticalX[c] = std::clamp(cursors.verticalX[c] + dx, 0.f, w);
        return before[0] != cursors.verticalX[0] || before[1] != cursors.verticalX[1];
    });
}

void CursorsLayer::moveHorizontal(float dy) {
    const float h = _contentSize.height;
    instrument_->edit(SettingChange::kCursors, [dy, h](SpectrumSettings& s) {
        CursorSettings& cursors = s.cursors;
        const float before[2] = {cursors.horizontalY[0], cursors.horizontalY[1]};
        const int c = selectedCursorIndex(cursors);
        if (cursors.tracking)
            moveTracking(cursors.horizontalY, c, dy, h);
        else
            cursors.horizontalY[c] = std::clamp(cursors.horizontalY[c] + dy, 0.f, h);
        return before[0] != cursors.horizontalY[0] || before[1] != cursors.horizontalY[1];
    });
}

void CursorsLayer::onTouchMoved(Touch* touch, engine::Event*) {
    if (touch != touch_ || model_->runtime.touchActive)
        return;
    const Vec2 d =
        convertToNodeSpace(touch->getLocation()) - convertToNodeSpace(touch->getPreviousLocation());
    if (grabbingVertical)
        moveVertical(d.x);
    if (grabbingHorizontal)
        moveHorizontal(d.y);
}

void CursorsLayer::onTouchEnded(Touch* touch, engine::Event*) {
    if (touch == touch_)
        releaseTouch();
}

void CursorsLayer::onKeyPressed(KeyCode code, engine::Event* event) {
    if (code == KeyCode::KEY_NONE) {
        const int raw = static_cast<engine::EventKeyboard*>(event)->getRawCode();
        if (raw == kLeftShiftCode || raw == kRightShiftCode)
            shiftHeld_ = true;
        return;
    }
    if (!model_->cursors.cursorsShown || model_->runtime.touchActive || touch_)
        return;
    const bool shift = shiftHeld_ || static_cast<engine::EventKeyboard*>(event)->isShift();
    const float step = (shift ? 10.f : 1.f) * designUnitsPerPixel();
    // A key that moves a cursor is used up: the bar's ring must not move with it.
    switch (code) {
        case KeyCode::KEY_LEFT_ARROW:
        case KeyCode::KEY_RIGHT_ARROW:
            if (!verticalShown())
                break;
            moveVertical(code == KeyCode::KEY_LEFT_ARROW ? -step : step);
            event->stopPropagation();
            break;
        case KeyCode::KEY_UP_ARROW:
        case KeyCode::KEY_DOWN_ARROW:
            if (horizontalShown())
                event->stopPropagation();
            if (horizontalShown())
                moveHorizontal(code == KeyCode::KEY_DOWN_ARROW ? -step : step);
            break;
        default:
            break;
    }
}

void CursorsLayer::onKeyReleased(KeyCode code, engine::Event* event) {
    if (code != KeyCode::KEY_NONE)
        return;
    const int raw = static_cast<engine::EventKeyboard*>(event)->getRawCode();
    if (raw == kLeftShiftCode || raw == kRightShiftCode)
        shiftHeld_ = false;
}
