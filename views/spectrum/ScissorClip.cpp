#include "views/spectrum/ScissorClip.h"

#include <GL/glew.h>

#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/Renderer.h"

void ScissorClip::begin(engine::Renderer* renderer, float globalZOrder, const engine::Rect& rect) {
    begin_.init(globalZOrder);
    begin_.func = [rect]() {
        engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
        if (!view)
            return;
        glEnable(GL_SCISSOR_TEST);
        view->setScissorInPoints(rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    };
    renderer->addCommand(&begin_);
}

void ScissorClip::end(engine::Renderer* renderer, float globalZOrder) {
    end_.init(globalZOrder);
    end_.func = []() { glDisable(GL_SCISSOR_TEST); };
    renderer->addCommand(&end_);
}
