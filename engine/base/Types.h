#pragma once

#include <cmath>
#include <cstdint>

namespace engine {

// Points and vectors in design units (the coordinate system nodes live in).
struct Vec2 {
    float x = 0;
    float y = 0;

    constexpr Vec2() = default;
    constexpr Vec2(float x_, float y_) : x(x_), y(y_) {}

    constexpr Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
    constexpr Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
    constexpr Vec2 operator-() const { return {-x, -y}; }
    constexpr Vec2 operator*(float s) const { return {x * s, y * s}; }
    constexpr Vec2 operator/(float s) const { return {x / s, y / s}; }
    Vec2& operator+=(const Vec2& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    Vec2& operator-=(const Vec2& o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    constexpr bool operator==(const Vec2& o) const { return x == o.x && y == o.y; }

    float length() const { return std::sqrt(x * x + y * y); }
    float distance(const Vec2& o) const { return (*this - o).length(); }
    Vec2 getNormalized() const {
        float l = length();
        return l > 0 ? Vec2(x / l, y / l) : Vec2();
    }

    static const Vec2 ZERO;
    static const Vec2 ANCHOR_MIDDLE;
    static const Vec2 ANCHOR_BOTTOM_LEFT;
    static const Vec2 ANCHOR_TOP_LEFT;
    static const Vec2 ANCHOR_BOTTOM_RIGHT;
    static const Vec2 ANCHOR_TOP_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_LEFT;
    static const Vec2 ANCHOR_MIDDLE_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_TOP;
    static const Vec2 ANCHOR_MIDDLE_BOTTOM;
};

using Point = Vec2;

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
    constexpr Vec4() = default;
    constexpr Vec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

struct Size {
    float width = 0;
    float height = 0;

    constexpr Size() = default;
    constexpr Size(float w, float h) : width(w), height(h) {}

    constexpr bool operator==(const Size& o) const {
        return width == o.width && height == o.height;
    }
    constexpr Size operator*(float s) const { return {width * s, height * s}; }

    static const Size ZERO;
};

struct Rect {
    Vec2 origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}
    constexpr Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}

    float getMinX() const { return origin.x; }
    float getMaxX() const { return origin.x + size.width; }
    float getMidX() const { return origin.x + size.width * 0.5f; }
    float getMinY() const { return origin.y; }
    float getMaxY() const { return origin.y + size.height; }
    float getMidY() const { return origin.y + size.height * 0.5f; }

    // Edges are inside, as a touch on the border of a button still hits it.
    bool containsPoint(const Vec2& p) const {
        return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
    }
    bool intersectsRect(const Rect& r) const {
        return !(getMaxX() < r.getMinX() || r.getMaxX() < getMinX() || getMaxY() < r.getMinY() ||
                 r.getMaxY() < getMinY());
    }
    constexpr bool operator==(const Rect& o) const { return origin == o.origin && size == o.size; }

    static const Rect ZERO;
};

struct Color3B {
    uint8_t r = 255, g = 255, b = 255;
    constexpr Color3B() = default;
    constexpr Color3B(uint8_t r_, uint8_t g_, uint8_t b_) : r(r_), g(g_), b(b_) {}
    constexpr bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }

    static const Color3B WHITE;
    static const Color3B BLACK;
    static const Color3B RED;
    static const Color3B GREEN;
    static const Color3B BLUE;
    static const Color3B YELLOW;
    static const Color3B MAGENTA;
    static const Color3B ORANGE;
    static const Color3B GRAY;
};

struct Color4F;

struct Color4B {
    uint8_t r = 255, g = 255, b = 255, a = 255;
    constexpr Color4B() = default;
    constexpr Color4B(uint8_t r_, uint8_t g_, uint8_t b_, uint8_t a_)
        : r(r_), g(g_), b(b_), a(a_) {}
    constexpr Color4B(const Color3B& c, uint8_t a_) : r(c.r), g(c.g), b(c.b), a(a_) {}
    explicit Color4B(const Color4F& c);
    constexpr bool operator==(const Color4B& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }

    static const Color4B WHITE;
    static const Color4B BLACK;
    static const Color4B RED;
    static const Color4B GREEN;
    static const Color4B BLUE;
};

struct Color4F {
    float r = 1, g = 1, b = 1, a = 1;
    constexpr Color4F() = default;
    constexpr Color4F(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    constexpr explicit Color4F(const Color4B& c)
        : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(c.a / 255.f) {}
    constexpr Color4F(const Color3B& c, float a_)
        : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(a_) {}

    static const Color4F WHITE;
    static const Color4F BLACK;
    static const Color4F RED;
    static const Color4F GREEN;
    static const Color4F BLUE;
};

// GL blend factors (GLenum values, kept as plain integers so this header needs no GL).
struct BlendFunc {
    unsigned int src;
    unsigned int dst;

    constexpr bool operator==(const BlendFunc& o) const { return src == o.src && dst == o.dst; }

    static const BlendFunc DISABLE;
    static const BlendFunc ALPHA_PREMULTIPLIED;
    static const BlendFunc ALPHA_NON_PREMULTIPLIED;
    static const BlendFunc ADDITIVE;
};

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

}  // namespace engine
