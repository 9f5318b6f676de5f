#pragma once

#include <vector>

#include "engine/2d/Node.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/TrianglesCommand.h"

namespace engine {

// Immediate-style geometry turned into triangles: lines become quads of the line width so
// they look the same on every GL (core profiles have no wide lines). clear() keeps the buffer's
// capacity, so a node redrawn every frame does not allocate. Colours are straight alpha.
// Geometry rebuilt identical to what was last drawn does not make the picture stale.
class DrawNode : public Node {
  public:
    static constexpr float DEFAULT_LINE_WIDTH = 2.f;

    static DrawNode* create(float defaultLineWidth = DEFAULT_LINE_WIDTH);
    bool initWithLineWidth(float lineWidth);

    void setLineWidth(float width) { _lineWidth = width; }
    float getLineWidth() const { return _lineWidth; }

    void drawLine(const Vec2& from, const Vec2& to, const Color4F& color);
    // A line 2 x radius wide.
    void drawSegment(const Vec2& from, const Vec2& to, float radius, const Color4F& color);
    // Connected lines through the points, joints filled; closed joins the last point to the
    // first.
    void drawPoly(const Vec2* points, unsigned int count, bool closePolygon, const Color4F& color);
    void drawRect(const Vec2& origin, const Vec2& destination, const Color4F& color);
    void drawSolidRect(const Vec2& origin, const Vec2& destination, const Color4F& color);
    // Filled convex polygon with an optional border of borderWidth.
    void drawPolygon(const Vec2* points, int count, const Color4F& fillColor, float borderWidth,
                     const Color4F& borderColor);
    void drawSolidPoly(const Vec2* points, unsigned int count, const Color4F& color);
    void drawTriangle(const Vec2& p1, const Vec2& p2, const Vec2& p3, const Color4F& color);
    // Outline of an ellipse: radius x scaleX by radius x scaleY, starting at angle (radians).
    void drawCircle(const Vec2& center, float radius, float angle, unsigned int segments,
                    bool drawLineToCenter, float scaleX, float scaleY, const Color4F& color);
    void drawCircle(const Vec2& center, float radius, float angle, unsigned int segments,
                    bool drawLineToCenter, const Color4F& color) {
        drawCircle(center, radius, angle, segments, drawLineToCenter, 1, 1, color);
    }
    void drawSolidCircle(const Vec2& center, float radius, float angle, unsigned int segments,
                         float scaleX, float scaleY, const Color4F& color);
    // A filled round dot.
    void drawDot(const Vec2& position, float radius, const Color4F& color);
    // Square points pointSize wide, centred on each position.
    void drawPoint(const Vec2& position, float pointSize, const Color4F& color);
    void drawPoints(const Vec2* positions, unsigned int count, float pointSize,
                    const Color4F& color);

    void clear();
    size_t getVertexCount() const { return _vertices.size(); }

    // Called by the director before it decides whether to draw: true when the geometry
    // differs from what was last drawn (it then counts as drawn).
    bool settleGeometry();

    void setBlendFunc(const BlendFunc& blend) {
        if (blend == _blendFunc)
            return;
        _blendFunc = blend;
        markStale();
    }
    const BlendFunc& getBlendFunc() const { return _blendFunc; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

    ~DrawNode() override;

  protected:
    DrawNode() = default;
    void geometryTouched();
    bool differsFromDrawn() const;
    // Damages where vertices lie, a few points of width at a time.
    static void damageRuns(const std::vector<V2F_C4B_T2F>& vertices, const Mat4& toWorld);
    void addTriangle(const Vec2& a, const Vec2& b, const Vec2& c, const Color4B& color);
    void addQuad(const Vec2& a, const Vec2& b, const Vec2& c, const Vec2& d, const Color4B& color);
    void addLine(const Vec2& from, const Vec2& to, float width, const Color4B& color);

    float _lineWidth = DEFAULT_LINE_WIDTH;
    BlendFunc _blendFunc = BlendFunc::ALPHA_NON_PREMULTIPLIED;
    std::vector<V2F_C4B_T2F> _vertices;
    std::vector<V2F_C4B_T2F> _drawnVertices;  // what the last frame showed
    bool _touchedSinceDrawn = false;
    bool _watched = false;      // the director will ask settleGeometry()
    bool _translucent = false;  // some vertex has alpha below 255
    TrianglesCommand _command;
};

}  // namespace engine
