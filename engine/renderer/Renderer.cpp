#include "engine/renderer/Renderer.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

void Renderer::addCommand(RenderCommand* command) {
    _queue.push_back(command);
}

void Renderer::clear(const Color4F& color) {
    glClearColor(color.r, color.g, color.b, color.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void Renderer::render() {
    std::stable_sort(_queue.begin(), _queue.end(),
                     [](const RenderCommand* a, const RenderCommand* b) {
                         return a->getGlobalOrder() < b->getGlobalOrder();
                     });
    _drawnBatches = 0;
    for (RenderCommand* command : _queue) {
        if (command->getType() == RenderCommand::Type::TRIANGLES) {
            static_cast<TrianglesCommand*>(command)->execute();
        } else {
            static_cast<CustomCommand*>(command)->execute();
            // Custom code may have changed programs, textures or blending behind the cache.
            GL::invalidateStateCache();
        }
        ++_drawnBatches;
    }
    _queue.clear();
    // A scissor left on by an unbalanced clip must not cut off the next frame's clear.
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace engine
