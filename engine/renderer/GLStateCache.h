#pragma once

#include "engine/base/Types.h"

namespace engine {

struct V2F_C4B_T2F {
    Vec2 vertices;
    Color4B colors;
    Vec2 texCoords;
};

// The engine's single vertex path: one vertex array object and one streaming buffer that every
// draw refills. GL state changes go through here so redundant ones are skipped.
namespace GL {

bool init();  // needs a current context
void shutdown();
void invalidateStateCache();

void useProgram(unsigned int program);
void deleteProgram(unsigned int program);
void bindTexture2D(unsigned int texture);
void bindTexture2DN(unsigned int unit, unsigned int texture);
void deleteTexture(unsigned int texture);
void blendFunc(unsigned int src, unsigned int dst);
void blendFunc(const BlendFunc& blend);

// Draws interleaved position/colour/texture-coordinate vertices (attributes 0, 1, 2).
void drawVertices(unsigned int mode, const V2F_C4B_T2F* vertices, int count);
// Draws 2D positions only (attribute 0), for layers that drive their own program. Attribute 1
// then reads its constant default, so programs that declare a colour see opaque black.
void drawPositions(unsigned int mode, const Vec2* points, int count);

}  // namespace GL
}  // namespace engine
