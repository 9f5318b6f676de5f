#include "engine/renderer/GLStateCache.h"

#include <GL/glew.h>

#include <cstddef>

namespace engine::GL {

namespace {
GLuint s_vao = 0;
GLuint s_vbo = 0;
GLuint s_program = 0;
GLuint s_textures[8] = {};
GLuint s_activeUnit = 0;
GLenum s_blendSrc = GL_ONE;
GLenum s_blendDst = GL_ZERO;
bool s_blendEnabled = false;
int s_layout = 0;  // 0 unknown, 1 interleaved, 2 positions only

void activeUnit(GLuint unit) {
    if (s_activeUnit != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        s_activeUnit = unit;
    }
}
}  // namespace

bool init() {
    if (s_vao)
        return true;
    glGenVertexArrays(1, &s_vao);
    glGenBuffers(1, &s_vbo);
    glBindVertexArray(s_vao);
    glBindBuffer(GL_ARRAY_BUFFER, s_vbo);
    invalidateStateCache();
    return s_vao != 0 && s_vbo != 0;
}

void shutdown() {
    if (s_vbo)
        glDeleteBuffers(1, &s_vbo);
    if (s_vao)
        glDeleteVertexArrays(1, &s_vao);
    s_vbo = s_vao = 0;
    invalidateStateCache();
}

void invalidateStateCache() {
    s_program = 0;
    for (auto& t : s_textures)
        t = 0;
    s_activeUnit = 0;
    glActiveTexture(GL_TEXTURE0);
    s_blendSrc = GL_ONE;
    s_blendDst = GL_ZERO;
    s_blendEnabled = false;
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
    s_layout = 0;
}

void useProgram(unsigned int program) {
    if (program != s_program) {
        glUseProgram(program);
        s_program = program;
    }
}

void deleteProgram(unsigned int program) {
    if (program == s_program) {
        glUseProgram(0);
        s_program = 0;
    }
    glDeleteProgram(program);
}

void bindTexture2D(unsigned int texture) {
    bindTexture2DN(0, texture);
}

void bindTexture2DN(unsigned int unit, unsigned int texture) {
    if (unit >= 8)
        return;
    if (s_textures[unit] != texture) {
        activeUnit(unit);
        glBindTexture(GL_TEXTURE_2D, texture);
        s_textures[unit] = texture;
    }
    activeUnit(0);
}

void deleteTexture(unsigned int texture) {
    for (auto& t : s_textures) {
        if (t == texture)
            t = 0;
    }
    glDeleteTextures(1, &texture);
}

void blendFunc(unsigned int src, unsigned int dst) {
    bool enable = !(src == GL_ONE && dst == GL_ZERO);
    if (enable != s_blendEnabled) {
        if (enable) {
            glEnable(GL_BLEND);
        } else {
            glDisable(GL_BLEND);
        }
        s_blendEnabled = enable;
    }
    if (enable && (src != s_blendSrc || dst != s_blendDst)) {
        glBlendFunc(src, dst);
        s_blendSrc = src;
        s_blendDst = dst;
    }
}

void blendFunc(const BlendFunc& blend) {
    blendFunc(blend.src, blend.dst);
}

void drawVertices(unsigned int mode, const V2F_C4B_T2F* vertices, int count) {
    if (count <= 0 || !s_vao)
        return;
    glBindVertexArray(s_vao);
    glBindBuffer(GL_ARRAY_BUFFER, s_vbo);
    // Orphan and refill: the driver hands out fresh storage instead of waiting for the GPU.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(V2F_C4B_T2F)), vertices,
                 GL_STREAM_DRAW);
    if (s_layout != 1) {
        constexpr GLsizei stride = sizeof(V2F_C4B_T2F);
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(V2F_C4B_T2F, vertices)));
        glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              reinterpret_cast<void*>(offsetof(V2F_C4B_T2F, colors)));
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void*>(offsetof(V2F_C4B_T2F, texCoords)));
        s_layout = 1;
    }
    glDrawArrays(mode, 0, count);
}

void drawPositions(unsigned int mode, const Vec2* points, int count) {
    if (count <= 0 || !s_vao)
        return;
    glBindVertexArray(s_vao);
    glBindBuffer(GL_ARRAY_BUFFER, s_vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Vec2)), points,
                 GL_STREAM_DRAW);
    if (s_layout != 2) {
        glEnableVertexAttribArray(0);
        glDisableVertexAttribArray(1);
        glDisableVertexAttribArray(2);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vec2), nullptr);
        glVertexAttrib4f(1, 0, 0, 0, 1);
        s_layout = 2;
    }
    glDrawArrays(mode, 0, count);
}

}  // namespace engine::GL
