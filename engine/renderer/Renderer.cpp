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
void Renderer::clearNow(const Color4F& color) {
    if (_damageBox) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(_damageBox->x, _damageBox->y, _damageBox->width, _damageBox->height);
    }
    glClearColor(color.r, color.g, color.b, color.a);
    glClear(GL_COLOR_BUFFER_BIT);
    _cleared = true;
}

void Renderer::setDamageBox(const std::optional<PixelBox>& box,
                            const std::optional<Rect>& cullRect) {
    _boxes.clear();
    _cullRects.clear();
    if (box) {
        _boxes.push_back(*box);
        _cullRects.push_back(cullRect.value_or(Rect()));
        if (!cullRect)
            _cullRects.clear();
    }
    _damageBox = box;
    _cullRect = box ? cullRect : std::nullopt;
}

void Renderer::setDamageBoxes(std::vector<PixelBox> boxes, std::vector<Rect> cullRects) {
    _boxes = std::move(boxes);
    _cullRects = std::move(cullRects);
    if (_cullRects.size() != _boxes.size())
        _cullRects.clear();
    _damageBox = _boxes.empty() ? std::nullopt : std::optional<PixelBox>(_boxes.front());
    _cullRect = _cullRects.empty() ? std::nullopt : std::optional<Rect>(_cullRects.front());
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

bool Renderer::outsideDamage(const Rect& world) const {
    if (!_cullRect)
        return false;
    // Half a point to spare for the rasteriser's rounding at the edges.
    constexpr float kSpare = 0.5f;
    const Rect& cull = *_cullRect;
    return world.getMaxX() + kSpare < cull.getMinX() || world.getMinX() - kSpare > cull.getMaxX() ||
           world.getMaxY() + kSpare < cull.getMinY() || world.getMinY() - kSpare > cull.getMaxY();
}

bool Renderer::trianglesInCull(const TrianglesCommand& command, const V2F_C4B_T2F** vertices,
                               int* count) {
    // Few triangles cost less to send than to sort out.
    constexpr int kFewVertices = 96;
    const int n = command.getVertexCount();
    const Mat4& m = command.getModelView();
    if (!_cullRect || n < kFewVertices || n % 3 != 0 || m.m[1] != 0 || m.m[4] != 0 || m.m[0] == 0 ||
        m.m[5] == 0)
        return false;
    // The cull rectangle, with the spare, in the command's own coordinates (scale and shift).
    constexpr float kSpare = 0.5f;
    const Rect& cull = *_cullRect;
    float ax = (cull.getMinX() - kSpare - m.m[12]) / m.m[0];
    float bx = (cull.getMaxX() + kSpare - m.m[12]) / m.m[0];
    float ay = (cull.getMinY() - kSpare - m.m[13]) / m.m[5];
    float by = (cull.getMaxY() + kSpare - m.m[13]) / m.m[5];
    if (ax > bx)
        std::swap(ax, bx);
    if (ay > by)
        std::swap(ay, by);
    const V2F_C4B_T2F* v = command.getVertices();
    const int triangles = n / 3;
    _reaches.resize(static_cast<size_t>(triangles));
    int reaching = 0;
    int first = -1;
    int last = -1;
    for (int t = 0; t < triangles; ++t) {
        const Vec2& p = v[3 * t].vertices;
        const Vec2& q = v[3 * t + 1].vertices;
        const Vec2& r = v[3 * t + 2].vertices;
        // Not a number anywhere: kept, as drawing the command whole would.
        const bool reaches = !(std::max({p.x, q.x, r.x}) < ax || std::min({p.x, q.x, r.x}) > bx ||
                               std::max({p.y, q.y, r.y}) < ay || std::min({p.y, q.y, r.y}) > by);
        _reaches[static_cast<size_t>(t)] = reaches;
        if (reaches) {
            first = first < 0 ? t : first;
            last = t;
            ++reaching;
        }
    }
    if (reaching == triangles)
        return false;
    if (reaching == 0) {
        *count = 0;
        return true;
    }
    if (reaching == last - first + 1) {
        *vertices = v + 3 * first;
        *count = 3 * reaching;
        return true;
    }
    // Scattered (a grid's lines, say): the triangles elsewhere leave out, the order kept.
    _gathered.clear();
    for (int t = first; t <= last; ++t) {
        if (_reaches[static_cast<size_t>(t)])
            _gathered.insert(_gathered.end(), v + 3 * t, v + 3 * t + 3);
    }
    *vertices = _gathered.data();
    *count = 3 * reaching;
    return true;
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
    std::optional<Color4F> clearColor;
    if (_pendingClear && (_queue.empty() || !_queue.front()->coversFrame()))
        clearColor = _pendingClear;
    _pendingClear.reset();
    // Each command's bounds once, whatever the number of boxes, when anything asks for them.
    _commandBounds.resize(_queue.size());
    _commandHasBounds.assign(_queue.size(), 0);
    const bool bounded = !_cullRects.empty() || _observer;
    for (size_t i = 0; bounded && i < _queue.size(); ++i) {
        if (_queue[i]->getType() == RenderCommand::Type::TRIANGLES)
            _commandHasBounds[i] =
                worldBounds(*static_cast<TrianglesCommand*>(_queue[i]), &_commandBounds[i]);
    }
    if (_boxes.empty()) {
        renderPass(clearColor);
    } else {
        for (size_t b = 0; b < _boxes.size(); ++b) {
            _damageBox = _boxes[b];
            _cullRect = _cullRects.empty() ? std::nullopt : std::optional<Rect>(_cullRects[b]);
            renderPass(clearColor);
        }
        _damageBox = _boxes.front();
        _cullRect = _cullRects.empty() ? std::nullopt : std::optional<Rect>(_cullRects.front());
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

void Renderer::renderPass(const std::optional<Color4F>& clearColor) {
    if (clearColor)
        clearNow(*clearColor);
    if (_damageBox)
        confineScissorToDamage();
    for (size_t i = 0; i < _queue.size(); ++i) {
        RenderCommand* command = _queue[i];
        if (command->getType() == RenderCommand::Type::TRIANGLES) {
            const auto& triangles = *static_cast<TrianglesCommand*>(command);
            // Without bounds there is nothing to draw.
            if (_cullRect && (!_commandHasBounds[i] || outsideDamage(_commandBounds[i]))) {
                ++_culledBatches;
                continue;
            }
            const V2F_C4B_T2F* vertices = triangles.getVertices();
            int count = triangles.getVertexCount();
            if (trianglesInCull(triangles, &vertices, &count) && count == 0) {
                ++_culledBatches;  // its bounds reach in, none of its triangles does
                continue;
            }
            if (_observer && _commandHasBounds[i])
                _observer(_commandBounds[i]);
            triangles.execute(vertices, count);
        } else {
            static_cast<CustomCommand*>(command)->execute();
            // Custom code may have changed programs, textures or blending behind the cache.
            GL::invalidateStateCache();
            if (_damageBox)
                confineScissorToDamage();
        }
        ++_drawnBatches;
    }
}

}  // namespace engine
