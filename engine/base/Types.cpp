#include "engine/base/Types.h"

#include <GL/glew.h>

#include <algorithm>

namespace engine {

const Vec2 Vec2::ZERO{0, 0};
const Vec2 Vec2::ANCHOR_MIDDLE{0.5f, 0.5f};
const Vec2 Vec2::ANCHOR_BOTTOM_LEFT{0, 0};
const Vec2 Vec2::ANCHOR_TOP_LEFT{0, 1};
const Vec2 Vec2::ANCHOR_BOTTOM_RIGHT{1, 0};
const Vec2 Vec2::ANCHOR_TOP_RIGHT{1, 1};
const Vec2 Vec2::ANCHOR_MIDDLE_LEFT{0, 0.5f};
const Vec2 Vec2::ANCHOR_MIDDLE_RIGHT{1, 0.5f};
const Vec2 Vec2::ANCHOR_MIDDLE_TOP{0.5f, 1};
const Vec2 Vec2::ANCHOR_MIDDLE_BOTTOM{0.5f, 0};

const Size Size::ZERO{0, 0};
const Rect Rect::ZERO{0, 0, 0, 0};

const Color3B Color3B::WHITE{255, 255, 255};
const Color3B Color3B::BLACK{0, 0, 0};
const Color3B Color3B::RED{255, 0, 0};
const Color3B Color3B::GREEN{0, 255, 0};
const Color3B Color3B::BLUE{0, 0, 255};
const Color3B Color3B::YELLOW{255, 255, 0};
const Color3B Color3B::MAGENTA{255, 0, 255};
const Color3B Color3B::ORANGE{255, 127, 0};
const Color3B Color3B::GRAY{166, 166, 166};

const Color4B Color4B::WHITE{255, 255, 255, 255};
const Color4B Color4B::BLACK{0, 0, 0, 255};
const Color4B Color4B::RED{255, 0, 0, 255};
const Color4B Color4B::GREEN{0, 255, 0, 255};
const Color4B Color4B::BLUE{0, 0, 255, 255};

static uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.f, 1.f) * 255.f + 0.5f);
}

Color4B::Color4B(const Color4F& c)
    : r(toByte(c.r)), g(toByte(c.g)), b(toByte(c.b)), a(toByte(c.a)) {}

const Color4F Color4F::WHITE{1, 1, 1, 1};
const Color4F Color4F::BLACK{0, 0, 0, 1};
const Color4F Color4F::RED{1, 0, 0, 1};
const Color4F Color4F::GREEN{0, 1, 0, 1};
const Color4F Color4F::BLUE{0, 0, 1, 1};

const BlendFunc BlendFunc::DISABLE{GL_ONE, GL_ZERO};
const BlendFunc BlendFunc::ALPHA_PREMULTIPLIED{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
const BlendFunc BlendFunc::ALPHA_NON_PREMULTIPLIED{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
const BlendFunc BlendFunc::ADDITIVE{GL_SRC_ALPHA, GL_ONE};

}  // namespace engine
