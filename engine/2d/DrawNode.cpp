#include "engine/2d/DrawNode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/base/Director.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/Renderer.h"

namespace engine {

DrawNode* DrawNode::create(float defaultLineWidth) {
    auto* node = new DrawNode();
    if (node->initWithLineWidth(defaultLineWidth)) {
        node->autorelease();
        return node;
    }
    delete node;
    return nullptr;
}

DrawNode::~DrawNode() {
    if (_watched && Director::hasInstance())
        Director::getInstance()->unwatchGeometry(this);
}

void DrawNode::geometryTouched() {
    _touchedSinceDrawn = true;
    if (_watched || !_running)
        return;  // a node joining the scene makes the picture stale anyway
    _watched = true;
    Director::getInstance()->watchGeometry(this);
}

bool DrawNode::differsFromDrawn() const {
    return _vertices.size() != _drawnVertices.size() ||
           (!_vertices.empty() && std::memcmp(_vertices.data(), _drawnVertices.data(),
                                              _vertices.size() * sizeof(V2F_C4B_T2F)) != 0);
}

bool DrawNode::settleGeometry() {
    _watched = false;
    if (!_touchedSinceDrawn)
        return false;
    _touchedSinceDrawn = false;
    if (!differsFromDrawn())
        return false;
    // What the last frame showed and what the next one will, both: the old lines must go.
    const Mat4 toWorld = getNodeToWorldTransform();
    damageRuns(_drawnVertices, toWorld);
    damageRuns(_vertices, toWorld);
    _drawnVertices = _vertices;
    return true;
}

// A trace across the plot damages, in each stretch of its run, only the height it spans there:
// the damage is cut into vertical strips, and each keeps the height of what fell into it. Runs
// hold whole triangles and are no wider than a few points, unless one triangle is.
void DrawNode::damageRuns(const std::vector<V2F_C4B_T2F>& vertices, const Mat4& toWorld) {
    constexpr float kRunWidth = 8.f;
    Director* director = Director::getInstance();
    bool open = false;
    Vec2 low;
    Vec2 high;
    for (size_t i = 0; i < vertices.size(); i += 3) {
        const size_t end = std::min(vertices.size(), i + 3);
        Vec2 a = toWorld.transformPoint(vertices[i].vertices);
        Vec2 b = a;
        for (size_t k = i + 1; k < end; ++k) {
            const Vec2 p = toWorld.transformPoint(vertices[k].vertices);
            a = Vec2(std::min(a.x, p.x), std::min(a.y, p.y));
            b = Vec2(std::max(b.x, p.x), std::max(b.y, p.y));
        }
        if (open && std::max(high.x, b.x) - std::min(low.x, a.x) > kRunWidth) {
            director->setNeedsRedraw(Rect(low.x, low.y, high.x - low.x, high.y - low.y));
            open = false;
        }
        low = open ? Vec2(std::min(low.x, a.x), std::min(low.y, a.y)) : a;
        high = open ? Vec2(std::max(high.x, b.x), std::max(high.y, b.y)) : b;
        open = true;
    }
    if (open)
        director->setNeedsRedraw(Rect(low.x, low.y, high.x - low.x, high.y - low.y));
}

bool DrawNode::initWithLineWidth(float lineWidth) {
    _lineWidth = lineWidth;
    return init();
}

void DrawNode::addTriangle(const Vec2& a, const Vec2& b, const Vec2& c, const Color4B& color) {
    geometryTouched();
    _translucent = _translucent || color.a != 255;
    _vertices.push_back({a, color, {0, 0}});
    _vertices.push_back({b, color, {0, 0}});
    _vertices.push_back({c, color, {0, 0}});
}

void DrawNode::addQuad(const Vec2& a, const Vec2& b, const Vec2& c, const Vec2& d,
                       const Color4B& color) {
    addTriangle(a, b, c, color);
    addTriangle(a, c, d, color);
}

void DrawNode::addLine(const Vec2& from, const Vec2& to, float width, const Color4B& color) {
    Vec2 d = to - from;
    float length = d.length();
    if (length <= 0 || width <= 0)
        return;
    Vec2 n = Vec2(-d.y, d.x) * (width * 0.5f / length);
    addQuad(from + n, from - n, to - n, to + n, color);
}

void DrawNode::drawLine(const Vec2& from, const Vec2& to, const Color4F& color) {
    addLine(from, to, _lineWidth, Color4B(color));
}

void DrawNode::drawSegment(const Vec2& from, const Vec2& to, float radius, const Color4F& color) {
    addLine(from, to, radius * 2, Color4B(color));
}

void DrawNode::drawPoly(const Vec2* points, unsigned int count, bool closePolygon,
                        const Color4F& color) {
    if (!points || count < 2)
        return;
    Color4B c(color);
    _vertices.reserve(_vertices.size() + count * 6);
    // Square caps (each segment runs half a width past its ends) fill the corners where
    // segments meet; plain quads would leave a notch at every joint.
    auto capped = [&](const Vec2& a, const Vec2& b) {
        Vec2 d = b - a;
        float length = d.length();
        if (length <= 0)
            return;
        Vec2 e = d * (_lineWidth * 0.5f / length);
        addLine(a - e, b + e, _lineWidth, c);
    };
    for (unsigned int i = 0; i + 1 < count; ++i)
        capped(points[i], points[i + 1]);
    if (closePolygon && count > 2)
        capped(points[count - 1], points[0]);
}

void DrawNode::drawRect(const Vec2& origin, const Vec2& destination, const Color4F& color) {
    const Vec2 corners[4] = {
        origin, {destination.x, origin.y}, destination, {origin.x, destination.y}};
    drawPoly(corners, 4, true, color);
}

void DrawNode::drawSolidRect(const Vec2& origin, const Vec2& destination, const Color4F& color) {
    addQuad(origin, {destination.x, origin.y}, destination, {origin.x, destination.y},
            Color4B(color));
}

void DrawNode::drawSolidPoly(const Vec2* points, unsigned int count, const Color4F& color) {
    if (!points || count < 3)
        return;
    Color4B c(color);
    for (unsigned int i = 1; i + 1 < count; ++i)
        addTriangle(points[0], points[i], points[i + 1], c);
}

void DrawNode::drawPolygon(const Vec2* points, int count, const Color4F& fillColor,
                           float borderWidth, const Color4F& borderColor) {
    if (!points || count < 3)
        return;
    if (fillColor.a > 0)
        drawSolidPoly(points, static_cast<unsigned int>(count), fillColor);
    if (borderWidth > 0 && borderColor.a > 0) {
        Color4B c(borderColor);
        for (int i = 0; i < count; ++i)
            addLine(points[i], points[(i + 1) % count], borderWidth, c);
    }
}

void DrawNode::drawTriangle(const Vec2& p1, const Vec2& p2, const Vec2& p3, const Color4F& color) {
    addTriangle(p1, p2, p3, Color4B(color));
}

void DrawNode::drawCircle(const Vec2& center, float radius, float angle, unsigned int segments,
                          bool drawLineToCenter, float scaleX, float scaleY, const Color4F& color) {
    if (segments < 2)
        return;
    std::vector<Vec2> points(segments);
    const double step = 2 * std::numbers::pi / segments;
    for (unsigned int i = 0; i < segments; ++i) {
        double a = angle + step * i;
        points[i] = Vec2(static_cast<float>(radius * std::cos(a) * scaleX + center.x),
                         static_cast<float>(radius * std::sin(a) * scaleY + center.y));
    }
    drawPoly(points.data(), segments, true, color);
    if (drawLineToCenter)
        drawLine(points[0], center, color);
}

void DrawNode::drawSolidCircle(const Vec2& center, float radius, float angle, unsigned int segments,
                               float scaleX, float scaleY, const Color4F& color) {
    if (segments < 3)
        return;
    Color4B c(color);
    const double step = 2 * std::numbers::pi / segments;
    Vec2 previous(static_cast<float>(radius * std::cos(angle) * scaleX + center.x),
                  static_cast<float>(radius * std::sin(angle) * scaleY + center.y));
    for (unsigned int i = 1; i <= segments; ++i) {
        double a = angle + step * i;
        Vec2 next(static_cast<float>(radius * std::cos(a) * scaleX + center.x),
                  static_cast<float>(radius * std::sin(a) * scaleY + center.y));
        addTriangle(center, previous, next, c);
        previous = next;
    }
}

void DrawNode::drawDot(const Vec2& position, float radius, const Color4F& color) {
    drawSolidCircle(position, radius, 0, 16, 1, 1, color);
}

void DrawNode::drawPoint(const Vec2& position, float pointSize, const Color4F& color) {
    drawPoints(&position, 1, pointSize, color);
}

void DrawNode::drawPoints(const Vec2* positions, unsigned int count, float pointSize,
                          const Color4F& color) {
    if (!positions || pointSize <= 0)
        return;
    Color4B c(color);
    float h = pointSize * 0.5f;
    _vertices.reserve(_vertices.size() + count * 6);
    for (unsigned int i = 0; i < count; ++i) {
        const Vec2& p = positions[i];
        addQuad({p.x - h, p.y - h}, {p.x + h, p.y - h}, {p.x + h, p.y + h}, {p.x - h, p.y + h}, c);
    }
}

void DrawNode::clear() {
    if (!_vertices.empty())
        geometryTouched();
    _vertices.clear();
    _translucent = false;
}

void DrawNode::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (_touchedSinceDrawn) {
        // Rebuilt earlier in this visit: drawn now, so no reason for another frame.
        _drawnVertices = _vertices;
        _touchedSinceDrawn = false;
    }
    if (_vertices.empty())
        return;
    GLProgram* program =
        GLProgramCache::getInstance()->getGLProgram(GLProgram::SHADER_NAME_POSITION_COLOR);
    // Opaque geometry drawn over: blending would give the source colour exactly, so it is left
    // off, which spares a software rasteriser reading back every covered pixel.
    const bool over = _blendFunc == BlendFunc::ALPHA_NON_PREMULTIPLIED ||
                      _blendFunc == BlendFunc::ALPHA_PREMULTIPLIED;
    const BlendFunc blend =
        over && !_translucent && _displayedOpacity == 255 ? BlendFunc::DISABLE : _blendFunc;
    _command.init(_globalZOrder, program, nullptr, 0, blend, _vertices.data(),
                  static_cast<int>(_vertices.size()), transform, _displayedOpacity / 255.f);
    renderer->addCommand(&_command);
}

}  // namespace engine
