#include "engine/renderer/FrameCanvas.h"

#include <GL/glew.h>

namespace engine {

bool FrameCanvas::begin(int width, int height) {
    _fresh = false;
    if (_failed || width <= 0 || height <= 0)
        return false;
    if (!_framebuffer || width != _width || height != _height) {
        release();
        glGenFramebuffers(1, &_framebuffer);
        // Colour only: nothing draws with depth or stencil, and a depth buffer costs a software
        // rasteriser more for every pixel it fills.
        glGenRenderbuffers(1, &_color);
        glBindRenderbuffer(GL_RENDERBUFFER, _color);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, _color);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            // Drawing straight to the window still works, only every frame is drawn whole.
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            release();
            _failed = true;
            return false;
        }
        _width = width;
        _height = height;
        _fresh = true;
        return true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    return true;
}

void FrameCanvas::present() {
    if (!_framebuffer)
        return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, _width, _height, 0, 0, _width, _height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FrameCanvas::release() {
    if (_framebuffer)
        glDeleteFramebuffers(1, &_framebuffer);
    if (_color)
        glDeleteRenderbuffers(1, &_color);
    _framebuffer = _color = 0;
    _width = _height = 0;
}

}  // namespace engine
