#pragma once

#include <string>
#include <unordered_map>

#include "engine/base/Mat4.h"
#include "engine/base/Ref.h"

namespace engine {

// A linked GLSL 330 program. Sources are given without a #version line; the engine prepends
// it together with the built-in uniforms (CC_MVPMatrix in both stages, CC_Texture0 in the
// fragment stage), so the same sources serve every program.
class GLProgram : public Ref {
  public:
    enum { VERTEX_ATTRIB_POSITION = 0, VERTEX_ATTRIB_COLOR = 1, VERTEX_ATTRIB_TEX_COORD = 2 };

    static const char* const ATTRIBUTE_NAME_POSITION;
    static const char* const ATTRIBUTE_NAME_COLOR;
    static const char* const ATTRIBUTE_NAME_TEX_COORD;
    static const char* const UNIFORM_NAME_MVP_MATRIX;
    static const char* const UNIFORM_NAME_SAMPLER0;

    static const char* const SHADER_NAME_POSITION_COLOR;
    static const char* const SHADER_NAME_POSITION_TEXTURE_COLOR;
    static const char* const SHADER_NAME_POSITION_U_COLOR;

    // Compiles, binds the three standard attributes, links and looks up uniforms.
    static GLProgram* createWithByteArrays(const char* vertexSource, const char* fragmentSource);

    GLProgram() = default;
    ~GLProgram() override;

    // Compiles both stages; link() must follow.
    bool initWithByteArrays(const char* vertexSource, const char* fragmentSource);
    void bindAttribLocation(const std::string& name, unsigned int index);
    // Binds the standard attribute names to 0, 1 and 2, then links.
    bool link();
    // Caches the locations of the built-in uniforms.
    void updateUniforms();

    void use();
    // Sets CC_MVPMatrix from the current projection and the given model-view transform.
    void setUniformsForBuiltins(const Mat4& modelView);

    int getUniformLocation(const std::string& name);
    int getAttribLocation(const std::string& name) const;
    void setUniformLocationWith1i(int location, int i);
    void setUniformLocationWith1f(int location, float f);
    void setUniformLocationWith2f(int location, float x, float y);
    void setUniformLocationWith4f(int location, float x, float y, float z, float w);
    void setUniformLocationWithMatrix4fv(int location, const float* matrix);

    unsigned int getProgram() const { return _program; }
    const std::string& getLog() const { return _log; }

    // Projection from design units to clip space; the director sets it when the view is sized.
    static void setProjectionMatrix(const Mat4& projection);
    static const Mat4& getProjectionMatrix();

  private:
    unsigned int compile(unsigned int type, const char* source);

    unsigned int _program = 0;
    unsigned int _vertexShader = 0;
    unsigned int _fragmentShader = 0;
    int _mvpLocation = -1;
    int _samplerLocation = -1;
    std::unordered_map<std::string, int> _uniformLocations;
    std::string _log;
};

}  // namespace engine
