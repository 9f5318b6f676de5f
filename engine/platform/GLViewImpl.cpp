#include "engine/platform/GLViewImpl.h"

namespace engine {

GLViewImpl* GLViewImpl::create(const std::string& title) {
    return createWithRect(title, Rect(0, 0, 960, 640), 1.0f);
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& title, const Rect& rect,
                                       float frameZoomFactor) {
    auto* view = new GLViewImpl();
    if (view->initWithRect(title, rect, frameZoomFactor)) {
        view->autorelease();
        return view;
    }
    delete view;
    return nullptr;
}

}  // namespace engine
