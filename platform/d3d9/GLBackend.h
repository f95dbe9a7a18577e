#pragma once
// Draws with OpenGL (compatibility profile, 3.3 or later with clip control) in an SDL window.
// Every target is a texture or renderbuffer drawn upside down relative to GL, so that memory
// row 0 is Direct3D's top row everywhere: textures upload as they are, rendered textures read
// the same way up as on Direct3D, and only Present flips onto the window.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "FixedFunctionProgram.h"
#include "RenderBackend.h"
#include "ShaderTranslation.h"

struct SDL_Window;

struct SGLLimits {
  char renderer[256];
  unsigned maxTextureSize;
  unsigned maxAnisotropy;
  bool hasS3tc;
};

class CGLBackend : public IRenderBackend {
 public:
  CGLBackend();
  ~CGLBackend() override;

  // Asks a throwaway context what the GL implementation can do; false when there is no GL.
  static bool Probe(SGLLimits* limits);

  bool Initialize(HWND window, UINT width, UINT height) override;
  void Configure(UINT width, UINT height, bool vsync) override;
  uintptr_t CreateTexture(bool isCube, const SFormatInfo& format, UINT width, UINT height, UINT levels) override;
  void UploadTextureLevel(uintptr_t texture, bool isCube, UINT face, UINT level, const SFormatInfo& format,
                          UINT width, UINT height, const void* data, UINT pitch) override;
  void GenerateMipmaps(uintptr_t texture, bool isCube) override;
  void DestroyTexture(uintptr_t texture) override;
  uintptr_t CreateDepthBuffer(const SFormatInfo& format, UINT width, UINT height) override;
  void DestroyDepthBuffer(uintptr_t buffer) override;
  uintptr_t CreateBuffer(UINT size) override;
  void UploadBuffer(uintptr_t buffer, UINT offset, UINT size, const void* data) override;
  void DestroyBuffer(uintptr_t buffer) override;
  void Clear(const CDeviceState& state, const SClearCall& clear) override;
  void Draw(const CDeviceState& state, const SDrawCall& draw) override;
  bool ReadTarget(const STargetRef& target, void* data, UINT pitch) override;
  void CopyTarget(const STargetRef& source, const RECT& sourceRect, const STargetRef& dest, const RECT& destRect,
                  bool linear) override;
  void Present(const STargetRef& backBuffer, ScreenPixels* shown) override;

 private:
  // The uniforms of the fixed-function half that a draw may set, in the table of GLBackend.cpp.
  enum EFixedUniform : uint8_t {
    UNIFORM_WORLD, UNIFORM_VIEW, UNIFORM_PROJ, UNIFORM_WORLD_VIEW_PROJ, UNIFORM_NORMAL_MATRIX, UNIFORM_VIEWPORT,
    UNIFORM_DEPTH_RANGE, UNIFORM_TEX_MATRIX, UNIFORM_STAGE_CONSTANT, UNIFORM_BUMP_ENV, UNIFORM_BUMP_LUMINANCE,
    UNIFORM_MAT_DIFFUSE, UNIFORM_MAT_AMBIENT, UNIFORM_MAT_SPECULAR, UNIFORM_MAT_EMISSIVE, UNIFORM_MAT_POWER,
    UNIFORM_GLOBAL_AMBIENT, UNIFORM_LIGHT_DIFFUSE, UNIFORM_LIGHT_SPECULAR, UNIFORM_LIGHT_AMBIENT,
    UNIFORM_LIGHT_POSITION, UNIFORM_LIGHT_DIRECTION, UNIFORM_LIGHT_ATTEN, UNIFORM_LIGHT_SPOT, UNIFORM_TFACTOR,
    UNIFORM_FOG, UNIFORM_FOG_COLOR, UNIFORM_FOG_EYE_DEPTH, FIXED_UNIFORM_COUNT
  };
  struct SProgram {
    unsigned name = 0;
    bool linked = false;
    std::unordered_map<std::string, int> uniforms;
    // Found at the first draw with the program: -1 where the linker dropped the uniform.
    bool fixedLocationsKnown = false;
    int fixedLocations[FIXED_UNIFORM_COUNT] = {};
    // What each fixed uniform holds now; GL keeps uniforms per program, so a draw sends only
    // what differs from the program's last draw.
    std::vector<uint8_t> fixedSent[FIXED_UNIFORM_COUNT];
  };

  // The SDL window a device draws into: the application's window when it is one of ours, or
  // else a hidden window of the device's own, as large as the back buffer (`owned` says which).
  static SDL_Window* DeviceWindow(HWND window, UINT width, UINT height, bool* owned);
  void MakeCurrent();
  // What the screen shows, read from the bound read buffer into `shown` top row first; a window
  // keeps its rows bottom first.
  void ReadShown(int width, int height, bool bottomRowFirst, ScreenPixels& shown);
  void BindTargets(const STargetRef* targets, const STargetRef& depth);
  void AttachColor(unsigned framebuffer, unsigned attachment, const STargetRef& target);
  // GL state set together from a few render states; planes each their own.
  enum EStateGroup : uint8_t {
    GROUP_VIEWPORT, GROUP_DEPTH, GROUP_CULL, GROUP_RASTER, GROUP_ALPHA_TEST, GROUP_BLEND, GROUP_STENCIL,
    GROUP_COLOR_MASK, GROUP_SCISSOR, GROUP_CLIP_ENABLE, GROUP_CLIP_PLANE0,
    STATE_GROUP_COUNT = GROUP_CLIP_PLANE0 + kMaxClipPlanes
  };
  // True, and remembered, when the inputs of a group differ from those it was last set from.
  bool StateGroupChanged(EStateGroup group, std::initializer_list<DWORD> inputs);
  // Marks every group stale, for calls that set GL state of their own (clears, copies, presents).
  void ForgetAppliedStates();
  void ApplyRenderStates(const CDeviceState& state, bool hasDepth, bool preTransformed);
  void ApplySamplers(const CDeviceState& state, const ETextureKind* kinds);
  void ApplySampler(UINT stage, const CBaseTexture& texture, const DWORD* samplerStates);
  void BindVertexInput(const CDeviceState& state, const SDrawCall& draw, const CShaderTranslation* vertexProgram);
  unsigned ShaderObject(unsigned type, const std::string& source);
  unsigned TranslatedShaderObject(const CShaderTranslation& translation);
  // Links a pair once; a translated vertex half gets its inputs bound to the declaration's
  // attribute locations by usage and index.
  SProgram& LinkedProgram(unsigned vertexShader, unsigned fragmentShader, const CShaderTranslation* vertexProgram);
  // The program for a draw: each half a translated shader when one is set, else fixed function.
  SProgram& ProgramFor(const SFixedFunctionKey& key, const CShaderTranslation* vertexProgram,
                       const CShaderTranslation* pixelProgram);
  SProgram& CachedProgramFor(const SFixedFunctionKey& key, const CShaderTranslation* vertexProgram,
                             const CShaderTranslation* pixelProgram, const uint64_t* ids);
  int Uniform(SProgram& program, const char* name);
  void SetUniforms(SProgram& program, const CDeviceState& state, const SFixedFunctionKey& key);
  void FindFixedUniforms(SProgram& program);
  // Sends `count` elements of a fixed uniform when the program has it and they differ from what
  // it holds.
  void SendFixed(SProgram& program, EFixedUniform uniform, const float* values, int count);
  // The constant registers a translated half reads, and its samplers' stages.
  void UploadNamedConstant(SProgram& program, const SBlobConstant& constant, const SShaderRegisterFiles& files);
  void SetShaderConstants(SProgram& program, const CShaderTranslation& shader, const SShaderRegisterFiles& files);

  SDL_Window* m_window = nullptr;
  void* m_context = nullptr;
  bool m_ownsWindow = false;
  unsigned m_framebuffer = 0;
  unsigned m_readFramebuffer = 0;
  unsigned m_vertexArray = 0;
  unsigned m_streamVertices = 0;
  unsigned m_streamIndices = 0;
  unsigned m_samplers[kMaxSamplers] = {};
  float m_maxAnisotropy = 1.f;
  STargetRef m_attachedTargets[kMaxRenderTargets];
  STargetRef m_attachedDepth;
  bool m_attachmentsValid = false;
  UINT m_width = 0;
  UINT m_height = 0;
  std::map<std::string, unsigned> m_shaderObjects;                   // by source
  std::map<std::pair<unsigned, unsigned>, SProgram> m_linkedPrograms;  // by vertex, fragment shader
  std::unordered_map<std::string, SProgram*> m_fixedFunctionPrograms;  // by fixed-function key
  std::unordered_map<std::string, SProgram*> m_mixedPrograms;  // by key and translation ids
  std::unordered_map<uint64_t, unsigned> m_translatedShaders;   // by translation id
  std::unordered_map<uintptr_t, bool> m_textureIsCube;
  // What the texture units and vertex attributes were last given, so that draws alike set
  // them once; anything else that binds textures or deletes buffers marks them stale.
  struct SAppliedSampler {
    uintptr_t handle;
    uint32_t cube, mipmapped;
    DWORD states[D3D_MAX_SAMPLERSTATES];
  };
  struct SAppliedStream {
    uintptr_t buffer;
    UINT offset, stride;
  };
  struct SStateGroupInputs {
    DWORD values[16];
    size_t count;
  };
  SStateGroupInputs m_stateGroups[STATE_GROUP_COUNT] = {};
  bool m_stateGroupsValid[STATE_GROUP_COUNT] = {};
  SAppliedSampler m_appliedSamplers[kMaxSamplers] = {};
  bool m_samplersValid = false;
  SAppliedStream m_appliedStreams[kMaxStreams] = {};
  std::vector<D3DVERTEXELEMENT9> m_appliedElements;
  uint64_t m_appliedVertexProgram = 0;
  bool m_vertexInputValid = false;
  // The previous draw's program and what chose it (programs are never freed while the back end
  // lives, so the pointer stays good).
  SProgram* m_lastProgram = nullptr;
  SFixedFunctionKey m_lastKey{};
  uint64_t m_lastIds[2] = {};
};
