#include "views/spectrum/RssiLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "acquisition/SpectrumCursorReadouts.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Sprite.h"
#include "engine/platform/FileUtils.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/GLProgramState.h"
#include "engine/renderer/Texture2D.h"
#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"
#include "views/spectrum/HeatMapPixels.h"

using engine::Color3B;
using engine::Color4F;
using engine::Sprite;
using engine::Texture2D;
using engine::Vec2;

namespace {

// Drawing order of the trace kinds, with their mask bit and the index of their trace and peak
// list in the band buffers.
struct KindSlot {
    int kind;  // SpectrumSettings::TraceKind
    uint8_t bit;
    int trace;  // BandSweepBuffers::Trace
    int peaks;  // peak list order raw, decay, average, maximum, minimum
};
constexpr KindSlot kDrawOrder[] = {
    {1, TraceProcessing::kRawBit, BandSweepBuffers::kRawTrace, 0},
    {2, TraceProcessing::kDecayBit, BandSweepBuffers::kDecayTrace, 1},
    {4, TraceProcessing::kMaxBit, BandSweepBuffers::kMaxTrace, 3},
    {5, TraceProcessing::kMinBit, BandSweepBuffers::kMinTrace, 4},
    {3, TraceProcessing::kAverageBit, BandSweepBuffers::kAverageTrace, 2},
};

constexpr float kDotSize = 2.f;

Texture2D* makeTexture(const std::vector<uint8_t>& pixels, bool linear) {
    auto* texture = new (std::nothrow) Texture2D();
    if (!texture)
        return nullptr;
    if (!texture->initWithData(
            pixels.data(), pixels.size(), Texture2D::PixelFormat::RGBA8888,
            HeatMapPixels::kTextureWidth, HeatMapPixels::kTextureHeight,
            engine::Size(HeatMapPixels::kTextureWidth, HeatMapPixels::kTextureHeight))) {
        texture->release();
        return nullptr;
    }
    if (linear)
        texture->setAntiAliasTexParameters();
    else
        texture->setAliasTexParameters();
    // Nothing is shown until a grid arrives.
    texture->setMaxS(0);
    texture->setMaxT(0);
    return texture;
}

}  // namespace

RssiLayer* RssiLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

RssiLayer* RssiLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) RssiLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

RssiLayer::~RssiLayer() {
    unscheduleUpdate();
    for (Sprite* marker : peakMarkers_)
        marker->release();
    for (engine::Ref* ref :
         std::initializer_list<engine::Ref*>{traceNode_, heatMapSpriteSmooth_, heatMapSpriteCrisp_,
                                             heatMapTextureSmooth_, heatMapTextureCrisp_}) {
        if (ref)
            ref->release();
    }
}

engine::GLProgram* RssiLayer::waterfallProgram() {
    auto* cache = engine::GLProgramCache::getInstance();
    if (engine::GLProgram* program = cache->getGLProgram(kWaterfallProgram))
        return program;
    auto* files = engine::FileUtils::getInstance();
    const std::string vertexPath = files->fullPathForFilename("shaders/WaterfallShader.vsh");
    const std::string fragmentPath = files->fullPathForFilename("shaders/WaterfallShader.fsh");
    if (vertexPath.empty() || fragmentPath.empty())
        return nullptr;
    const std::string vertex = files->getStringFromFile(vertexPath);
    const std::string fragment = files->getStringFromFile(fragmentPath);
    auto* program = new (std::nothrow) engine::GLProgram();
    if (!program)
        return nullptr;
    if (!program->initWithByteArrays(vertex.c_str(), fragment.c_str()) || !program->link()) {
        program->release();
        return nullptr;
    }
    program->updateUniforms();
    cache->addGLProgram(program, kWaterfallProgram);
    program->release();
    return program;
}

bool RssiLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    showBand24 = true;
    showBand5 = true;
    heatMapBufferBytes_ = HeatMapPixels::kBufferBytes;
    heatMapPixelsSmooth_.assign(heatMapBufferBytes_, 0);
    heatMapPixelsCrisp_.assign(heatMapBufferBytes_, 0);
    heatMapSums_.assign(size_t{HeatMapPixels::kTextureWidth} * HeatMapPixels::kTextureHeight, 0);

    const Vec2 centre(_contentSize.width * 0.5f, _contentSize.height * 0.5f);
    heatMapTextureSmooth_ = makeTexture(heatMapPixelsSmooth_, true);
    if (heatMapTextureSmooth_) {
        heatMapSpriteSmooth_ = Sprite::createWithTexture(heatMapTextureSmooth_);
        if (heatMapSpriteSmooth_) {
            heatMapSpriteSmooth_->retain();
            heatMapSpriteSmooth_->setPosition(centre);
            addChild(heatMapSpriteSmooth_, -1);
        }
    }
    heatMapTextureCrisp_ = makeTexture(heatMapPixelsCrisp_, false);
    if (heatMapTextureCrisp_) {
        heatMapSpriteCrisp_ = Sprite::createWithTexture(heatMapTextureCrisp_);
        if (heatMapSpriteCrisp_) {
            heatMapSpriteCrisp_->retain();
            heatMapSpriteCrisp_->setPosition(centre);
            if (engine::GLProgram* program = waterfallProgram()) {
                if (auto* state = engine::GLProgramState::create(program)) {
                    state->setUniformVec2("textureSize", Vec2(HeatMapPixels::kTextureWidth,
                                                              HeatMapPixels::kTextureHeight));
                    heatMapSpriteCrisp_->setGLProgramState(state);
                }
            }
            // Without the program the crisp picture falls back to the ordinary sprite shader.
            addChild(heatMapSpriteCrisp_, -1);
        }
    }

    traceNode_ = engine::DrawNode::create(2.f);
    if (!traceNode_)
        return false;
    traceNode_->retain();
    addChild(traceNode_);
    lastDelta_ = 0;
    scheduleUpdate();
    return true;
}

void RssiLayer::update(float dt) {
    {
        uploadHeatMaps();
        // Geometry is built here rather than while drawing, so the picture is stale exactly when
        // the traces, markers or heat map changed, and frames with no new sweep are skipped.
        drawTraces();
    }
    // After the upload, so a grid of a new size is shown in the frame that brings it.
    placeHeatMapSprites();
    lastDelta_ = dt;
}

void RssiLayer::draw(engine::Renderer*, const engine::Mat4&, uint32_t) {
    // The traces are child geometry, built in update().
}

void RssiLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                      uint32_t parentFlags) {
    if (!_visible)
        return;
    const engine::Rect rect(_position, _contentSize);
    clip_.begin(renderer, _globalZOrder, rect);
    uint32_t flags = parentFlags;
    if (_contentSizeDirty) {
        flags |= FLAGS_CONTENT_SIZE_DIRTY;
        _contentSizeDirty = false;
    }
    const engine::Mat4 transform = parentTransform * getNodeToParentTransform();
    sortAllChildren();
    // The heat-map sprites (behind, negative Z) span the whole plot, but above the highest
    // level with hits both pictures are transparent: a narrower scissor spares the software
    // rasteriser those fragments without changing a pixel.
    heatMapClip_.begin(
        renderer, _globalZOrder,
        engine::Rect(rect.origin.x, rect.origin.y, rect.size.width, heatMapContentHeight()));
    size_t i = 0;
    for (; i < _children.size() && _children[i]->getLocalZOrder() < 0; ++i)
        _children[i]->visit(renderer, transform, flags);
    plotClip_.begin(renderer, _globalZOrder, rect);
    draw(renderer, transform, flags);
    for (; i < _children.size(); ++i)
        _children[i]->visit(renderer, transform, flags);
    clip_.end(renderer, _globalZOrder);
}

float RssiLayer::heatMapContentHeight() const {
    const float h = _contentSize.height;
    if (heatMapTopRow_ < 0 || heatMapRows_ < 2)
        return h;
    // Row j's centre lies at j / (rows - 1) of the height; a pixel above the centre of the row
    // over the highest one with hits samples only empty rows, in either picture. Two pixels
    // more allow for rounding.
    const float above =
        static_cast<float>(heatMapTopRow_ + 1) / static_cast<float>(heatMapRows_ - 1);
    return std::min(h, std::ceil(h * above) + 2.f);
}

void RssiLayer::uploadHeatMaps() {
    if (showBand24)
        updateHeatMap(model_->band24);
    if (showBand5)
        updateHeatMap(model_->band5);
}

void RssiLayer::updateHeatMap(BandSweepBuffers& band) {
    HeatMap& grid = band.heatMap;
    if (!heatMapSpriteSmooth_ || !heatMapSpriteCrisp_ || !grid.dirty)
        return;
    const auto result = HeatMapPixels::build(
        grid, model_->spectrum_settings.heatMapColorMapTrace, heatMapPixelsSmooth_.data(),
        heatMapPixelsCrisp_.data(), heatMapBufferBytes_, heatMapSums_);
    if (result == HeatMapPixels::Result::kCleared) {
        for (Texture2D* texture : {heatMapTextureSmooth_, heatMapTextureCrisp_}) {
            const auto& pixels =
                texture == heatMapTextureSmooth_ ? heatMapPixelsSmooth_ : heatMapPixelsCrisp_;
            texture->updateWithData(pixels.data(), 0, 0, HeatMapPixels::kTextureWidth,
                                    HeatMapPixels::kTextureHeight);
            texture->setMaxS(0);
            texture->setMaxT(0);
        }
        heatMapTopRow_ = -1;
        shownColumns_ = shownRows_ = 0;
    } else if (result == HeatMapPixels::Result::kBuilt) {
        heatMapRows_ = grid.rows;
        heatMapTopRow_ = HeatMapPixels::highestRowWithHits(grid);
        // Only the rows this sweep changed go up: the upload costs less, and so does the frame,
        // which redraws only where the changed texels show.
        const bool sameSize = grid.columns == shownColumns_ && grid.rows == shownRows_;
        uploadChangedRows(heatMapTextureSmooth_, heatMapPixelsSmooth_, shownSmooth_, grid,
                          sameSize);
        uploadChangedRows(heatMapTextureCrisp_, heatMapPixelsCrisp_, shownCrisp_, grid, sameSize);
        shownColumns_ = grid.columns;
        shownRows_ = grid.rows;
        for (Texture2D* texture : {heatMapTextureSmooth_, heatMapTextureCrisp_}) {
            texture->setMaxS(static_cast<float>(grid.columns) / HeatMapPixels::kTextureWidth);
            texture->setMaxT(static_cast<float>(grid.rows) / HeatMapPixels::kTextureHeight);
        }
    }
    grid.dirty = false;
}

void RssiLayer::uploadChangedRows(Texture2D* texture, const std::vector<uint8_t>& pixels,
                                  std::vector<uint8_t>& shown, const HeatMap& grid, bool sameSize) {
    const size_t rowBytes = static_cast<size_t>(grid.columns) * 4;
    const size_t bytes = rowBytes * static_cast<size_t>(grid.rows);
    if (!sameSize || shown.size() != bytes) {
        texture->updateWithData(pixels.data(), 0, 0, grid.columns, grid.rows);
        shown.assign(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(bytes));
        return;
    }
    // Column by column block, the rows that changed there: a sweep moves the levels of a quiet
    // stretch of the band by a few rows, and the frame redraws only where changed texels show.
    const int chunk = std::max(1, (grid.columns + kUploadChunks - 1) / kUploadChunks);
    for (int c0 = 0; c0 < grid.columns; c0 += chunk) {
        const int width = std::min(chunk, grid.columns - c0);
        const size_t offset = static_cast<size_t>(c0) * 4;
        const size_t span = static_cast<size_t>(width) * 4;
        auto same = [&](int row) {
            const size_t at = static_cast<size_t>(row) * rowBytes + offset;
            return std::memcmp(&pixels[at], &shown[at], span) == 0;
        };
        int first = 0;
        int last = grid.rows - 1;
        while (first <= last && same(first))
            ++first;
        while (last >= first && same(last))
            --last;
        if (first > last)
            continue;
        const size_t at = static_cast<size_t>(first) * rowBytes + offset;
        texture->updateWithData(pixels.data() + at, c0, first, width, last - first + 1,
                                grid.columns);
    }
    shown.assign(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(bytes));
}

void RssiLayer::placeHeatMapSprites() {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    for (Sprite* sprite : {heatMapSpriteSmooth_, heatMapSpriteCrisp_}) {
        if (!sprite)
            continue;
        Texture2D* texture = sprite->getTexture();
        const float pw = static_cast<float>(texture->getPixelsWide());
        const float ph = static_cast<float>(texture->getPixelsHigh());
        const float s = texture->getMaxS();
        const float t = texture->getMaxT();
        // A one-column or one-row grid has no span to stretch over: nothing to show.
        const float spanS = s - 1.f / pw;
        const float spanT = t - 1.f / ph;
        const bool shown = s != 0.f && t != 0.f && spanS > 0.f && spanT > 0.f;
        if (!shown) {
            sprite->setOpacity(0);
            continue;
        }
        const engine::Size size = sprite->getContentSize();
        sprite->setAnchorPoint(Vec2(s * 0.5f, 1.f - 0.5f / ph));
        sprite->setPosition(w * 0.5f, 0.f);
        sprite->setScaleX(w / (spanS * size.width));
        sprite->setScaleY(-(h / (spanT * size.height)));
        sprite->setBlendFunc(engine::BlendFunc::ALPHA_NON_PREMULTIPLIED);
        if (sprite == heatMapSpriteSmooth_) {
            sprite->setOpacity(255);
        } else {
            // The second generation's grid is too coarse for the texel-exact picture.
            sprite->setOpacity(model_->accessory.generation == 2 ? 0 : 255);
        }
    }
    const bool wanted = (traceMask_ & TraceProcessing::kHeatMapBit) != 0;
    for (Sprite* sprite : {heatMapSpriteSmooth_, heatMapSpriteCrisp_}) {
        if (!sprite)
            continue;
        if (wanted && !sprite->getParent())
            addChild(sprite, -1);
        else if (!wanted && sprite->getParent())
            sprite->removeFromParentAndCleanup(true);
    }
}

bool RssiLayer::updateTraceMask() {
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const bool dots = model_->common_settings.traceDots != 0;
    if (!traceModesDirty_ && std::equal(view.traceModes, view.traceModes + 3, cachedTraceModes_) &&
        dots == cachedDotsMode_) {
        return false;
    }
    traceMask_ = static_cast<uint8_t>((traceMask_ & ~TraceProcessing::kKindBits) |
                                      TraceProcessing::maskForModes(view.traceModes));
    traceModesDirty_ = false;
    std::copy(view.traceModes, view.traceModes + 3, cachedTraceModes_);
    cachedDotsMode_ = dots;
    return true;
}

void RssiLayer::drawTraces() {
    const bool maskChanged = updateTraceMask();
    if (showBand24)
        drawBand(model_->band24, true, maskChanged);
    if (showBand5)
        drawBand(model_->band5, false, maskChanged);
}

void RssiLayer::drawBand(BandSweepBuffers& band, bool band24, bool maskChanged) {
    const AccessoryDescription& accessory = model_->accessory;
    const float bottom = band24 ? accessory.levelMin24 : accessory.levelMin5;
    const float top = band24 ? accessory.levelMax24 : accessory.levelMax5;
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const float scaleY = h / (top - bottom);
    const float offsetY = -bottom * scaleY;
    const int p = std::min(band.processedPointCount, band.pointsPerSweep());

    if (band.tracesReady || maskChanged) {
        traceNode_->clear();
        size_t nextMarker = 0;
        if (p > 1) {
            const SpectrumViewSettings& view = model_->spectrum_settings;
            const bool dots = model_->common_settings.traceDots != 0;
            const float dx = w / static_cast<float>(p - 1);
            std::vector<Vec2> points(static_cast<size_t>(p));
            for (const KindSlot& slot : kDrawOrder) {
                if (!(traceMask_ & slot.bit))
                    continue;
                const uint8_t* rgb = view.traceColors[slot.kind - 1];
                const Color4F colour(rgb[0] / 255.f, rgb[1] / 255.f, rgb[2] / 255.f, 1.f);
                const float* trace = band.traces[static_cast<size_t>(slot.trace)].data();
                for (int i = 0; i < p; ++i)
                    points[static_cast<size_t>(i)] =
                        Vec2(static_cast<float>(i) * dx, trace[i] * scaleY + offsetY);
                if (dots)
                    traceNode_->drawPoints(points.data(), static_cast<unsigned>(p), kDotSize,
                                           colour);
                else
                    traceNode_->drawPoly(points.data(), static_cast<unsigned>(p), false, colour);
                nextMarker = static_cast<size_t>(placePeakMarkers(
                    band.peaks(slot.peaks), view.peakCounts[slot.kind - 1],
                    static_cast<int>(nextMarker), dx, scaleY, offsetY,
                    Color3B(rgb[0], rgb[1], rgb[2]), view.peaksOnTop == slot.kind));
            }
        }
        band.tracesReady = false;
        trimMarkers(nextMarker);
    }
    SpectrumCursorReadouts::write(band, model_->cursors, w, scaleY, offsetY,
                                  model_->cursorReadouts);
}

int RssiLayer::placePeakMarkers(const PeakList& peaks, int markerCount, int firstMarker, float dx,
                                float scaleY, float offsetY, const Color3B& colour, bool onTop) {
    const int count = std::clamp(markerCount, 0, static_cast<int>(peaks.size()));
    const float h = _contentSize.height;
    int m = firstMarker;
    for (int e = 0; e < count; ++e) {
        const PeakEntry& entry = peaks[static_cast<size_t>(e)];
        if (entry.index < 0)
            continue;
        Sprite* marker = nullptr;
        if (m < static_cast<int>(peakMarkers_.size())) {
            marker = peakMarkers_[static_cast<size_t>(m)];
        } else {
            marker = Sprite::create(kPeakIcon);
            if (!marker)
                return m;  // no icon: no markers, but the traces still draw
            marker->setAnchorPoint(Vec2(0.5f, 0.f));
            marker->setScale(0.5f);
            addChild(marker);
            marker->retain();
            peakMarkers_.push_back(marker);
        }
        marker->setColor(colour);
        const float x = static_cast<float>(entry.index) * dx;
        const float y = entry.value * scaleY + offsetY;
        if (onTop || y + marker->getBoundingBox().size.height >= h) {
            marker->setAnchorPoint(Vec2(0.5f, 1.f));
            marker->setPosition(x, h);
        } else {
            marker->setAnchorPoint(Vec2(0.5f, 0.f));
            marker->setPosition(x, y);
        }
        ++m;
    }
    return m;
}

void RssiLayer::trimMarkers(size_t keep) {
    while (peakMarkers_.size() > keep) {
        Sprite* marker = peakMarkers_.back();
        peakMarkers_.pop_back();
        marker->removeFromParentAndCleanup(true);
        marker->release();
    }
}
