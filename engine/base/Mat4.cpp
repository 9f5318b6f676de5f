#include "engine/base/Mat4.h"

#include <cmath>
#include <numbers>

namespace engine {

const Mat4 Mat4::IDENTITY;

Mat4::Mat4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Mat4 Mat4::translation(float x, float y, float z) {
    Mat4 r;
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Mat4 Mat4::scaling(float sx, float sy, float sz) {
    Mat4 r;
    r.m[0] = sx;
    r.m[5] = sy;
    r.m[10] = sz;
    return r;
}

Mat4 Mat4::rotationClockwise(float degrees) {
    Mat4 r;
    // Exact quarter turns keep sprites on whole pixels.
    float c, s;
    float d = std::fmod(degrees, 360.f);
    if (d < 0)
        d += 360.f;
    if (d == 0.f) {
        c = 1, s = 0;
    } else if (d == 90.f) {
        c = 0, s = 1;
    } else if (d == 180.f) {
        c = -1, s = 0;
    } else if (d == 270.f) {
        c = 0, s = -1;
    } else {
        double rad = degrees * std::numbers::pi / 180.0;
        c = static_cast<float>(std::cos(rad));
        s = static_cast<float>(std::sin(rad));
    }
    // x' = c x + s y, y' = -s x + c y
    r.m[0] = c;
    r.m[1] = -s;
    r.m[4] = s;
    r.m[5] = c;
    return r;
}

Mat4 Mat4::orthographic(float left, float right, float bottom, float top) {
    Mat4 r;
    r.m[0] = 2.f / (right - left);
    r.m[5] = 2.f / (top - bottom);
    r.m[10] = -1.f;
    r.m[12] = -(right + left) / (right - left);
    r.m[13] = -(top + bottom) / (top - bottom);
    return r;
}

Mat4 Mat4::operator*(const Mat4& o) const {
    Mat4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += m[k * 4 + row] * o.m[col * 4 + k];
            r.m[col * 4 + row] = s;
        }
    }
    return r;
}

Vec2 Mat4::transformPoint(const Vec2& p) const {
    return {m[0] * p.x + m[4] * p.y + m[12], m[1] * p.x + m[5] * p.y + m[13]};
}

Mat4 Mat4::getInverse2D() const {
    float a = m[0], b = m[1], c = m[4], d = m[5], tx = m[12], ty = m[13];
    float det = a * d - b * c;
    if (det == 0.f || !std::isfinite(det))
        return Mat4();
    Mat4 r;
    r.m[0] = d / det;
    r.m[1] = -b / det;
    r.m[4] = -c / det;
    r.m[5] = a / det;
    r.m[12] = -(r.m[0] * tx + r.m[4] * ty);
    r.m[13] = -(r.m[1] * tx + r.m[5] * ty);
    return r;
}

}  // namespace engine
