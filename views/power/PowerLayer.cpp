#include "views/power/PowerLayer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/renderer/BuiltinShaders.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/Renderer.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerTraceExtent.h"
#include "views/power/PowerTraceVertices.h"

using engine::Mat4;
using engine::Vec2;

namespace {

constexpr float kDivisions = 10.0f;

// Seconds per division of a time-base step, or 0 when the step is not a usable one.
float secondsPerDivision(const SpectrumSettings& model, int index) {
    const std::vector<float>& bases = model.accessory.powerTimeBases;
    if (index < 0 || static_cast<size_t>(index) >= bases.size()) {
        return 0.0f;
    }
    const float t = bases[static_cast<size_t>(index)];
    return t > 0.0f && std::isfinite(t) ? t : 0.0f;
}

int clampedStep(const SpectrumSettings& model, int index) {
    const int size = static_cast<int>(model.accessory.powerTimeBases.size());
    return size == 0 ? 0 : std::clamp(index, 0, size - 1);
}

// dBm to layer y: H / (max - min) per dB from the bottom; 0 (nothing drawn) for an empty or
// broken axis.
float levelScale(const SpectrumSettings& model, float height) {
    const float span = model.accessory.powerAxisMax - model.accessory.powerAxisMin;
    const float scale = height / span;
    return std::isfinite(scale) && span > 0.0f ? scale : 0.0f;
}

}  // namespace

// --- Construction ------------------------------------------------------------------------------

PowerLayer* PowerLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

PowerLayer* PowerLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) PowerLayer();
    if (!layer) {
        return nullptr;
    }
    layer->model_ = model;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

PowerLayer::~PowerLayer() {
    unscheduleUpdate();
}

engine::GLProgram* PowerLayer::lineProgram() {
    auto* cache = engine::GLProgramCache::getInstance();
    if (engine::GLProgram* program = cache->getGLProgram(kLineProgram)) {
        return program;
    }
    auto* program = new (std::nothrow) engine::GLProgram();
    if (!program) {
        return nullptr;
    }
    if (!program->initWithByteArrays(engine::ccPosition_uColor_vert,
                                     engine::ccPosition_uColor_frag)) {
        program->release();
        return nullptr;
    }
    program->bindAttribLocation(engine::GLProgram::ATTRIBUTE_NAME_POSITION,
                                engine::GLProgram::VERTEX_ATTRIB_POSITION);
    if (!program->link()) {
        program->release();
        return nullptr;
    }
    program->updateUniforms();
    cache->addGLProgram(program, kLineProgram);
    program->release();
    return program;
}

bool PowerLayer::init() {
    if (!Layer::init() || !model_) {
        return false;
    }
    engine::GLProgram* program = lineProgram();
    if (!program) {
        return false;
    }
    setGLProgram(program);
    scheduleUpdate();
    return true;
}

// --- Per-frame processing ----------------------------------------------------------------------

void PowerLayer::update(float dt) {
    lastDelta_ = dt;
    pictureChanged_ = model_->live.powerDataChanged;
    sinceDrawn_ += dt;
    buildLiveVertices();
    const AccessoryDescription& a = model_->accessory;
    const float step = PowerTraceVertices::fadeStep(dt, model_->power_setting.persistTime,
                                                    a.optionBytes[0] * a.powerInterval);
    fading_ = false;
    std::vector<uint8_t> levels;
    for (int set : {kLiveSet, kReferenceSet}) {
        if (setRolling(set)) {
            continue;
        }
        PowerTraceLists& l = lists(set);
        pictureChanged_ = PowerTraceVertices::fade(l, step) > 0 || pictureChanged_;
        fading_ = fading_ || l.alpha.size() > 1;
        PowerTraceVertices::appendDrawnLevels(l, levels);
    }
    // A fade alone is drawn at the fade rate, not at every frame: persistence needs no more, and
    // each drawn frame of the plot costs a software renderer several milliseconds. Nor is it
    // drawn before some capture's 8-bit brightness has changed (long persistence times).
    pictureChanged_ =
        pictureChanged_ || (fading_ && sinceDrawn_ >= kFadeFrameInterval && levels != drawnLevels_);
    sampleCursors();
    // A menu's change (colour, offset, time base, a shown trace) is drawn without waiting for
    // new samples.
    std::vector<uint8_t> settings = drawSettings();
    if (settings != drawnSettings_) {
        drawnSettings_ = std::move(settings);
        pictureChanged_ = true;
    }
    if (pictureChanged_) {
        drawnLevels_ = std::move(levels);
        measureDrawnBounds();
        sinceDrawn_ = 0.0f;
        markStale();
    }
}

bool PowerLayer::getDrawnBounds(engine::Rect* local) const {
    const engine::Rect clip(0, 0, _contentSize.width, _contentSize.height + 1.0f);
    // Resized since the traces were measured: anywhere in the clip until they are again.
    *local = boundsSize_ == _contentSize ? drawnBounds_ : clip;
    return true;
}

void PowerLayer::measureDrawnBounds() {
    const float width = _contentSize.width;
    const float height = _contentSize.height;
    const float scaleY = levelScale(*model_, height);
    const engine::Rect clip(0, 0, width, height + 1.0f);
    boundsSize_ = _contentSize;
    drawnBounds_ = engine::Rect();
    if (!(width > 0.0f) || scaleY <= 0.0f) {
        return;
    }
    float x0 = clip.getMaxX(), y0 = clip.getMaxY(), x1 = clip.getMinX(), y1 = clip.getMinY();
    for (int set : {kLiveSet, kReferenceSet}) {
        if (!setShown(set)) {
            continue;
        }
        // The points drawSet draws, and where.
        const PowerTraceLists& l = lists(set);
        PowerTraceExtent extent;
        if (setRolling(set)) {
            const int points = rollPoints(set);
            const size_t available = l.processedRollingHistory.size() / 2;
            if (points >= 2 && available >= 2) {
                const size_t count = std::min(available, static_cast<size_t>(points));
                const float spacing = width / static_cast<float>(points - 1);
                extent.addLevels(l.processedRollingHistory, available - count, count);
                extent.addSpan(static_cast<float>(static_cast<size_t>(points) - count) * spacing,
                               width);
            }
        } else {
            for (size_t j = 0; j < l.processedHistory.size(); ++j) {
                const float brightness = j < l.alpha.size() ? l.alpha[j] : 1.0f;
                if (l.processedHistory[j].size() / 2 >= 2 && brightness > 0.0f) {
                    extent.addLevels(l.processedHistory[j], 0, l.processedHistory[j].size() / 2);
                    extent.addSpan(0.0f, width);
                }
            }
        }
        const Placement p = placement(set);
        const TraceChannel& channel =
            set == kLiveSet ? model_->power_channel : model_->reference_channel;
        const float offset = std::isfinite(channel.offset) ? channel.offset : 0.0f;
        // A line spreads half a pixel, a point half its size, and the rasteriser rounds.
        const engine::Rect r =
            extent.placed(p.scale, p.shift, width, scaleY, scaleY * model_->accessory.powerAxisMin,
                          offset, kPointSize, clip);
        if (r.size.width > 0.0f && r.size.height > 0.0f) {
            x0 = std::min(x0, r.getMinX());
            y0 = std::min(y0, r.getMinY());
            x1 = std::max(x1, r.getMaxX());
            y1 = std::max(y1, r.getMaxY());
        }
    }
    if (x0 < x1 && y0 < y1) {
        drawnBounds_ = engine::Rect(x0, y0, x1 - x0, y1 - y0);
    }
}

std::vector<uint8_t> PowerLayer::drawSettings() const {
    std::vector<uint8_t> bytes;
    auto add = [&bytes](const auto& value) {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        bytes.insert(bytes.end(), p, p + sizeof value);
    };
    add(model_->power_channel);
    add(model_->reference_channel);
    add(model_->common_settings);
    add(model_->power_setting);
    add(model_->reference.timeScaleIndex);
    add(model_->reference.isValid);
    add(model_->accessory.powerAxisMin);
    add(model_->accessory.powerAxisMax);
    add(model_->accessory.powerRollPoints);
    // Where a held capture is placed.
    const RuntimeState& run = model_->runtime;
    add(run.captureRescale.load());
    add(run.captureTimeBaseIndex);
    add(run.captureDelay);
    add(run.viewTimeBaseIndex);
    add(run.viewDelay);
    add(_contentSize);
    return bytes;
}

PowerTraceLists& PowerLayer::lists(int set) const {
    return set == kLiveSet ? static_cast<PowerTraceLists&>(model_->live)
                           : static_cast<PowerTraceLists&>(model_->reference);
}

bool PowerLayer::setShown(int set) const {
    if (set == kLiveSet) {
        return model_->power_channel.shown != 0;
    }
    return model_->reference_channel.shown != 0 && model_->reference.isValid;
}

bool PowerLayer::setRolling(int set) const {
    if (set == kLiveSet) {
        return model_->isRolling();
    }
    const AccessoryDescription& a = model_->accessory;
    return !a.powerTimeBases.empty() &&
           clampedStep(*model_, model_->reference.timeScaleIndex) < a.powerRollLimitIndex;
}

int PowerLayer::rollPoints(int set) const {
    if (set == kReferenceSet && model_->reference.maxRollPointsNeeded >= 2) {
        return model_->reference.maxRollPointsNeeded;
    }
    return model_->accessory.powerRollPoints;
}

void PowerLayer::buildLiveVertices() {
    PowerTraceSet& live = model_->live;
    if (!live.powerDataChanged) {
        return;
    }
    const float width = _contentSize.width;
    if (model_->isRolling()) {
        PowerTraceVertices::buildRoll(live.rollingHistory, model_->accessory.powerRollPoints, width,
                                      live.processedRollingHistory);
    } else {
        PowerTraceVertices::convertNewCaptures(live, width);
    }
    live.powerDataChanged = false;
}

PowerLayer::Placement PowerLayer::placement(int set) const {
    const RuntimeState& run = model_->runtime;
    const float width = _contentSize.width;
    Placement p;
    int from = run.captureTimeBaseIndex;
    int to = run.viewTimeBaseIndex;
    bool shifted = run.captureRescale;
    if (set == kReferenceSet) {
        from = model_->reference.timeScaleIndex;
        if (!run.captureRescale) {
            to = clampedStep(*model_, model_->power_setting.powerTimeBaseIndex);
        }
    } else if (!run.captureRescale) {
        return p;
    }
    const float tFrom = secondsPerDivision(*model_, from);
    const float tTo = secondsPerDivision(*model_, to);
    if (tFrom <= 0.0f || tTo <= 0.0f) {
        return p;
    }
    p.scale = tFrom / tTo;
    if (shifted) {
        // A later delay puts the trigger point further right (TriggerPosition), so the held
        // capture moves right by the change, measured on the captured time base.
        const float shift = (run.viewDelay - run.captureDelay) * width / (tFrom * kDivisions);
        p.shift = std::isfinite(shift) ? shift : 0.0f;
    }
    return p;
}

void PowerLayer::sampleCursors() {
    const CursorSettings& cursors = model_->cursors;
    if (!cursors.cursorsShown || !cursors.verticalShown) {
        return;
    }
    // A damaged stored choice selects no trace rather than a guessed one.
    const int set = model_->power_setting.selectedTrace;
    if (set != kLiveSet && set != kReferenceSet) {
        return;
    }
    const PowerTraceLists& l = lists(set);
    const float width = _contentSize.width;
    const float height = _contentSize.height;
    const std::vector<float>* vertices = nullptr;
    size_t count = 0;
    float firstX = 0.0f;
    float spacing = 0.0f;
    if (setRolling(set)) {
        const int points = rollPoints(set);
        vertices = &l.processedRollingHistory;
        count = std::min(vertices->size() / 2, static_cast<size_t>(std::max(points, 0)));
        if (points >= 2) {
            spacing = width / static_cast<float>(points - 1);
            firstX = static_cast<float>(static_cast<size_t>(points) - count) * spacing;
        }
    } else if (!l.processedHistory.empty()) {
        vertices = &l.processedHistory.back();
        count = vertices->size() / 2;
        if (count >= 2) {
            spacing = width / static_cast<float>(count - 1);
        }
    }
    if (vertices == nullptr || count < 2) {
        return;
    }
    // Roll lists hold more than is drawn: sample the newest `count` points.
    std::vector<float> shown(vertices->end() - static_cast<long>(2 * count), vertices->end());
    const Placement p = placement(set);
    const float scaleY = levelScale(*model_, height);
    const float offset =
        set == kLiveSet ? model_->power_channel.offset : model_->reference_channel.offset;
    CursorReadouts& out = model_->cursorReadouts;
    for (int k = 0; k < 2; ++k) {
        // Undo the rescale: x on screen back to x in the list's own drawing.
        const float x = (cursors.verticalX[k] - width / 2.0f) / p.scale + width / 2.0f - p.shift;
        const float u = PowerTraceVertices::pointUnder(x, firstX, spacing, count);
        if (u < 0.0f) {
            out.index[k] = -1;
            out.level[CursorReadouts::kRaw][k] = NAN;
            continue;
        }
        const float value = PowerTraceVertices::valueAt(shown, u);
        out.index[k] = static_cast<int32_t>(u);
        out.level[CursorReadouts::kRaw][k] = value;
        out.screenY[CursorReadouts::kRaw][k] =
            value * scaleY - scaleY * model_->accessory.powerAxisMin + offset;
    }
    out.pointCount = static_cast<int32_t>(count);
}

// --- Drawing -----------------------------------------------------------------------------------

void PowerLayer::draw(engine::Renderer* renderer, const Mat4& transform, uint32_t) {
    for (int set : {kLiveSet, kReferenceSet}) {
        engine::CustomCommand& command = drawCommands_[set];
        command.init(_globalZOrder);
        command.func = [this, set, transform]() { drawSet(set, transform); };
        renderer->addCommand(&command);
    }
}

void PowerLayer::visit(engine::Renderer* renderer, const Mat4& parentTransform,
                       uint32_t parentFlags) {
    if (!_visible) {
        return;
    }
    clip_.begin(
        renderer, _globalZOrder,
        engine::Rect(_position.x, _position.y, _contentSize.width, _contentSize.height + 1.0f));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}

void PowerLayer::drawSet(int set, const Mat4& transform) {
    engine::GLProgram* program = getGLProgram();
    const float width = _contentSize.width;
    const float scaleY = levelScale(*model_, _contentSize.height);
    if (!program || !setShown(set) || !(width > 0.0f) || scaleY <= 0.0f) {
        return;
    }
    const Placement p = placement(set);
    const TraceChannel& channel =
        set == kLiveSet ? model_->power_channel : model_->reference_channel;
    const float offset = std::isfinite(channel.offset) ? channel.offset : 0.0f;
    const Mat4 placed = transform * Mat4::translation(width / 2.0f, offset) *
                        Mat4::scaling(p.scale, 1.0f) *
                        Mat4::translation(p.shift - width / 2.0f, 0.0f);

    engine::GL::blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    program->use();
    program->setUniformsForBuiltins(placed);
    const int colorLocation = program->getUniformLocation("u_color");
    program->setUniformLocationWith1f(program->getUniformLocation("u_pointSize"), kPointSize);
    const GLenum mode = model_->common_settings.traceDots ? GL_POINTS : GL_LINE_STRIP;
    const float r = channel.color[0] / 255.0f;
    const float g = channel.color[1] / 255.0f;
    const float b = channel.color[2] / 255.0f;

    const float base = scaleY * model_->accessory.powerAxisMin;
    const PowerTraceLists& l = lists(set);
    if (setRolling(set)) {
        const int points = rollPoints(set);
        const size_t available = l.processedRollingHistory.size() / 2;
        if (points >= 2 && available >= 2) {
            const size_t count = std::min(available, static_cast<size_t>(points));
            const float spacing = width / static_cast<float>(points - 1);
            const float firstX = static_cast<float>(static_cast<size_t>(points) - count) * spacing;
            PowerCaptureBuffers::mapPoints(l.processedRollingHistory, available - count, count,
                                           firstX, spacing, scaleY, base, points_);
            program->setUniformLocationWith4f(colorLocation, r, g, b, 1.0f);
            engine::GL::drawPositions(mode, points_.data(), static_cast<int>(count));
        }
    } else {
        // Each capture's positions were uploaded once; a fading step sets only its colour.
        PowerCaptureBuffers& buffers = captureBuffers_[set];
        buffers.sync(l.processedHistory, PowerCaptureBuffers::Mapping{width, scaleY, base});
        for (size_t j = 0; j < l.processedHistory.size(); ++j) {
            const float brightness = j < l.alpha.size() ? l.alpha[j] : 1.0f;
            if (l.processedHistory[j].size() / 2 < 2 || !(brightness > 0.0f)) {
                continue;
            }
            // At full brightness a blend leaves the colour itself: the same pixels, cheaper.
            engine::GL::blendFunc(brightness >= 1.0f ? GL_ONE : GL_SRC_ALPHA,
                                  brightness >= 1.0f ? GL_ZERO : GL_ONE_MINUS_SRC_ALPHA);
            program->setUniformLocationWith4f(colorLocation, r, g, b, std::min(brightness, 1.0f));
            buffers.draw(j, mode);
        }
    }
    engine::GL::blendFunc(GL_ONE, GL_ZERO);
}
