#include "engine/renderer/TrianglesCommand.h"

#include <GL/glew.h>

#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLProgramState.h"

namespace engine {

void TrianglesCommand::init(float globalZOrder, GLProgram* program, GLProgramState* state,
                            unsigned int texture, const BlendFunc& blend,
                            const V2F_C4B_T2F* vertices, int count, const Mat4& modelView,
                            float alpha) {
    _globalOrder = globalZOrder;
    _program = program;
    _state = state;
    _texture = texture;
    _blend = blend;
    _vertices = vertices;
    _count = count;
    _modelView = modelView;
    _alpha = alpha;
}

void TrianglesCommand::execute(const V2F_C4B_T2F* vertices, int count) const {
    if (count <= 0 || !vertices)
        return;
    GLProgram* program = _state ? _state->getGLProgram() : _program;
    if (!program || !program->getProgram())
        return;
    GL::bindTexture2D(_texture);
    if (_state) {
        _state->apply(_modelView);
    } else {
        program->use();
        program->setUniformsForBuiltins(_modelView);
    }
    int alphaLocation = program->getUniformLocation("u_alpha");
    if (alphaLocation >= 0)
        glUniform1f(alphaLocation, _alpha);
    GL::blendFunc(_blend);
    GL::drawVertices(GL_TRIANGLES, vertices, count);
}

}  // namespace engine
