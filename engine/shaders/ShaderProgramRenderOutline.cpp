#include "shaders/ShaderProgramRenderOutline.h"

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderLineTable.h"

namespace {

// The rendering profile's plain render target, whose size the frame follows.
constexpr UINT kPlainRenderTarget = 0x10000;

}  // namespace

CShaderProgramRenderOutline::CShaderProgramRenderOutline(const ShaderLineArguments& arguments)
    : m_pRenderer(arguments.pRenderer) {
  LogTo(arguments.pLog, "ExecuteProgram", CEngineLog::kLevelInfo,
        "    - Compiling RenderOutline: %s", arguments.szLine);
  *arguments.pSuccess = 1;
}

UINT CShaderProgramRenderOutline::Execute() {
  // Without a description the frame collapses onto the corner.
  UINT width = 0, height = 0, edge = 0, format = 0;
  m_pRenderer->GetRenderTargetDescription(kPlainRenderTarget, &width, &height, &edge, &format);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  if (CVertexShaderStorageInterface* shaders = m_pRenderer->GetVertexShaderStorageInterface())
    shaders->SetShader(nullptr);
  if (CVertexDeclarationStorageInterface* declarations =
          m_pRenderer->GetVertexDeclarationStorageInterface())
    declarations->SetFVF(kOutlineFVF);
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (device == nullptr) return 1;
  const float quads[4][4][2] = {
      {{0, 0}, {w, 0}, {w, 1}, {0, 1}},              // top
      {{0, 0}, {1, 0}, {1, h}, {0, h}},              // left
      {{w - 2, 0}, {w, 0}, {w, h}, {w - 2, h}},      // right
      {{0, h - 2}, {w, h - 2}, {w, h}, {0, h}},      // bottom
  };
  for (const auto& quad : quads) {
    OutlineVertex vertices[4];
    for (int i = 0; i < 4; ++i) vertices[i] = {quad[i][0], quad[i][1], 0.0f, 0.5f, 0, 0, 0.0f, 0.0f};
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(OutlineVertex));
  }
  return 1;
}

CShaderLine* MakeRenderOutline(const ShaderLineArguments& arguments) {
  return new CShaderProgramRenderOutline(arguments);
}
