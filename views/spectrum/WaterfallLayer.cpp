#include "views/spectrum/WaterfallLayer.h"

#include <algorithm>
#include <new>

#include "engine/2d/Sprite.h"
#include "engine/renderer/Texture2D.h"
#include "model/SpectrumSettings.h"
#include "model/TraceProcessing.h"
#include "views/spectrum/Palette.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/WaterfallPixels.h"

using engine::Sprite;
using engine::Texture2D;
using engine::Vec2;

namespace {

constexpr float kRows = static_cast<float>(WaterfallPixels::kMaxRows);

engine::Color3B tintFor(const Palette& palette, float value, float low, float high) {
    const PaletteColor& c = palette.at(WaterfallPixels::paletteIndex(value, low, high));
    return engine::Color3B(c.r, c.g, c.b);
}

}  // namespace

WaterfallLayer* WaterfallLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

WaterfallLayer* WaterfallLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) WaterfallLayer();
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

WaterfallLayer::~WaterfallLayer() {
    unscheduleUpdate();
    if (waterfallSprite_) {
        waterfallSprite_->removeFromParentAndCleanup(true);
        waterfallSprite_->release();
    }
    if (waterfallTexture_)
        waterfallTexture_->release();
    for (Sprite* marker : peakMarkers_)
        marker->release();
}

int WaterfallLayer::timeScaleFactor(int index) {
    switch (index) {
        case 1:
            return 2;
        case 2:
            return 5;
        default:
            return 1;
    }
}

bool WaterfallLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    showBand24 = true;
    showBand5 = true;
    waterfallTexture_ = new (std::nothrow) Texture2D();
    const int size = WaterfallPixels::kTextureSize;
    if (waterfallTexture_ && waterfallTexture_->initWithData(picture_.data(), picture_.size(),
                                                             Texture2D::PixelFormat::RGBA8888, size,
                                                             size, engine::Size(size, size))) {
        // Each sweep is one row of texels: no smoothing between sweeps or points.
        waterfallTexture_->setAliasTexParameters();
        waterfallTexture_->setMaxS(0);
        waterfallTexture_->setMaxT(0);
        waterfallSprite_ = Sprite::createWithTexture(waterfallTexture_);
    }
    if (waterfallSprite_) {
        waterfallSprite_->retain();
        waterfallSprite_->setPosition(_contentSize.width * 0.5f, _contentSize.height * 0.5f);
        addChild(waterfallSprite_);
    }
    lastDelta_ = 0;
    scheduleUpdate();
    return true;
}

void WaterfallLayer::placeSprite(int timeScale) {
    if (!waterfallSprite_)
        return;
    const float s = waterfallTexture_->getMaxS();
    const float t = waterfallTexture_->getMaxT();
    if (s <= 0.f || t <= 0.f) {
        // Empty history: the placement would divide by zero; nothing to show.
        waterfallSprite_->setVisible(false);
        return;
    }
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const float ph = static_cast<float>(waterfallTexture_->getPixelsHigh());
    const engine::Size size = waterfallSprite_->getContentSize();
    waterfallSprite_->setVisible(true);
    waterfallSprite_->setAnchorPoint(Vec2(s * 0.5f, 1.f - t));
    waterfallSprite_->setPosition(w * 0.5f, h);
    waterfallSprite_->setScaleX(w / (size.width * s));
    waterfallSprite_->setScaleY(-(h / size.height) * ph / kRows * static_cast<float>(timeScale));
}

void WaterfallLayer::update(float dt) {
    const int timeScale = timeScaleFactor(model_->spectrum_settings.waterfallTimeScaleIndex);
    size_t nextMarker = 0;
    {
        rebuildWaterfall();
        // Placed by the region just uploaded, so a growing picture needs one frame per sweep.
        placeSprite(timeScale);
        if (waterfallSprite_ && model_->cursors.cursorsShown) {
            const Palette palette =
                Palette::forWaterfall(model_->spectrum_settings.heatMapColorMap);
            if (showBand24)
                markCursorPeaks(model_->band24, true, timeScale, palette, nextMarker);
            if (showBand5)
                markCursorPeaks(model_->band5, false, timeScale, palette, nextMarker);
        }
        for (size_t i = nextMarker; i < peakMarkers_.size(); ++i)
            peakMarkers_[i]->setOpacity(0);
    }
    lastDelta_ = dt;
}

void WaterfallLayer::draw(engine::Renderer*, const engine::Mat4&, uint32_t) {
    // The texture is rebuilt in update; drawing only has to wait out a writer.
}

void WaterfallLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                           uint32_t parentFlags) {
    if (!_visible)
        return;
    clip_.begin(renderer, _globalZOrder, engine::Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}

void WaterfallLayer::rebuildWaterfall() {
    if (showBand24)
        rebuildBand(model_->band24, true);
    if (showBand5)
        rebuildBand(model_->band5, false);
}

void WaterfallLayer::rebuildBand(BandSweepBuffers& band, bool band24) {
    if (!waterfallSprite_ || !band.waterfallDirty)
        return;
    band.waterfallDirty = false;
    if (band.sweepCount() == 0) {
        waterfallTexture_->setMaxS(0);
        waterfallTexture_->setMaxT(0);
        return;
    }
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const int shown = band24 ? model_->accessory.shownPoints24 : model_->accessory.shownPoints5;
    if (!picture_.refresh(band, shown, view.waterfallLevelLow, view.waterfallLevelHigh,
                          Palette::forWaterfall(view.heatMapColorMap))) {
        return;
    }
    const WaterfallPixels::Region& region = picture_.region();
    waterfallTexture_->updateWithData(picture_.data(), 0, 0, region.columns, region.rows);
    waterfallTexture_->setMaxS(static_cast<float>(region.columns) / WaterfallPixels::kTextureSize);
    waterfallTexture_->setMaxT(static_cast<float>(region.rows) / WaterfallPixels::kTextureSize);
}

Sprite* WaterfallLayer::markerAt(size_t index) {
    if (index < peakMarkers_.size())
        return peakMarkers_[index];
    Sprite* marker = Sprite::create(RssiLayer::kPeakIcon);
    if (!marker)
        return nullptr;
    marker->setAnchorPoint(Vec2(0.5f, 0.f));
    marker->setScale(0.5f);
    addChild(marker);
    marker->retain();
    peakMarkers_.push_back(marker);
    return marker;
}

void WaterfallLayer::markCursorPeaks(BandSweepBuffers& band, bool band24, int timeScale,
                                     const Palette& palette, size_t& nextMarker) {
    CursorReadouts& readouts = model_->cursorReadouts;
    for (PeakList& list : readouts.peakLists)
        resetPeakList(list);
    const int records = band.sweepCount();
    if (records <= 0)
        return;
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const CursorSettings& cursors = model_->cursors;
    const float low = view.waterfallLevelLow;
    const float high = view.waterfallLevelHigh;
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const float t = static_cast<float>(timeScale);
    const int n = band.pointsPerSweep();
    const int rows = std::min(records, WaterfallPixels::kMaxRows);
    const int points = TraceProcessing::effectivePointCount(band.sweepPointCount, n);
    const int shown = band24 ? model_->accessory.shownPoints24 : model_->accessory.shownPoints5;
    if (!(w > 0.f) || !(h > 0.f) || points <= 0)
        return;

    auto place = [&](const PeakList& peaks, int count, auto position) {
        count = std::clamp(count, 0, static_cast<int>(peaks.size()));
        for (int e = 0; e < count; ++e) {
            const PeakEntry& entry = peaks[static_cast<size_t>(e)];
            if (entry.index < 0)
                continue;
            Sprite* marker = markerAt(nextMarker);
            if (!marker)
                return;
            ++nextMarker;
            marker->setOpacity(255);
            marker->setPosition(position(entry.index));
            marker->setColor(tintFor(palette, entry.value, low, high));
        }
    };

    for (int pass = 0; pass < 4; ++pass) {
        const int c = pass / 2;
        PeakList& peaks = readouts.peakLists[static_cast<size_t>(pass)];
        if (pass % 2 == 0) {
            // Horizontal cursor: one sweep, a ages older than the newest.
            const float y = cursors.horizontalY[c];
            const float age = (-499.f / t / h) * (y - h);
            // Truncated toward zero: a cursor a fraction of a row above the top reads age 0.
            if (!(age > -1.f) || age >= static_cast<float>(records))
                continue;
            const float* record = band.sweep(records - 1 - static_cast<int>(age));
            for (int j = 0; j < points; ++j) {
                if (record[j] >= low)
                    TraceProcessing::offerPeak(peaks, j, record[j]);
            }
            place(peaks, view.waterfallPeakCounts[0], [&](int index) {
                return Vec2((static_cast<float>(index) + 0.5f) * w / static_cast<float>(points), y);
            });
        } else {
            // Vertical cursor: one point over the shown sweeps, newest first.
            const float x = cursors.verticalX[c];
            const float column = static_cast<float>(points) / w * x;
            // Truncation takes a cursor just left of the edge to column 0. The shown-point count
            // comes from the accessory and may exceed the stored row.
            if (!(column > -1.f) || column >= static_cast<float>(std::min(shown, n)))
                continue;
            const int j = static_cast<int>(column);
            for (int age = 0; age < rows; ++age) {
                const float v = band.sweep(records - 1 - age)[j];
                if (v >= low)
                    TraceProcessing::offerPeak(peaks, age, v);
            }
            place(peaks, view.waterfallPeakCounts[1], [&](int age) {
                return Vec2(x, h / (1.f - kRows / t) * static_cast<float>(age) + h);
            });
        }
    }
}
