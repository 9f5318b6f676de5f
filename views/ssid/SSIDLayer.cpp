#include "views/ssid/SSIDLayer.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "model/AccessPointHighlight.h"
#include "model/AccessPointTexts.h"
#include "model/SpectrumSettings.h"
#include "views/ssid/LevelGlide.h"
#include "views/ssid/SSIDOutlineGeometry.h"

using engine::Color4B;
using engine::Color4F;
using engine::Vec2;

SSIDLayer* SSIDLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

SSIDLayer* SSIDLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) SSIDLayer();
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

SSIDLayer::~SSIDLayer() {
    unscheduleUpdate();
    for (engine::DrawNode* node : nodes_) {
        node->release();
    }
    for (engine::Label* label : labels_) {
        label->release();
    }
}

bool SSIDLayer::init() {
    if (!Layer::init() || !model_) {
        return false;
    }
    showBand24 = true;
    showBand5 = true;
    auto* listener = engine::EventListenerTouchOneByOne::create();
    // Only a touch on an outline is claimed; any other reaches the layers below.
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* t, engine::Event* e) {
        return onTouchBegan(t, e);
    };
    listener->onTouchEnded = [this](engine::Touch* t, engine::Event* e) { onTouchEnded(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    scheduleUpdate();
    return true;
}

bool SSIDLayer::accessPointAt(const Vec2& at, uint8_t (&bssid)[6]) const {
    constexpr float kSlack = 4.0f;
    const Shape* best = nullptr;
    float bestWidth = 0.0f;
    for (size_t i = 0; i < shapes_.size(); ++i) {
        const Shape& shape = shapes_[i];
        bool hit = SSIDOutlineGeometry::contains(shape.ellipse, shape.centre, shape.bottom,
                                                 shape.top, shape.height, at.x, at.y, kSlack);
        if (!hit) {
            for (const engine::Label* label : labels_) {
                if (label->getString() == shape.name && !shape.name.empty() &&
                    label->getBoundingBox().containsPoint(at) &&
                    std::abs(label->getPositionX() - shape.centre) < 0.5f) {
                    hit = true;
                    break;
                }
            }
        }
        if (hit && (!best || shape.bottom < bestWidth)) {
            best = &shape;
            bestWidth = shape.bottom;
        }
    }
    if (!best)
        return false;
    std::copy(best->bssid.begin(), best->bssid.end(), bssid);
    return true;
}

bool SSIDLayer::onTouchBegan(engine::Touch* touch, engine::Event*) {
    uint8_t bssid[6] = {};
    if (!_visible || !accessPointAt(convertTouchToNodeSpace(touch), bssid))
        return false;
    std::copy(bssid, bssid + 6, touched_.begin());
    return true;
}

void SSIDLayer::onTouchEnded(engine::Touch* touch, engine::Event*) {
    // A drag that ends elsewhere picks nothing.
    uint8_t bssid[6] = {};
    if (!accessPointAt(convertTouchToNodeSpace(touch), bssid) ||
        !std::equal(bssid, bssid + 6, touched_.begin()))
        return;
    AccessPointHighlight::toggle(model_->runtime.highlightedBssid, bssid);
    model_->runtime.ssidTableChanged = true;
    // Drawn at the next update, even while no level glides.
    pendingDt_ = kGlideStepSeconds;
    gliding_ = false;
}

float SSIDLayer::fontSizeFor(int displayClass) {
    if (displayClass == 0) {
        return 10.0f;
    }
    return displayClass == 2 ? 15.0f : 13.0f;
}

engine::DrawNode* SSIDLayer::nodeAt(size_t index) {
    if (index < nodes_.size()) {
        nodes_[index]->clear();
        return nodes_[index];
    }
    engine::DrawNode* node = engine::DrawNode::create(1.0f);
    if (!node) {
        return nullptr;
    }
    node->retain();
    addChild(node);
    nodes_.push_back(node);
    return node;
}

engine::Label* SSIDLayer::labelAt(size_t index, float fontSize) {
    if (index < labels_.size() && labels_[index]->getFontSize() == fontSize) {
        return labels_[index];
    }
    engine::Label* label = engine::Label::createWithTTF("", kFont, fontSize);
    if (!label) {
        return nullptr;
    }
    label->retain();
    addChild(label, 1);
    if (index < labels_.size()) {
        labels_[index]->removeFromParent();
        labels_[index]->release();
        labels_[index] = label;
    } else {
        labels_.push_back(label);
    }
    return label;
}

void SSIDLayer::update(float frameDt) {
    // A glide runs for 3 s after every scan; drawn at the full frame rate it would keep the
    // whole scene redrawing most of the time. A few steps a second look just as smooth on an
    // outline and cost a fraction of the frames.
    pendingDt_ += frameDt;
    if (gliding_ && pendingDt_ < kGlideStepSeconds) {
        return;
    }
    const float dt = pendingDt_;
    pendingDt_ = 0.0f;
    gliding_ = false;
    const AccessoryDescription& axes = model_->accessory;
    const float width = _contentSize.width;
    const float height = _contentSize.height;
    std::vector<Shape> shapes;
    {
        shapes.reserve(model_->accessPoints.size());
        for (const auto& entry : model_->accessPoints) {
            if (!entry) {
                continue;
            }
            AccessPoint& ap = *entry;
            const bool band24 = ap.is5GHz == 0;
            if (!(band24 ? showBand24 : (ap.is5GHz == 1 && showBand5))) {
                continue;
            }
            const float level = LevelGlide::step(ap, dt);
            gliding_ = gliding_ || level != ap.previousRssi;
            const SSIDOutline outline =
                band24 ? SSIDOutlineGeometry::band24(ap) : SSIDOutlineGeometry::band5(ap);
            const float shapeHeight =
                SSIDOutlineGeometry::levelHeight(level, band24 ? axes.levelMin24 : axes.levelMin5,
                                                 band24 ? axes.levelMax24 : axes.levelMax5, height);
            if (!outline.drawn || shapeHeight < 0.0f) {
                continue;
            }
            const float u = width / (band24 ? SSIDOutlineGeometry::kBand24WidthMHz
                                            : SSIDOutlineGeometry::kBand5WidthMHz);
            shapes.push_back(Shape{
                outline.ellipse,
                outline.centreMHz * u,
                outline.bottomMHz * u,
                outline.topMHz * u,
                shapeHeight,
                {ap.color[0], ap.color[1], ap.color[2], ap.color[3]},
                AccessPointTexts::name(ap),
                {ap.bssid[0], ap.bssid[1], ap.bssid[2], ap.bssid[3], ap.bssid[4], ap.bssid[5]},
                AccessPointHighlight::matches(model_->runtime.highlightedBssid, ap.bssid)});
        }
    }
    const float fontSize = fontSizeFor(model_->runtime.displayClass);
    if (shapes == shapes_ && fontSize == fontSize_) {
        return;
    }
    fontSize_ = fontSize;
    size_t usedNodes = 0;
    size_t usedLabels = 0;
    for (const Shape& shape : shapes) {
        drawShape(shape, usedNodes, usedLabels);
    }
    shapes_ = std::move(shapes);
    while (nodes_.size() > usedNodes) {
        nodes_.back()->removeFromParent();
        nodes_.back()->release();
        nodes_.pop_back();
    }
    while (labels_.size() > usedLabels) {
        labels_.back()->removeFromParent();
        labels_.back()->release();
        labels_.pop_back();
    }
}

void SSIDLayer::drawShape(const Shape& shape, size_t& usedNodes, size_t& usedLabels) {
    engine::DrawNode* node = nodeAt(usedNodes);
    if (!node) {
        return;
    }
    ++usedNodes;
    const Color4F colour(shape.colour[0] / 255.0f, shape.colour[1] / 255.0f,
                         shape.colour[2] / 255.0f, shape.colour[3] / 255.0f);
    // The highlighted one is filled faintly in its colour and outlined three times as thick.
    const Color4F fill(colour.r, colour.g, colour.b, colour.a * 0.3f);
    if (shape.ellipse) {
        // A circle squeezed to the level's height, centred on the baseline: its upper half shows.
        const float radius = shape.bottom / 2.0f;
        if (radius > 0.0f) {
            if (shape.highlighted) {
                node->drawSolidCircle(Vec2(shape.centre, 0.0f), radius, 0.0f, kEllipseSegments,
                                      1.0f, shape.height / radius, fill);
                node->drawCircle(Vec2(shape.centre, 0.0f), radius + 1.0f, 0.0f, kEllipseSegments,
                                 false, 1.0f, (shape.height + 1.0f) / (radius + 1.0f), colour);
            }
            node->drawCircle(Vec2(shape.centre, 0.0f), radius, 0.0f, kEllipseSegments, false, 1.0f,
                             shape.height / radius, colour);
        }
    } else {
        const Vec2 corners[4] = {Vec2(shape.centre - shape.bottom / 2.0f, 0.0f),
                                 Vec2(shape.centre - shape.top / 2.0f, shape.height),
                                 Vec2(shape.centre + shape.top / 2.0f, shape.height),
                                 Vec2(shape.centre + shape.bottom / 2.0f, 0.0f)};
        if (shape.highlighted) {
            node->drawSolidPoly(corners, 4, fill);
            for (int k = 0; k < 3; ++k)
                node->drawSegment(corners[k], corners[k + 1], 1.5f, colour);
        }
        node->drawPoly(corners, 4, false, colour);
    }
    if (shape.name.empty()) {
        return;
    }
    engine::Label* label = labelAt(usedLabels, fontSize_);
    if (!label) {
        return;
    }
    ++usedLabels;
    if (label->getString() != shape.name) {
        label->setString(shape.name);
    }
    label->setTextColor(
        Color4B(shape.colour[0], shape.colour[1], shape.colour[2], shape.colour[3]));
    const float labelHeight = label->getContentSize().height;
    label->setPosition(shape.centre,
                       SSIDOutlineGeometry::labelY(shape.height, labelHeight, _contentSize.height));
}

void SSIDLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                      uint32_t parentFlags) {
    if (!_visible) {
        return;
    }
    clip_.begin(renderer, _globalZOrder, engine::Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}
