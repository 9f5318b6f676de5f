#include "engine/renderer/GLProgram.h"

#include <GL/glew.h>

#include <cstdio>

#include "engine/renderer/GLStateCache.h"

namespace engine {

const char* const GLProgram::ATTRIBUTE_NAME_POSITION = "a_position";
const char* const GLProgram::ATTRIBUTE_NAME_COLOR = "a_color";
const char* const GLProgram::ATTRIBUTE_NAME_TEX_COORD = "a_texCoord";
const char* const GLProgram::UNIFORM_NAME_MVP_MATRIX = "CC_MVPMatrix";
const char* const GLProgram::UNIFORM_NAME_SAMPLER0 = "CC_Texture0";

const char* const GLProgram::SHADER_NAME_POSITION_COLOR = "ShaderPositionColor";
const char* const GLProgram::SHADER_NAME_POSITION_TEXTURE_COLOR = "ShaderPositionTextureColor";
const char* const GLProgram::SHADER_NAME_POSITION_U_COLOR = "ShaderPosition_uColor";

static Mat4 s_projection;

void GLProgram::setProjectionMatrix(const Mat4& projection) {
    s_projection = projection;
}
const Mat4& GLProgram::getProjectionMatrix() {
    return s_projection;
}

GLProgram* GLProgram::createWithByteArrays(const char* vertexSource, const char* fragmentSource) {
    auto* program = new GLProgram();
    if (program->initWithByteArrays(vertexSource, fragmentSource) && program->link()) {
        program->updateUniforms();
        program->autorelease();
        return program;
    }
    std::fprintf(stderr, "GLProgram: %s\n", program->getLog().c_str());
    delete program;
    return nullptr;
}

GLProgram::~GLProgram() {
    if (_vertexShader)
        glDeleteShader(_vertexShader);
    if (_fragmentShader)
        glDeleteShader(_fragmentShader);
    if (_program) {
        GL::deleteProgram(_program);
    }
}

unsigned int GLProgram::compile(unsigned int type, const char* source) {
    const char* header = type == GL_VERTEX_SHADER
                             ? "#version 330 core\nuniform mat4 CC_MVPMatrix;\n#line 1\n"
                             : "#version 330 core\nuniform mat4 CC_MVPMatrix;\n"
                               "uniform sampler2D CC_Texture0;\n#line 1\n";
    const char* sources[2] = {header, source};
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
        _log += log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool GLProgram::initWithByteArrays(const char* vertexSource, const char* fragmentSource) {
    if (!vertexSource || !fragmentSource) {
        _log = "missing shader source";
        return false;
    }
    _vertexShader = compile(GL_VERTEX_SHADER, vertexSource);
    _fragmentShader = compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (!_vertexShader || !_fragmentShader)
        return false;
    _program = glCreateProgram();
    glAttachShader(_program, _vertexShader);
    glAttachShader(_program, _fragmentShader);
    return true;
}

void GLProgram::bindAttribLocation(const std::string& name, unsigned int index) {
    if (_program)
        glBindAttribLocation(_program, index, name.c_str());
}

bool GLProgram::link() {
    if (!_program)
        return false;
    bindAttribLocation(ATTRIBUTE_NAME_POSITION, VERTEX_ATTRIB_POSITION);
    bindAttribLocation(ATTRIBUTE_NAME_COLOR, VERTEX_ATTRIB_COLOR);
    bindAttribLocation(ATTRIBUTE_NAME_TEX_COORD, VERTEX_ATTRIB_TEX_COORD);
    glLinkProgram(_program);
    GLint ok = 0;
    glGetProgramiv(_program, GL_LINK_STATUS, &ok);
    if (_vertexShader) {
        glDetachShader(_program, _vertexShader);
        glDeleteShader(_vertexShader);
        _vertexShader = 0;
    }
    if (_fragmentShader) {
        glDetachShader(_program, _fragmentShader);
        glDeleteShader(_fragmentShader);
        _fragmentShader = 0;
    }
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(_program, sizeof(log) - 1, nullptr, log);
        _log += log;
        glDeleteProgram(_program);
        _program = 0;
        return false;
    }
    return true;
}

void GLProgram::updateUniforms() {
    if (!_program)
        return;
    _uniformLocations.clear();
    _mvpLocation = glGetUniformLocation(_program, UNIFORM_NAME_MVP_MATRIX);
    _samplerLocation = glGetUniformLocation(_program, UNIFORM_NAME_SAMPLER0);
    if (_samplerLocation >= 0) {
        use();
        glUniform1i(_samplerLocation, 0);
    }
}

void GLProgram::use() {
    GL::useProgram(_program);
}

void GLProgram::setUniformsForBuiltins(const Mat4& modelView) {
    if (_mvpLocation < 0)
        return;
    Mat4 mvp = s_projection * modelView;
    glUniformMatrix4fv(_mvpLocation, 1, GL_FALSE, mvp.m);
}

int GLProgram::getUniformLocation(const std::string& name) {
    if (!_program)
        return -1;
    auto it = _uniformLocations.find(name);
    if (it != _uniformLocations.end())
        return it->second;
    int location = glGetUniformLocation(_program, name.c_str());
    _uniformLocations.emplace(name, location);
    return location;
}

int GLProgram::getAttribLocation(const std::string& name) const {
    return _program ? glGetAttribLocation(_program, name.c_str()) : -1;
}

void GLProgram::setUniformLocationWith1i(int location, int i) {
    if (location >= 0)
        glUniform1i(location, i);
}
void GLProgram::setUniformLocationWith1f(int location, float f) {
    if (location >= 0)
        glUniform1f(location, f);
}
void GLProgram::setUniformLocationWith2f(int location, float x, float y) {
    if (location >= 0)
        glUniform2f(location, x, y);
}
void GLProgram::setUniformLocationWith4f(int location, float x, float y, float z, float w) {
    if (location >= 0)
        glUniform4f(location, x, y, z, w);
}
void GLProgram::setUniformLocationWithMatrix4fv(int location, const float* matrix) {
    if (location >= 0)
        glUniformMatrix4fv(location, 1, GL_FALSE, matrix);
}

}  // namespace engine
