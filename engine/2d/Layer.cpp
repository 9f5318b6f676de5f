#include "engine/2d/Layer.h"

#include "engine/base/Director.h"

namespace engine {

Layer::Layer() {
    _ignoreAnchorPointForPosition = true;
    _anchorPoint = Vec2(0.5f, 0.5f);
}

bool Layer::init() {
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

}  // namespace engine
