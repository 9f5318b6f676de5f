#include "engine/renderer/GLProgramCache.h"

#include "engine/renderer/BuiltinShaders.h"
#include "engine/renderer/GLProgram.h"

namespace engine {

static GLProgramCache* s_cache = nullptr;

GLProgramCache* GLProgramCache::getInstance() {
    if (!s_cache)
        s_cache = new GLProgramCache();
    return s_cache;
}

void GLProgramCache::destroyInstance() {
    delete s_cache;
    s_cache = nullptr;
}

GLProgramCache::~GLProgramCache() {
    removeAll();
}

void GLProgramCache::loadDefaultGLPrograms() {
    _defaultsLoaded = true;
    struct Builtin {
        const char* name;
        const char* vertex;
        const char* fragment;
    };
    const Builtin builtins[] = {
        {GLProgram::SHADER_NAME_POSITION_COLOR, ccPositionColor_vert, ccPositionColor_frag},
        {GLProgram::SHADER_NAME_POSITION_TEXTURE_COLOR, ccPositionTextureColor_vert,
         ccPositionTextureColor_frag},
        {GLProgram::SHADER_NAME_POSITION_U_COLOR, ccPosition_uColor_vert, ccPosition_uColor_frag},
    };
    for (const auto& b : builtins) {
        if (_programs.count(b.name))
            continue;
        GLProgram* program = GLProgram::createWithByteArrays(b.vertex, b.fragment);
        if (program)
            addGLProgram(program, b.name);
    }
}

GLProgram* GLProgramCache::getGLProgram(const std::string& key) {
    auto it = _programs.find(key);
    if (it != _programs.end())
        return it->second;
    if (!_defaultsLoaded) {
        loadDefaultGLPrograms();
        it = _programs.find(key);
        if (it != _programs.end())
            return it->second;
    }
    return nullptr;
}

void GLProgramCache::addGLProgram(GLProgram* program, const std::string& key) {
    if (!program)
        return;
    program->retain();
    auto it = _programs.find(key);
    if (it != _programs.end()) {
        it->second->release();
        it->second = program;
    } else {
        _programs.emplace(key, program);
    }
}

void GLProgramCache::removeAll() {
    for (auto& [key, program] : _programs)
        program->release();
    _programs.clear();
    _defaultsLoaded = false;
}

}  // namespace engine
