#include "engine/renderer/Renderer.h"

#include <GL/glew.h>

#include <algorithm>

#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

namespace {

Rect unite(const Rect& a, const Rect& b) {
    if (b.size.width <= 0 || b.size.height <= 0)
        return a;
    if (a.size.width <= 0 || a.size.height <= 0)
        return b;
    const float x0 = std::min(a.getMinX(), b.getMinX());
    const float y0 = std::min(a.getMinY(), b.getMinY());
    return Rect(x0, y0, std::max(a.getMaxX(), b.getMaxX()) - x0,
                std::max(a.getMaxY(), b.getMaxY()) - y0);
}

}  // namespace

void Renderer::addCommand(RenderCommand* command) {
    _queue.push_back(command);
    if (command->getType() == RenderCommand::Type::TRIANGLES)
        recordFootprint(*static_cast<TrianglesCommand*>(command));
}

bool Renderer::quadOf(const TrianglesCommand& command, Footprint* footprint) {
    // A sprite's two triangles: bottom-left, bottom-right, top-right, bottom-left, top-right,
    // top-left, under a transform without rotation or shear.
    const Mat4& m = command.getModelView();
    if (command.getVertexCount() != 6 || m.m[1] != 0 || m.m[4] != 0)
        return false;
    const V2F_C4B_T2F* v = command.getVertices();
    if (v[0].vertices.x != v[5].vertices.x || v[1].vertices.x != v[2].vertices.x ||
        v[0].vertices.y != v[1].vertices.y || v[2].vertices.y != v[5].vertices.y ||
        v[0].texCoords.x != v[5].texCoords.x || v[1].texCoords.x != v[2].texCoords.x ||
        v[0].texCoords.y != v[1].texCoords.y || v[2].texCoords.y != v[5].texCoords.y ||
        v[0].texCoords.x == v[2].texCoords.x || v[0].texCoords.y == v[2].texCoords.y) {
        return false;
    }
    footprint->quad = true;
    footprint->worldLow = m.transformPoint(v[0].vertices);
    footprint->worldHigh = m.transformPoint(v[2].vertices);
    footprint->uvLow = Vec2(v[0].texCoords.x, v[0].texCoords.y);
    footprint->uvHigh = Vec2(v[2].texCoords.x, v[2].texCoords.y);
    return true;
}

void Renderer::recordFootprint(const TrianglesCommand& command) {
    Footprint footprint;
    if (command.getTexture() == 0 || !worldBounds(command, &footprint.world))
        return;
    quadOf(command, &footprint);
    _queuedFootprints[command.getTexture()].push_back(footprint);
}

// The part of a quad that shows texels, by the linear map from texture coordinates to position.
Rect Renderer::partOf(const Footprint& footprint, const Rect& texels) {
    if (!footprint.quad)
        return footprint.world;
    auto map = [](float t, float t0, float t1, float p0, float p1) {
        return p0 + (t - t0) / (t1 - t0) * (p1 - p0);
    };
    const float xa = map(texels.getMinX(), footprint.uvLow.x, footprint.uvHigh.x,
                         footprint.worldLow.x, footprint.worldHigh.x);
    const float xb = map(texels.getMaxX(), footprint.uvLow.x, footprint.uvHigh.x,
                         footprint.worldLow.x, footprint.worldHigh.x);
    const float ya = map(texels.getMinY(), footprint.uvLow.y, footprint.uvHigh.y,
                         footprint.worldLow.y, footprint.worldHigh.y);
    const float yb = map(texels.getMaxY(), footprint.uvLow.y, footprint.uvHigh.y,
                         footprint.worldLow.y, footprint.worldHigh.y);
    // Never beyond the quad: texels outside its coordinates are not shown.
    const float x0 = std::max(std::min(xa, xb), footprint.world.getMinX());
    const float x1 = std::min(std::max(xa, xb), footprint.world.getMaxX());
    const float y0 = std::max(std::min(ya, yb), footprint.world.getMinY());
    const float y1 = std::min(std::max(ya, yb), footprint.world.getMaxY());
    if (x1 <= x0 || y1 <= y0)
        return Rect();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool Renderer::getTextureFootprint(unsigned int texture, const Rect& texels,
                                   Rect* footprint) const {
    auto it = _footprints.find(texture);
    if (it == _footprints.end())
        return false;
    Rect all;
    for (const Footprint& shown : it->second)
        all = unite(all, partOf(shown, texels));
    *footprint = all;
    return true;
}

void Renderer::clear(const Color4F& color) {
    _pendingClear = color;
}

// Colour only: nothing tests depth or stencil, and clearing them costs a software rasteriser
// as much again.
void Renderer::clearNow() {
    const Color4F color = *_pendingClear;
    _pendingClear.reset();
    if (_damageBox) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(_damageBox->x, _damageBox->y, _damageBox->width, _damageBox->height);
    }
    glClearColor(color.r, color.g, color.b, color.a);
    glClear(GL_COLOR_BUFFER_BIT);
    _cleared = true;
}

bool Renderer::worldBounds(const TrianglesCommand& command, Rect* world) {
    const int count = command.getVertexCount();
    if (count <= 0 || !command.getVertices())
        return false;
    const V2F_C4B_T2F* v = command.getVertices();
    Vec2 low = v[0].vertices;
    Vec2 high = low;
    for (int i = 1; i < count; ++i) {
        low = Vec2(std::min(low.x, v[i].vertices.x), std::min(low.y, v[i].vertices.y));
        high = Vec2(std::max(high.x, v[i].vertices.x), std::max(high.y, v[i].vertices.y));
    }
    // An affine transform maps the local box's corners onto a box holding every vertex.
    const Mat4& m = command.getModelView();
    const Vec2 corners[4] = {m.transformPoint(low), m.transformPoint(Vec2(high.x, low.y)),
                             m.transformPoint(high), m.transformPoint(Vec2(low.x, high.y))};
    Vec2 a = corners[0];
    Vec2 b = a;
    for (const Vec2& c : corners) {
        a = Vec2(std::min(a.x, c.x), std::min(a.y, c.y));
        b = Vec2(std::max(b.x, c.x), std::max(b.y, c.y));
    }
    *world = Rect(a.x, a.y, b.x - a.x, b.y - a.y);
    return true;
}

bool Renderer::outsideDamage(const TrianglesCommand& command) const {
    if (!_cullRect)
        return false;
    Rect world;
    if (!worldBounds(command, &world))
        return true;  // nothing to draw
    // Half a point to spare for the rasteriser's rounding at the edges.
    constexpr float kSpare = 0.5f;
    const Rect& cull = *_cullRect;
    return world.getMaxX() + kSpare < cull.getMinX() || world.getMinX() - kSpare > cull.getMaxX() ||
           world.getMaxY() + kSpare < cull.getMinY() || world.getMinY() - kSpare > cull.getMaxY();
}

// A clip command turns the scissor off when it ends, or sets its own box: either way the frame
// must stay inside the damage, or pixels kept from the last frame would be drawn over twice.
void Renderer::confineScissorToDamage() const {
    const PixelBox& damage = *_damageBox;
    if (glIsEnabled(GL_SCISSOR_TEST) != GL_TRUE) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(damage.x, damage.y, damage.width, damage.height);
        return;
    }
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    const int x0 = std::max(box[0], damage.x);
    const int y0 = std::max(box[1], damage.y);
    const int x1 = std::min(box[0] + box[2], damage.x + damage.width);
    const int y1 = std::min(box[1] + box[3], damage.y + damage.height);
    glScissor(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

void Renderer::render() {
    std::stable_sort(_queue.begin(), _queue.end(),
                     [](const RenderCommand* a, const RenderCommand* b) {
                         return a->getGlobalOrder() < b->getGlobalOrder();
                     });
    _drawnBatches = 0;
    _culledBatches = 0;
    _cleared = false;
    if (_pendingClear) {
        if (_queue.empty() || !_queue.front()->coversFrame())
            clearNow();
        _pendingClear.reset();
    }
    if (_damageBox)
        confineScissorToDamage();
    for (RenderCommand* command : _queue) {
        if (command->getType() == RenderCommand::Type::TRIANGLES) {
            const auto& triangles = *static_cast<TrianglesCommand*>(command);
            if (outsideDamage(triangles)) {
                ++_culledBatches;
                continue;
            }
            if (_observer) {
                Rect world;
                if (worldBounds(triangles, &world))
                    _observer(world);
            }
            triangles.execute();
        } else {
            static_cast<CustomCommand*>(command)->execute();
            // Custom code may have changed programs, textures or blending behind the cache.
            GL::invalidateStateCache();
            if (_damageBox)
                confineScissorToDamage();
        }
        ++_drawnBatches;
    }
    _queue.clear();
    // A scissor left on by an unbalanced clip must not cut off the next frame's clear.
    glDisable(GL_SCISSOR_TEST);
    // Textures shown before but not in this frame are known to be off screen now.
    for (auto& [texture, footprints] : _footprints)
        footprints.clear();
    for (auto& [texture, footprints] : _queuedFootprints) {
        _footprints[texture].swap(footprints);
        footprints.clear();
    }
}

}  // namespace engine
