#include "engine/2d/Scene.h"

#include "engine/base/Director.h"

namespace engine {

Scene::Scene() {
    _ignoreAnchorPointForPosition = true;
    _anchorPoint = Vec2(0.5f, 0.5f);
}

bool Scene::init() {
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

}  // namespace engine
