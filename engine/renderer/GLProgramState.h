#pragma once

#include <string>
#include <vector>

#include "engine/base/Mat4.h"
#include "engine/base/Ref.h"

namespace engine {

class GLProgram;
class Texture2D;

// A program plus the values of its own uniforms, applied together before a draw.
class GLProgramState : public Ref {
  public:
    static GLProgramState* create(GLProgram* program);
    static GLProgramState* getOrCreateWithGLProgramName(const std::string& name);

    ~GLProgramState() override;

    void setUniformFloat(const std::string& name, float value);
    void setUniformVec2(const std::string& name, const Vec2& value);
    void setUniformVec4(const std::string& name, const Vec4& value);
    void setUniformTexture(const std::string& name, Texture2D* texture);
    // By location, for callers that know it from their program.
    void setUniformTexture(int location, Texture2D* texture);

    // Uses the program, sets the built-in matrices from modelView and every stored uniform.
    void apply(const Mat4& modelView);

    GLProgram* getGLProgram() const { return _program; }

  private:
    GLProgramState() = default;

    enum class Kind { Float, Vec2, Vec4, Texture };
    struct Uniform {
        int location;
        Kind kind;
        float v[4];
        Texture2D* texture;
        int unit;
    };
    Uniform& slot(int location, Kind kind);

    GLProgram* _program = nullptr;
    std::vector<Uniform> _uniforms;
    int _nextUnit = 1;  // unit 0 belongs to the node's own texture
};

}  // namespace engine
