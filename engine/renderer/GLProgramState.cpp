#include "engine/renderer/GLProgramState.h"

#include <GL/glew.h>

#include "engine/base/Director.h"
#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramCache.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/Texture2D.h"

namespace engine {

GLProgramState* GLProgramState::create(GLProgram* program) {
    if (!program)
        return nullptr;
    auto* state = new GLProgramState();
    state->_program = program;
    program->retain();
    state->autorelease();
    return state;
}

GLProgramState* GLProgramState::getOrCreateWithGLProgramName(const std::string& name) {
    return create(GLProgramCache::getInstance()->getGLProgram(name));
}

GLProgramState::~GLProgramState() {
    for (auto& u : _uniforms) {
        if (u.texture)
            u.texture->release();
    }
    if (_program)
        _program->release();
}

GLProgramState::Uniform& GLProgramState::slot(int location, Kind kind) {
    for (auto& u : _uniforms) {
        if (u.location == location) {
            u.kind = kind;
            return u;
        }
    }
    _uniforms.push_back(Uniform{location, kind, {0, 0, 0, 0}, nullptr, 0});
    return _uniforms.back();
}

void GLProgramState::setUniformFloat(const std::string& name, float value) {
    int location = _program->getUniformLocation(name);
    if (location < 0)
        return;
    slot(location, Kind::Float).v[0] = value;
    Director::markStale();
}

void GLProgramState::setUniformVec2(const std::string& name, const Vec2& value) {
    int location = _program->getUniformLocation(name);
    if (location < 0)
        return;
    auto& u = slot(location, Kind::Vec2);
    u.v[0] = value.x;
    u.v[1] = value.y;
    Director::markStale();
}

void GLProgramState::setUniformVec4(const std::string& name, const Vec4& value) {
    int location = _program->getUniformLocation(name);
    if (location < 0)
        return;
    auto& u = slot(location, Kind::Vec4);
    u.v[0] = value.x;
    u.v[1] = value.y;
    u.v[2] = value.z;
    u.v[3] = value.w;
    Director::markStale();
}

void GLProgramState::setUniformTexture(const std::string& name, Texture2D* texture) {
    setUniformTexture(_program->getUniformLocation(name), texture);
}

void GLProgramState::setUniformTexture(int location, Texture2D* texture) {
    if (location < 0)
        return;
    auto& u = slot(location, Kind::Texture);
    if (texture)
        texture->retain();
    if (u.texture)
        u.texture->release();
    u.texture = texture;
    if (u.unit == 0)
        u.unit = _nextUnit++;
    Director::markStale();
}

void GLProgramState::apply(const Mat4& modelView) {
    _program->use();
    _program->setUniformsForBuiltins(modelView);
    for (auto& u : _uniforms) {
        switch (u.kind) {
            case Kind::Float:
                glUniform1f(u.location, u.v[0]);
                break;
            case Kind::Vec2:
                glUniform2f(u.location, u.v[0], u.v[1]);
                break;
            case Kind::Vec4:
                glUniform4f(u.location, u.v[0], u.v[1], u.v[2], u.v[3]);
                break;
            case Kind::Texture:
                GL::bindTexture2DN(u.unit, u.texture ? u.texture->getName() : 0);
                glUniform1i(u.location, u.unit);
                break;
        }
    }
}

}  // namespace engine
