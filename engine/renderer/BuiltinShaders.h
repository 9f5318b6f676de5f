#pragma once

// Sources of the engine's built-in programs, embedded at build time from the text files in
// engine/renderer/shaders/ so the engine draws even before any resource path is set. Like every
// source given to GLProgram they carry no #version line (GLProgram adds it and the built-in
// uniforms CC_MVPMatrix and CC_Texture0).
namespace engine {

extern const char* const ccPositionColor_vert;
extern const char* const ccPositionColor_frag;
extern const char* const ccPositionTextureColor_vert;
extern const char* const ccPositionTextureColor_frag;
extern const char* const ccPosition_uColor_vert;
extern const char* const ccPosition_uColor_frag;

}  // namespace engine
