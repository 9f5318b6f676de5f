#pragma once

#include "engine/base/Types.h"

namespace engine {

// Column-major 4x4 matrix, the layout GL uniforms take. Node transforms are 2D affine maps
// embedded in it (z untouched), which is what inverse() assumes.
class Mat4 {
  public:
    float m[16];

    Mat4();

    static Mat4 translation(float x, float y, float z = 0);
    static Mat4 scaling(float sx, float sy, float sz = 1);
    // Clockwise rotation in degrees about z, as node rotation is clockwise on screen.
    static Mat4 rotationClockwise(float degrees);
    static Mat4 orthographic(float left, float right, float bottom, float top);

    Mat4 operator*(const Mat4& o) const;
    Vec2 transformPoint(const Vec2& p) const;
    // Inverse of a 2D affine transform; the identity when it is singular.
    Mat4 getInverse2D() const;

    static const Mat4 IDENTITY;
};

}  // namespace engine
