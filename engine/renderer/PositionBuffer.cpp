#include "engine/renderer/PositionBuffer.h"

#include <GL/glew.h>

#include <utility>

#include "engine/base/Director.h"

namespace engine {

PositionBuffer::PositionBuffer(PositionBuffer&& other) noexcept
    : _vao(std::exchange(other._vao, 0u)),
      _vbo(std::exchange(other._vbo, 0u)),
      _count(std::exchange(other._count, 0)) {}

PositionBuffer& PositionBuffer::operator=(PositionBuffer&& other) noexcept {
    if (this != &other) {
        release();
        _vao = std::exchange(other._vao, 0u);
        _vbo = std::exchange(other._vbo, 0u);
        _count = std::exchange(other._count, 0);
    }
    return *this;
}

PositionBuffer::~PositionBuffer() {
    release();
}

void PositionBuffer::release() {
    // Only while the context lives: without a view the GL objects went with it.
    if ((_vao || _vbo) && Director::hasInstance() && Director::getInstance()->getOpenGLView()) {
        if (_vao)
            glDeleteVertexArrays(1, &_vao);
        if (_vbo)
            glDeleteBuffers(1, &_vbo);
    }
    _vao = _vbo = 0;
    _count = 0;
}

bool PositionBuffer::upload(const Vec2* points, int count) {
    _count = 0;
    if (!_vao) {
        glGenVertexArrays(1, &_vao);
        glGenBuffers(1, &_vbo);
        if (!_vao || !_vbo) {
            release();
            return false;
        }
        glBindVertexArray(_vao);
        glBindBuffer(GL_ARRAY_BUFFER, _vbo);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vec2), nullptr);
    } else {
        glBindVertexArray(_vao);
        glBindBuffer(GL_ARRAY_BUFFER, _vbo);
    }
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count > 0 ? count * sizeof(Vec2) : 0),
                 count > 0 ? points : nullptr, GL_STATIC_DRAW);
    _count = count > 0 ? count : 0;
    return true;
}

void PositionBuffer::draw(unsigned int mode) const {
    if (_count <= 0 || !_vao)
        return;
    glBindVertexArray(_vao);
    glDrawArrays(mode, 0, _count);
}

}  // namespace engine
