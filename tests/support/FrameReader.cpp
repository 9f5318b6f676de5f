#include "tests/support/FrameReader.h"

#include "engine/base/Utils.h"
#include "engine/renderer/Renderer.h"

namespace gltest {

FrameReader* FrameReader::create() {
    auto* reader = new FrameReader();
    reader->init();
    reader->autorelease();
    return reader;
}

// A frame drawn in several boxes runs this once per box; the last run sees the whole frame.
void FrameReader::draw(engine::Renderer* renderer, const engine::Mat4&, uint32_t) {
    command_.init(_globalZOrder);
    command_.func = [this]() {
        if (image)
            engine::utils::captureFramebuffer(image);
    };
    renderer->addCommand(&command_);
}

}  // namespace gltest
