#include "views/spectrum/BubbleHandle.h"

#include "engine/2d/Sprite.h"
#include "engine/renderer/Texture2D.h"

using engine::Rect;
using engine::Size;
using engine::Vec2;

void BubbleHandle::place(engine::Sprite* handle, float y, float w, float h) {
    const Size image = handle->getTexture()->getContentSize();
    const float qw = image.width * 0.5f;
    const float qh = image.height * 0.5f;
    if (y < 0.f) {
        handle->setTextureRect(Rect(qw, 0, qw, qh));
        handle->setAnchorPoint(Vec2(1.f, 0.f));
        handle->setPosition(w, 0);
    } else if (y > h) {
        handle->setTextureRect(Rect(0, 0, qw, qh));
        handle->setAnchorPoint(Vec2(1.f, 1.f));
        handle->setPosition(w, h);
    } else {
        handle->setTextureRect(Rect(qw, qh, qw, qh));
        handle->setAnchorPoint(Vec2(1.f, 0.5f));
        handle->setPosition(w, y);
    }
}
